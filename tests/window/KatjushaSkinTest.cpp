// The shipped katjusha skin, as a thread tab draws it: a sans-serif face, new response numbers in
// red, and every response at the same depth (none inside the one before it).

#include "PostTestEnv.h"

#include "core/FileUtil.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"

#include <gtest/gtest.h>

using namespace PostTest;

TEST(KatjushaSkin, ResponsesAreDrawnAlikeInASansSerifFaceWithNewNumbersInRed)
{
    TPostWindowEnv env([](TWindowEnv &e) {
        const QString skin = e.Root.Path() + QStringLiteral("def/skin/katjusha/");
        FileUtil::WriteFileAtomic(e.Profile(QStringLiteral("skin.ini")),
                                  QStringLiteral("[test]\r\nSKINPATH=%1\r\nKATJUSHA=1\r\n").arg(skin).toUtf8());
    });
    const QString key = QStringLiteral("1000000001");
    AddThread(env.server, News, key, 3);
    ItemRef item(NewsItem(env, key));
    OpenThread(env, item.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    ASSERT_TRUE(WaitFor([tab] { return !tab->Browser()->IsBusy(); }));

    EXPECT_EQ(RunInPage(tab, QStringLiteral("document.querySelectorAll('dt').length")).toInt(), 3);
    EXPECT_EQ(RunInPage(tab, QStringLiteral("document.querySelectorAll('dd dt, dd dd').length")).toInt(), 0);
    EXPECT_EQ(RunInPage(tab, QStringLiteral("getComputedStyle(document.querySelector('a[href=\"tavu://res/?no=1\"]')).color")).toString(),
              QStringLiteral("rgb(255, 0, 0)"));
    const QString face = RunInPage(tab, QStringLiteral("getComputedStyle(document.body).fontFamily")).toString();
    EXPECT_TRUE(face.endsWith(QStringLiteral("sans-serif"))) << face.toStdString();
}
