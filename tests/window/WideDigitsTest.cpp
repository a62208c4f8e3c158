// Full-width digits of a response, as a thread tab draws them in the shipped skins: each as wide as
// a full-width kana, not the narrow digits of a proportional face.

#include "PostTestEnv.h"

#include "core/FileUtil.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"

#include <gtest/gtest.h>

using namespace PostTest;

namespace {

// The drawn width, in CSS pixels, of the page's text line that is exactly the text, added up over
// the lines it is broken into; 0 when the page has no such line.
double TextWidth(TTavuBrowser *tab, const QString &text)
{
    return RunInPage(tab, QStringLiteral("(function(){"
                                         " const walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);"
                                         " for (let n = walk.nextNode(); n; n = walk.nextNode()) {"
                                         "  if (n.data.trim() !== '%1') continue;"
                                         "  const r = document.createRange(); r.selectNodeContents(n);"
                                         "  return Array.from(r.getClientRects()).reduce((sum, box) => sum + box.width, 0); }"
                                         " return 0; })()")
                              .arg(text))
        .toDouble();
}

// Opens a thread whose response holds full-width digits, kana and ASCII digits, and checks their
// drawn widths.
void ExpectWideDigits(TPostWindowEnv &env)
{
    const QString key = QStringLiteral("1000000001");
    env.server.AddThread(News, key, QStringLiteral("全角数字"));
    env.server.AppendRes(News, key, QStringLiteral("名無し"), QString(),
                         QStringLiteral("１２３４５<br>あいうえお<br>12345"));
    ItemRef item(NewsItem(env, key));
    OpenThread(env, item.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    TTavuBrowser *tab = env.Window()->Tabs().Browsers().first();
    ASSERT_TRUE(WaitFor([tab] { return !tab->Browser()->IsBusy(); }));

    const double digits = TextWidth(tab, QStringLiteral("１２３４５"));
    const double kana = TextWidth(tab, QStringLiteral("あいうえお"));
    const double ascii = TextWidth(tab, QStringLiteral("12345"));
    ASSERT_GT(digits, 0);
    ASSERT_GT(kana, 0);
    ASSERT_GT(ascii, 0);
    EXPECT_GE(digits, kana * 0.95) << digits << " against " << kana;
    EXPECT_GT(digits, ascii * 1.5) << digits << " against " << ascii;
}

}  // namespace

TEST(WideDigits, FullWidthDigitsOfAResponseAreAsWideAsKana)
{
    TPostWindowEnv env;
    ExpectWideDigits(env);
}

TEST(WideDigits, TheKatjushaSkinDrawsThemAsWideToo)
{
    TPostWindowEnv env([](TWindowEnv &e) {
        const QString skin = e.Root.Path() + QStringLiteral("def/skin/katjusha/");
        FileUtil::WriteFileAtomic(e.Profile(QStringLiteral("skin.ini")),
                                  QStringLiteral("[test]\r\nSKINPATH=%1\r\nKATJUSHA=1\r\n").arg(skin).toUtf8());
    });
    ExpectWideDigits(env);
}
