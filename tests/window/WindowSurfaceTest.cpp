// The main window is made once: the first browser tab (a web view, which may need an OpenGL surface)
// appears in a window that was prepared for it before it was first shown. The headless platform
// draws without OpenGL and never makes a window anew, so the check also runs under a virtual X
// server when one is installed.

#include "StoredThread.h"
#include "WindowTestEnv.h"
#include "XServerRun.h"

#include "render/TavuBrowser.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QWindow>

namespace {

const char *const SameWindowTest = "WindowSurface.OpeningTheFirstBrowserTabKeepsTheNativeWindow";

// The web view's drawing widget, which the web engine makes once the page has a renderer.
bool HasRenderWidget(const QWidget *view)
{
    for (const QWidget *child : view->findChildren<QWidget *>()) {
        if (child->inherits("QQuickWidget"))
            return true;
    }
    return false;
}

}  // namespace

TEST(WindowSurface, OpeningTheFirstBrowserTabKeepsTheNativeWindow)
{
    TWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n"); });
    env.Window->show();
    const WId first = env.Window->winId();
    const QPointer<QWindow> handle = env.Window->windowHandle();
    env.Start();
    StoredThread::WriteLog(1);   // offline, the thread opens from its log
    env.Window->ReceiveHandOver({QStringLiteral("http://news.2ch.net/test/read.cgi/news/1234567890/")});
    ASSERT_EQ(env.Window->Tabs().Browsers().size(), 1);
    for (int round = 0; round < 5000 && !HasRenderWidget(env.Window->Tabs().Browsers()[0]); ++round)
        TWindowEnv::Pump(20);
    ASSERT_TRUE(HasRenderWidget(env.Window->Tabs().Browsers()[0]));
    EXPECT_EQ(env.Window->windowHandle(), handle.data());
    EXPECT_EQ(env.Window->winId(), first);
}

TEST(WindowSurface, TheSameOnAnXServer)
{
    RunOnXServer(SameWindowTest);
}
