// The rendered-HTML and dat-line lists of the exports, and the skin settings of skin.ini.

#include "core/ThreadTestEnv.h"

#include "render/SkinSettings.h"
#include "render/TavuDatStrings.h"
#include "render/TavuHtmlStrings.h"

#include "core/BBS.h"
#include "core/BBSList.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/TavuConfig.h"

#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class HtmlStringsTest : public ::testing::Test {
protected:
    TempDataRoot root{true};
    std::unique_ptr<TTavuConfig> config;
    TBBSList types;
    std::unique_ptr<TSite> site;
    TResList list;

    void SetUp() override
    {
        config = std::make_unique<TTavuConfig>();
        TavuConfig = config.get();
        site = std::make_unique<TSite>(QStringLiteral("2ch"), TSite::KIND_NORMAL, &types);
        site->NAME = QStringLiteral("２ちゃんねる");
        auto *board = new TBoard;
        board->ID = QStringLiteral("news");
        board->Name = QStringLiteral("ニュース速報");
        board->Site = site.get();
        site->Boards->Add(board);
        list.LoadDat(jconvert::UnicodeToSjis(QStringLiteral(
            "名無しさん<><>2004/01/01 00:00 ID:aaa<>一つ目 😀<>スレの題\n"
            "名無しさん<>sage<>2004/01/01 00:01 ID:bbb<>二つ目<>\n"
            "名無しさん<><>2004/01/01 00:02 ID:ccc<>三つ目<>\n"
            "名無しさん<><>2004/01/01 00:03 ID:ddd<>四つ目<>\n")));
    }
    void TearDown() override { TavuConfig = nullptr; }

    QString ProfileDir() const { return config->GetProfileDir(); }

    // What the thread flow's rendering trio does with a view.
    static bool Render(IResultView &view, TResList &responses)
    {
        view.BeginView(&responses);
        for (int i = 0; i < responses.Count(); ++i) {
            TRes *res = responses.Get(i);
            if (res->Hidden)
                view.HideRes(res, nullptr);
            else if (view.TakesRes(res))
                view.AppendRes(res);
        }
        return view.EndView();
    }

    TTavuHtmlStrings *NewHtml()
    {
        auto *html = new TTavuHtmlStrings;
        html->Site = site.get();
        html->BoardID = QStringLiteral("news");
        html->Skin.SkinPath = root.File(QStringLiteral("def/skin/default/"));
        return html;
    }
};

TEST_F(HtmlStringsTest, SkinSectionFallsBackFromBoardToSiteToDefault)
{
    TIniFile ini;
    ini.SetText(QStringLiteral("[2ch_news]\r\nSKINPATH=katjusha\r\nKatjusha=1\r\n"
                               "[2ch]\r\nskinpath=D:\\skins\\mine\\\r\nVARNELO=1\r\nKATJUSHA=1\r\n"
                               "[default]\r\nIDPopup=0\r\nRENDERIMAGE=1\r\nIMAGESIZE=0\r\n"));
    TTavuHtmlStrings html;
    html.Site = site.get();

    html.BoardID = QStringLiteral("news");
    html.ReadSkinSettings(ini);
    EXPECT_EQ(html.Skin.SkinPath, ProfileDir() + QStringLiteral("skin/katjusha/"));
    EXPECT_TRUE(html.Skin.Katjusha);
    EXPECT_TRUE(html.Skin.IDPopup);

    html.BoardID = QStringLiteral("other");
    html.ReadSkinSettings(ini);
    EXPECT_EQ(html.Skin.SkinPath, QStringLiteral("D:/skins/mine/"));
    EXPECT_TRUE(html.Skin.Katjusha);
    EXPECT_FALSE(html.Skin.Varnelo10);   // never both

    html.Site = nullptr;
    html.ReadSkinSettings(ini);
    EXPECT_EQ(html.Skin.SkinPath, ProfileDir() + QStringLiteral("skin/default/"));
    EXPECT_FALSE(html.Skin.IDPopup);
    EXPECT_TRUE(html.Skin.RenderImage);
    EXPECT_EQ(html.Skin.ImageSize, 24);   // sizes below 1 are ignored

    // A named view reads only its own section; the export has no ID popups by default.
    html.ReadSkinSettings(ini, QStringLiteral("export_dialog"));
    EXPECT_EQ(html.Skin.SkinPath, ProfileDir() + QStringLiteral("skin/default/"));
    EXPECT_FALSE(html.Skin.IDPopup);
    EXPECT_FALSE(html.Skin.RenderImage);
    html.ReadSkinSettings(ini, QStringLiteral("senddialog_preview"));
    EXPECT_TRUE(html.Skin.IDPopup);
}

TEST_F(HtmlStringsTest, SkinSettingsRoundTripThroughSkinIni)
{
    TSkinSettings s;
    s.SkinPath = ProfileDir() + QStringLiteral("skin/varnelo10/");
    s.Varnelo10 = true;
    s.IDPopup = false;
    s.RenderImage = true;
    s.RenderImageNewOnly = true;
    s.ImageSize = 40;
    TIniFile ini(ProfileDir() + QStringLiteral("skin.ini"));
    s.Write(ini, QStringLiteral("2ch_news"));
    ini.UpdateFile();

    TTavuHtmlStrings html;   // reads the profile's skin.ini
    html.Site = site.get();
    html.BoardID = QStringLiteral("news");
    html.ReadSkinSettings();
    const TSkinSettings &r = html.Skin;
    EXPECT_EQ(r.SkinPath, s.SkinPath);
    EXPECT_EQ(std::tuple(r.Katjusha, r.Varnelo10, r.IDPopup, r.RenderImage, r.RenderImageNewOnly, r.ImageSize),
              std::tuple(false, true, false, true, true, 40));
}

