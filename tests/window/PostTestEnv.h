#pragma once
// TPostWindowEnv: the main window started online on the site of TPostEnv (uisupport/PostEnv.h), with
// TWindowEnv; it answers message boxes and dialogs through the test's handlers and records what was
// asked.

#include "uisupport/PostEnv.h"

#include "WindowTestEnv.h"

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
