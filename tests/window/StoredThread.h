#pragma once
// A thread of the board "news" of the site "2ch" with a stored log, opened in a browser tab of the
// test's main window (offline: the log is all there is).

#include "WindowTestEnv.h"

#include "controls/BoardTree.h"
#include "core/JConvert.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"

#include <QTest>

namespace StoredThread {

const QString Key = QStringLiteral("1234567890");

// Writes the log: posts "本文その1" to "本文その<posts>".
inline void WriteLog(int posts)
{
    auto *item = new TThreadItem;
    item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), Key, QStringLiteral("テストスレ"));
    QString log;
    for (int i = 1; i <= posts; ++i)
        log += QStringLiteral("名無し<>sage<>2024/05/01 12:00:00 ID:abc<>本文その%1<>%2\r\n")
                   .arg(i)
                   .arg(i == 1 ? QStringLiteral("テストスレ") : QString());
    FileUtil::WriteFileAtomic(item->GetLogFile(), jconvert::UnicodeToSjis(log));
    item->Release();
}

// Writes the log and opens it; nullptr when the tab did not get every post.
inline TTavuBrowser *Open(TWindowEnv &env, int posts)
{
    WriteLog(posts);
    auto *item = new TThreadItem;
    item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), Key, QStringLiteral("テストスレ"));
    env.Window->OpenThread(item, false, false, true, 0, false, QString());
    item->Release();
    TTavuBrowser *tab = nullptr;
    const bool loaded = QTest::qWaitFor(
        [&] {
            return env.Window->Tabs().GetActiveBrowser(tab) && tab->ResList() && tab->ResList()->Count() == posts
                && env.Window->BusyCount() == 0;
        },
        60000);
    return loaded ? tab : nullptr;
}

// Opens a tab, made active, on any thread's stored log as it is on disk.
inline TTavuBrowser *OpenTab(TThreadItem *item)
{
    auto *list = new TResList(item);
    item->LoadResList(*list);
    TTavuBrowser *tab = nullptr;
    TestWindow().Tabs().NewBrowser(tab, list, item, true, item->TITLE);
    return tab;
}

}  // namespace StoredThread
