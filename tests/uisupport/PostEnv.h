#pragma once
// The environment of the posting, update-check and patrol tests without a window: a BoardServer on
// 127.0.0.1 and a site "test" whose boards live on it: "news" (2chscript, SAGE written into the mail
// field), "live" (dolibscript) and "gone" (a board the server does not have: its requests fail).
//
// TPostEnv: the configuration and the registry with the board types of boards/, no main window. It
// answers message boxes and dialogs through the test's handlers and records what was asked.
// (window/PostTestEnv.h adds the main window started online on the same site.)

#include "support/BoardServer.h"
#include "support/TempDataRoot.h"
#include "support/WaitLimit.h"

#include "boards/BoardTypes.h"
#include "controls/Dialogs.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResDownloader.h"
#include "core/ResList.h"
#include "core/SaveQueue.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "net/TavuHttpList.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "services/TavuCheck.h"

#include <QCoreApplication>
#include <QDialog>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <functional>
#include <memory>

namespace PostTest {

using ::WaitFor;   // the suites' wait (support/WaitLimit.h)

const QString News = QStringLiteral("news");
const QString Live = QStringLiteral("live");
const QString Gone = QStringLiteral("gone");

// Writes the site "test" with its boards on the server into a program folder; siteExtra is added to
// the [SITE] section of its site.ini. The site claims every URL of the server.
inline void WriteSite(const TempDataRoot &root, BoardServer &server, const QString &siteExtra = QString())
{
    server.AddBoard(News);
    server.AddBoard(Live);
    root.Write(QStringLiteral("config/sitelist.ini"), "[SITE]\r\nCOUNT=1\r\nSITE1=test\r\n");
    root.Write(QStringLiteral("config/site/test/site.ini"),
               jconvert::UnicodeToSjis(QStringLiteral("[SITE]\r\nSITEID=test\r\nNAME=テスト\r\nBBSTYPE=2chscript\r\nCHARSET=SJIS\r\n")
                                       + siteExtra + QStringLiteral("[INCLUDE]\r\n1=http://%1/*\r\n").arg(server.Host())));
    root.Write(QStringLiteral("config/site/test/board.dat"),
               jconvert::UnicodeToSjis(QStringLiteral("2\r\nテスト\r\n\t%1\tnews\tニュース\r\n\t%1\tlive\t実況\t\tdolibscript\r\n"
                                                      "\t%1\tgone\t消えた板\r\n")
                                           .arg(server.Host())));
}

// Runs a script in the tab's page and gives its value once it has come back.
inline QVariant RunInPage(TTavuBrowser *tab, const QString &script)
{
    QVariant value;
    bool done = false;
    tab->Browser()->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant &result) {
        value = result;
        done = true;
    });
    WaitFor([&] { return done; });
    return value;
}

// The page of the tab once everything written is in it.
inline QString PageHtml(TTavuBrowser *tab)
{
    WaitFor([tab] { return !tab->Browser()->IsBusy(); });
    QString html;
    bool done = false;
    tab->DocumentHtml([&](const QString &text) {
        html = text;
        done = true;
    });
    WaitFor([&] { return done; });
    return html;
}

// A thread on the server with its responses.
inline void AddThread(BoardServer &server, const QString &bbs, const QString &key, int responses)
{
    server.AddThread(bbs, key, QStringLiteral("スレ") + key);
    for (int i = 1; i <= responses; ++i)
        server.AppendRes(bbs, key, QStringLiteral("名無し"), QString(), QStringLiteral("本文%1").arg(i));
}

// Runs an update check or patrol over the items and returns its log lines; onLine sees each line as
// it comes (on the GUI thread).
inline QStringList RunCheck(TTavuCheck &check, const QList<TThreadItem *> &items,
                            const std::function<void(const QString &)> &onLine = {})
{
    QStringList log;
    check.LogSink = [&log, &onLine](const QString &line) {
        log << line;
        if (onLine)
            onLine(line);
    };
    for (TThreadItem *item : items)
        check.AddItem(item);
    check.start();
    WaitFor([&check] { return check.isFinished(); });
    check.wait();
    return log;
}

// Holds a thread item's creation reference for a test.
struct ItemRef {
    explicit ItemRef(TThreadItem *item) : item(item) {}
    ~ItemRef() { item->Release(); }
    TThreadItem *operator->() const { return item; }
    TThreadItem *get() const { return item; }
    TThreadItem *item;
};

}  // namespace PostTest

class TPostEnv {
public:
    explicit TPostEnv(const QString &siteExtra = QString())
        : handlers(
              [this](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
                  Messages.append(text);
                  return Answer;
              },
              [this](QDialog &dialog) { return Dialog ? Dialog(dialog) : int(QDialog::Rejected); })
    {
        PostTest::WriteSite(root, server, siteExtra);
        config = std::make_unique<TTavuConfig>();
        registry = std::make_unique<TTavuEnviron>();
        jobs = std::make_unique<TTavuHttpList>();
        oldConfig = std::exchange(TavuConfig, config.get());
        oldEnviron = std::exchange(TavuEnviron, registry.get());
        oldJobs = std::exchange(TavuHttpList, jobs.get());
        BoardTypes::Install(registry.get());
        registry->CreateBBSList();
        registry->LoadSites();
        site = registry->SiteList()->FindBySiteID(QStringLiteral("test"));
    }
    ~TPostEnv()
    {
        TavuHttpList = oldJobs;
        TavuEnviron = oldEnviron;
        TavuConfig = oldConfig;
    }

    TBoard *Board(const QString &id) const { return site->Boards->FindByID(id); }
    QString Profile(const QString &name) const { return config->GetProfileDir() + name; }

    // Downloads the thread of item as the thread flow does and stores its log and .inf.
    void StoreThread(TThreadItem *item) const
    {
        TResList list(item);
        item->LoadResList(list);
        TResDownloader job(item);
        job.BBS = item->BBS;
        job.Site = item->Site;
        job.Board = item->GetBoard();
        job.ResList = &list;
        job.SetCacheReady();
        job.OnRes = [&list](TResDownloader *, TRes *res, int, int) { list.Add(res); };
        job.OnDone = [&list, item](TResDownloader *, bool failed) {
            if (failed)
                return;
            list.SaveDat(item->GetLogFile());
            item->COUNT = list.Count();
            item->AGECOUNT = list.Count();
            item->SaveInfo();
        };
        item->BBS->DownloadThread(&job, false, false, true);
    }

    // A new item of a board's thread (one reference), its .inf read.
    TThreadItem *NewItem(const QString &boardId, const QString &key, const QString &title = QString()) const
    {
        auto *item = new TThreadItem;
        item->SetLocation(site->SITEID, boardId, key, title);
        item->LoadInfo();
        return item;
    }

    TempDataRoot root{true};
    BoardServer server;
    std::unique_ptr<TTavuConfig> config;
    std::unique_ptr<TTavuEnviron> registry;
    std::unique_ptr<TTavuHttpList> jobs;
    TSite *site = nullptr;
    QStringList Messages;
    Dialogs::TMsgResult Answer = Dialogs::mrYes;
    std::function<int(QDialog &)> Dialog;

private:
    TTavuConfig *oldConfig = nullptr;
    TTavuEnviron *oldEnviron = nullptr;
    TTavuHttpList *oldJobs = nullptr;
    Dialogs::TScopedDialogHandlers handlers;
};