TEST_F(HtmlStringsTest, ExportWritesOnlyResponsesItMayShow)
{
    std::unique_ptr<TTavuHtmlStrings> html(NewHtml());
    for (int i = 0; i < list.Count(); ++i)
        list.Get(i)->Display2[0] = false;
    list.Get(1)->Display1[0] = false;   // not to be written
    list.Get(2)->Hidden = true;         // hidden by a rule
    EXPECT_TRUE(Render(*html, list));

    const QString &page = html->Text();
    EXPECT_TRUE(page.contains(QStringLiteral("<title>スレの題</title>")));
    EXPECT_TRUE(page.contains(QStringLiteral("<div class=\"board\">ニュース速報</div>")));
    EXPECT_TRUE(page.contains(QStringLiteral("id=\"ID1\"")));
    EXPECT_TRUE(page.contains(QStringLiteral("id=\"ID4\"")));
    EXPECT_FALSE(page.contains(QStringLiteral("id=\"ID2\"")));
    EXPECT_FALSE(page.contains(QStringLiteral("id=\"ID3\"")));
    EXPECT_TRUE(page.trimmed().endsWith(QStringLiteral("</html>")));
    EXPECT_TRUE(list.Get(0)->Display2[0]);
    EXPECT_TRUE(list.Get(3)->Display2[0]);
    EXPECT_FALSE(list.Get(1)->Display2[0]);

    // A view that took nothing reports no change.
    for (int i = 0; i < list.Count(); ++i)
        list.Get(i)->Display1[0] = false;
    std::unique_ptr<TTavuHtmlStrings> empty(NewHtml());
    EXPECT_FALSE(Render(*empty, list));
}

TEST_F(HtmlStringsTest, SavedPageIsShiftJisWithCrLf)
{
    std::unique_ptr<TTavuHtmlStrings> html(NewHtml());
    Render(*html, list);
    const QString path = root.File(QStringLiteral("out/thread.html"));
    html->SaveToFile(path);

    const QByteArray bytes = root.Read(QStringLiteral("out/thread.html"));
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));
    EXPECT_GT(bytes.count("\r\n"), 5);
    EXPECT_TRUE(bytes.contains("&#128512;"));   // not in Shift_JIS: kept as a reference
    EXPECT_EQ(jconvert::SjisToUnicode(bytes).count(QStringLiteral("一つ目")), 1);
}

TEST_F(HtmlStringsTest, DatExportKeepsEveryLineInOrder)
{
    const QByteArray log = jconvert::UnicodeToSjis(QStringLiteral(
        "名無し<><>2004/01/01 00:00 ID:aaa<>本文 &gt;&gt;2<>題\n"
        "名無し<>sage<>2004/01/01 00:01 ID:bbb BE:123-2<>二<>\n"
        "名無し<><>2004/01/01 00:02<>三<>\n"));
    TResList dat;
    dat.LoadDat(log);
    dat.Get(1)->Hidden = true;   // still a line of the thread

    TTavuDatStrings stored;
    EXPECT_TRUE(Render(stored, dat));
    EXPECT_EQ(stored.Bytes(), log);

    // Out of dat mode the lines show the fields as the rules left them.
    dat.Get(0)->Name = QStringLiteral("置換済み");
    TTavuDatStrings shown;
    shown.DatMode = false;
    Render(shown, dat);
    EXPECT_EQ(jconvert::SjisToUnicode(shown.Bytes()),
              QStringLiteral("置換済み<><>2004/01/01 00:00 ID:aaa<>本文 &gt;&gt;2<>題\r\n"
                             "名無し<>sage<>2004/01/01 00:01 ID:bbb BE:123-2<>二<>\r\n"
                             "名無し<><>2004/01/01 00:02<>三<>\r\n"));

    shown.SaveToFile(root.File(QStringLiteral("out/thread.dat")));
    EXPECT_EQ(root.Read(QStringLiteral("out/thread.dat")), shown.Bytes());
}

TEST(HtmlStringsExport, ThePageKnowsTheThreadsUrl)
{
    ThreadTestEnv env;
    TBBS type(QStringLiteral("2chscript"), QStringLiteral(VARNELO_SHIP_DIR "/config/bbs/2chscript/"));
    env.news->BBS = &type;
    env.news->URL = QStringLiteral("http://example.net/news/");
    ItemRef item(env.NewItem(QStringLiteral("1000000001"), QStringLiteral("題")));
    env.root.Write(QStringLiteral("skins/url/header.html"), "<html><body><p><THREADURL/></p>");
    TResList list(item.get());
    TTavuHtmlStrings html;
    html.Site = env.site;
    html.BoardID = QStringLiteral("news");
    html.Skin.SkinPath = env.root.File(QStringLiteral("skins/url/"));
    html.BeginView(&list);
    html.EndView();
    EXPECT_TRUE(html.Text().contains(QStringLiteral("<p>http://example.net/news/dat/1000000001.dat</p>")))
        << html.Text().toStdString();
}

}  // namespace
