#pragma once
// Environments of the posting, update-check and patrol tests: a BoardServer on 127.0.0.1 and a site
// "test" whose boards live on it: "news" (2chscript, SAGE written into the mail field), "live"
// (dolibscript) and "gone" (a board the server does not have: its requests fail).
//
// TPostEnv: the configuration and the registry with the board types of boards/, no main window.
// TPostWindowEnv: the main window started online on the same site (TWindowEnv).
// Both answer message boxes and dialogs through the test's handlers and record what was asked.

#include "support/BoardServer.h"
#include "support/TempDataRoot.h"
#include "support/WaitLimit.h"

#include "WindowTestEnv.h"

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
#include <QElapsedTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <functional>
#include <memory>

namespace PostTest {

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

// Runs the event loop until the condition holds (at most timeoutMs).
inline bool WaitFor(const std::function<bool()> &condition, int timeoutMs = WaitLimitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
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

class TPostWindowEnv {
public:
    // prepare runs before the window exists (the profile folder is known).
    explicit TPostWindowEnv(const std::function<void(TWindowEnv &)> &prepare = {})
        : env([this, prepare](TWindowEnv &e) {
              PostTest::WriteSite(e.Root, server);
              e.config->APPSTATE = false;   // online: the tests talk to their own server
              e.config->SENDWIN_PREVIEW = false;
              if (prepare)
                  prepare(e);
          })
    {
        env.Start();
        site = TavuEnviron->SiteList()->FindBySiteID(QStringLiteral("test"));
    }

    TBoard *Board(const QString &id) const { return site->Boards->FindByID(id); }
    TVarneloWindow *Window() const { return env.Window; }

    // Shows the window at a size a user would have. A page paints only in a window shown, and its
    // scroll positions mean something only in a view laid out: the views of a window never shown
    // are 0 px wide, where every character takes a line of its own.
    void ShowWindow() const
    {
        env.Window->resize(1000, 700);
        env.Window->show();
    }

    BoardServer server;
    TWindowEnv env;
    TSite *site = nullptr;
};

namespace PostTest {

// Nothing runs any more, the saves included. A tab closed or a request cancelled from the test's own
// code ends its download outside any event loop; the jobs that leaves for deletion go here, as the
// program's event loop frees them.
inline bool Settled(TPostWindowEnv &env)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return env.Window()->BusyCount() == 0 && TavuHttpList->Count() == 0 && TSaveQueue::Instance().Idle();
}

// A new item of the thread `key` of the board "news", downloaded when opened (the caller holds its
// one reference).
inline TThreadItem *NewsItem(TPostWindowEnv &env, const QString &key)
{
    auto *item = new TThreadItem;
    item->SetLocation(env.site->SITEID, News, key, QString());
    item->DownloadRequest = true;
    return item;
}

// Opens the item's thread in the window: again from the server with reload, in a new tab with newTab.
inline void OpenThread(TPostWindowEnv &env, TThreadItem *item, bool reload = false, bool newTab = false)
{
    env.Window()->OpenThread(item, reload, newTab, true, 0, false, QString());
}

// Puts a thread of `count` responses under `key` on the server, opens it downloaded and waits
// until everything has settled: its tab, or nullptr when no tab holds the whole thread.
inline TTavuBrowser *OpenDownloadedThread(TPostWindowEnv &env, const QString &key, int count)
{
    AddThread(env.server, News, key, count);
    ItemRef opened(NewsItem(env, key));
    OpenThread(env, opened.get());
    if (!WaitFor([&env] { return Settled(env); }))
        return nullptr;
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().value(0);
    return tab && tab->ThreadItem() && tab->ResList() && tab->ResList()->Count() == count ? tab : nullptr;
}

}  // namespace PostTest
