// Searching responses: the text finder, the match by field, highlighting, replies, IDs and links,
// and the views built on them in the main window (filtered tab, board-wide search, second browser).

#include "WindowParts.h"
#include "WindowTestEnv.h"

#include "controls/BoardTree.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "services/ResSearch.h"

#include <gtest/gtest.h>

#include <QAction>

using namespace ResSearch;

namespace {

TRes *AddRes(TResList &list, const QString &name, const QString &id, const QString &body)
{
    auto *res = new TRes;
    res->Number = list.Count() + 1;
    res->Name = name;
    res->ID = id;
    res->Body = body;
    res->Visible = true;
    list.Add(res);
    return res;
}

// A thread of the board "news" of the site "2ch" with a stored log: one line per (name, id, body).
class TThread {
public:
    TThread(const QString &key, const QList<QStringList> &lines)
    {
        item = new TThreadItem;
        item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), key, QStringLiteral("スレ") + key);
        QString log;
        for (const QStringList &line : lines)
            log += QStringLiteral("%1<><>2024/05/01 12:00:00 ID:%2<>%3<>\r\n").arg(line[0], line[1], line[2]);
        FileUtil::WriteFileAtomic(item->GetLogFile(), jconvert::UnicodeToSjis(log));
    }
    ~TThread() { item->Release(); }

    // A thread tab showing the stored log, made current.
    TTavuBrowser *Open() const
    {
        auto *list = new TResList(item);
        item->LoadResList(*list);
        for (int i = 0; i < list->Count(); ++i)
            list->Get(i)->Visible = true;
        TTavuBrowser *tab = nullptr;
        TestWindow().Tabs().NewBrowser(tab, list, item, true, item->TITLE);
        return tab;
    }

    TThreadItem *item;
};

QList<int> VisibleNumbers(const TResList &list)
{
    QList<int> numbers;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Get(i)->Visible)
            numbers.append(list.Get(i)->Number);
    }
    return numbers;
}

}  // namespace

// ---- matching ----

TEST(ResSearch, FindTextPosIgnoresCaseAndFoldsWidthOnlyWhenAsked)
{
    EXPECT_EQ(FindTextPos(QStringLiteral("abc"), QStringLiteral("xxABC"), false), 3);
    EXPECT_EQ(FindTextPos(QStringLiteral("ｶﾅ"), QStringLiteral("テストカナ"), false), 0);
    EXPECT_EQ(FindTextPos(QStringLiteral("ｶﾅ"), QStringLiteral("テストカナ"), true), 4);
    EXPECT_EQ(FindTextPos(QStringLiteral("ａｂ１"), QStringLiteral("-AB1"), true), 2);
    EXPECT_EQ(FindTextPos(QStringLiteral("zz"), QStringLiteral("abc"), true), 0);
    EXPECT_EQ(FindTextPos(QString(), QStringLiteral("abc"), true), 0);
}

TEST(ResSearch, MatchResLooksAtTheFieldOfTheMode)
{
    TRes res;
    res.Name = QStringLiteral("<b>太郎</b> ");
    res.Mail = QStringLiteral("Sage");
    res.ID = QStringLiteral("AbC123");
    res.Body = QStringLiteral("<a href=\"x\">リンク</a>本文");
    EXPECT_TRUE(MatchRes(res, QStringLiteral("太"), true, rmAll));
    EXPECT_TRUE(MatchRes(res, QStringLiteral("本文"), true, rmAll));
    EXPECT_FALSE(MatchRes(res, QStringLiteral("href"), true, rmBody));   // tags are not text
    EXPECT_TRUE(MatchRes(res, QStringLiteral("太"), true, rmName));
    EXPECT_FALSE(MatchRes(res, QStringLiteral("太"), true, rmNameExact));
    EXPECT_TRUE(MatchRes(res, QStringLiteral(" 太郎 "), true, rmNameExact));
    EXPECT_TRUE(MatchRes(res, QStringLiteral("sage"), true, rmMail));
    EXPECT_FALSE(MatchRes(res, QStringLiteral("sag"), true, rmMail));
    EXPECT_TRUE(MatchRes(res, QStringLiteral("abc123"), true, rmID));
    EXPECT_FALSE(MatchRes(res, QStringLiteral("abc"), true, rmID));
    EXPECT_FALSE(MatchRes(res, QStringLiteral("本文"), true, rmName));
}

TEST(ResSearch, HighlightKeepsTheWrittenCaseAndLeavesMarkupWhole)
{
    const QString body = QStringLiteral("Abc <a href=\"abc\">aBc</a> &amp; amp<br>abc");
    EXPECT_EQ(HighlightText(body, QStringLiteral("abc"), QStringLiteral("["), QStringLiteral("]")),
              QStringLiteral("[Abc] <a href=\"abc\">[aBc]</a> &amp; amp<br>[abc]"));
    EXPECT_EQ(HighlightText(body, QStringLiteral("amp"), QStringLiteral("["), QStringLiteral("]")),
              QStringLiteral("Abc <a href=\"abc\">aBc</a> &amp; [amp]<br>abc"));
}

// ---- replies, IDs, links ----

TEST(ResSearch, AnchorsCountOnlyWhenTheNumberEndsThere)
{
    EXPECT_TRUE(ContainsAnchor(QStringLiteral("&gt;1"), QStringLiteral("&gt;&gt;12 &gt;&gt;1")));
    EXPECT_FALSE(ContainsAnchor(QStringLiteral("&gt;1"), QStringLiteral("&gt;&gt;12 &gt;&gt;10")));
    EXPECT_FALSE(ContainsAnchor(QStringLiteral(">１"), QStringLiteral(">１２")));
    EXPECT_TRUE(ContainsAnchor(QStringLiteral(">１"), QStringLiteral(">１です")));

    TResList list;
    AddRes(list, {}, {}, QStringLiteral("一"));
    AddRes(list, {}, {}, QStringLiteral("&gt;&gt;12 違う"));
    AddRes(list, {}, {}, QStringLiteral("同意 &gt;&gt;1"));
    AddRes(list, {}, {}, QStringLiteral("＞＞１ 全角"));
    AddRes(list, {}, {}, QStringLiteral(">>1-3"));
    TResList out;
    EXPECT_EQ(CollectReplies(list, 1, out), 3);
    ASSERT_EQ(out.Count(), 5);
    EXPECT_EQ(VisibleNumbers(out), (QList<int>{3, 4, 5}));
    EXPECT_TRUE(out.Get(2)->Popup);
    EXPECT_FALSE(out.Get(0)->Popup);
    EXPECT_TRUE(list.Get(0)->Visible);   // the tab's responses are untouched

    TResList none;
    EXPECT_EQ(CollectReplies(list, 7, none), 0);
    EXPECT_TRUE(VisibleNumbers(none).isEmpty());
}

TEST(ResSearch, MarkResByIdShowsExactlyThatId)
{
    TResList list;
    AddRes(list, {}, QStringLiteral("aaa"), {});
    AddRes(list, {}, QStringLiteral("bbb"), {});
    AddRes(list, {}, QStringLiteral("aaa"), {});
    TResList out;
    MarkResById(list, out, QStringLiteral("aaa"));
    EXPECT_EQ(VisibleNumbers(out), (QList<int>{1, 3}));
}

TEST(ResSearch, LinksAreCompletedDecodedAndListedOnce)
{
    TResList list;
    AddRes(list, {}, {}, QStringLiteral("見て ttp://a.example/p/Pic.JPG?x=1&amp;y=2<br>http://b.example/"));
    AddRes(list, {}, {}, QStringLiteral("<a href=\"http://a.example/p/Pic.JPG?x=1&amp;y=2\">ttp://a.example/p/Pic.JPG?x=1&amp;y=2</a>"));
    AddRes(list, {}, {}, QStringLiteral("http://hidden.example/"))->Visible = false;
    AddRes(list, {}, {}, QStringLiteral("http://erased.example/"))->Erased = true;
    QList<TLinkItem> links;
    ExtractLinks(list, links, false);
    ASSERT_EQ(links.size(), 2);
    EXPECT_EQ(links[0].URL, QStringLiteral("http://a.example/p/Pic.JPG?x=1&y=2"));
    EXPECT_EQ(links[0].FileName, QStringLiteral("Pic.JPG?x=1&y=2"));
    EXPECT_EQ(links[0].Extension, QStringLiteral(".jpg"));
    EXPECT_EQ(links[0].Res, list.Get(0));
    EXPECT_EQ(links[0].ResList, &list);
    EXPECT_EQ(links[1].URL, QStringLiteral("http://b.example/"));

    list.Get(1)->IsNew = true;
    AddRes(list, {}, {}, QStringLiteral("http://c.example/x.png"))->IsNew = true;
    ExtractLinks(list, links, true);   // only what is new and not yet listed
    ASSERT_EQ(links.size(), 3);
    EXPECT_EQ(links[2].URL, QStringLiteral("http://c.example/x.png"));
}

// ---- views in the main window ----

TEST(ResSearch, FilteredTabShowsTheMatchesHighlightedAndKeepsTheBodies)
{
    TWindowEnv env;
    env.Start();
    TThread thread(QStringLiteral("1000000001"), {{QStringLiteral("太郎"), QStringLiteral("aaa"), QStringLiteral("Cat here")},
                                                 {QStringLiteral("花子"), QStringLiteral("bbb"), QStringLiteral("dog")},
                                                 {QStringLiteral("太郎"), QStringLiteral("aaa"), QStringLiteral("a cat")}});
    TTavuBrowser *source = thread.Open();
    TResSearch search;
    search.Text = QStringLiteral("cat");
    TTavuBrowser *tab = env.Window->SearchViews().FilterResView(search);
    ASSERT_NE(tab, nullptr);
    EXPECT_NE(tab, source);
    EXPECT_TRUE(tab->IsExtractMode());
    EXPECT_EQ(env.Window->Tabs().Browsers().first(), tab);
    EXPECT_EQ(tab->SearchCount, 2);
    EXPECT_EQ(VisibleNumbers(*tab->ResList()), (QList<int>{1, 3}));
    EXPECT_TRUE(env.LogLines().contains(QStringLiteral("  →該当件数:2")));

    tab->BeginChunk();
    env.Window->SearchViews().WriteExtractView(tab, &search);
    const QString html = tab->EndChunk();
    // the page writer normalises the tags of the highlight
    EXPECT_TRUE(html.contains(QStringLiteral("<b><font color=\"RED\">Cat</font></b> here"), Qt::CaseInsensitive));
    EXPECT_TRUE(html.contains(QStringLiteral("a <b><font color=\"RED\">cat</font></b>"), Qt::CaseInsensitive));
    EXPECT_FALSE(html.contains(QStringLiteral("dog")));
    EXPECT_EQ(tab->ResList()->Get(0)->Body, QStringLiteral("Cat here"));
    EXPECT_EQ(source->ResList()->Get(0)->Body, QStringLiteral("Cat here"));
    EXPECT_EQ(VisibleNumbers(*source->ResList()), (QList<int>{1, 2, 3}));
}

TEST(ResSearch, AFilterMatchingOnlyErasedResponsesWarnsAndOpensNoTab)
{
    TWindowEnv env;
    env.Start();
    TThread thread(QStringLiteral("1000000002"), {{QStringLiteral("a"), QStringLiteral("x1"), QStringLiteral("secret")},
                                                 {QStringLiteral("b"), QStringLiteral("x2"), QStringLiteral("plain")}});
    TTavuBrowser *source = thread.Open();
    source->ResList()->Get(0)->Erased = true;
    const qsizetype tabs = env.Window->Tabs().Browsers().size();
    TResSearch search;
    search.Text = QStringLiteral("secret");
    EXPECT_EQ(env.Window->SearchViews().FilterResView(search), nullptr);
    EXPECT_EQ(env.Window->Tabs().Browsers().size(), tabs);
    EXPECT_EQ(env.Messages, QStringList{QStringLiteral("該当レスが見つかりませんでした。")});
    EXPECT_TRUE(env.LogLines().contains(QStringLiteral("  →該当件数:0")));
}

TEST(ResSearch, TheResponseCommandsFilterByIdNameAndReplies)
{
    TWindowEnv env;
    env.Start();
    TThread thread(QStringLiteral("1000000003"), {{QStringLiteral("太郎"), QStringLiteral("aaa"), QStringLiteral("一")},
                                                 {QStringLiteral("花子"), QStringLiteral("bbb"), QStringLiteral("&gt;&gt;1 はい")},
                                                 {QStringLiteral("太郎さん"), QStringLiteral("aaa"), QStringLiteral("&gt;&gt;2")}});
    TTavuBrowser *source = thread.Open();
    const auto run = [&](const char *action) {
        source->Activate();
        source->ClickedResNumber = 1;
        env.Window->Action(QString::fromLatin1(action))->trigger();
        TTavuBrowser *tab = env.Window->Tabs().Browsers().first();
        return tab == source ? QList<int>() : VisibleNumbers(*tab->ResList());
    };
    EXPECT_EQ(run("actSelectResFilterID"), (QList<int>{1, 3}));
    EXPECT_EQ(run("actSelectResFilterHandle"), QList<int>{1});
    EXPECT_EQ(run("actSelectResReply"), QList<int>{2});
    EXPECT_TRUE(env.Window->Tabs().Browsers().first()->IsExtractMode());
}

TEST(ResSearch, BoardSearchOpensOneTabPerThreadWithAMatch)
{
    TWindowEnv env;
    env.Start();
    TThread first(QStringLiteral("1000000011"), {{QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("needle here")}});
    TThread other(QStringLiteral("1000000012"), {{QStringLiteral("b"), QStringLiteral("y"), QStringLiteral("nothing")}});
    TThread second(QStringLiteral("1000000013"), {{QStringLiteral("c"), QStringLiteral("z"), QStringLiteral("x")},
                                                  {QStringLiteral("d"), QStringLiteral("w"), QStringLiteral("NEEDLE")}});
    auto *items = new TThreadItemList;
    for (TThreadItem *item : {first.item, other.item, second.item})
        items->Add(item);
    TTavuListDoc *doc = nullptr;
    env.Window->Tabs().NewListDoc(doc, items, 0, true, QStringLiteral("板"), nullptr);

    TResSearch search;
    search.Text = QStringLiteral("needle");
    search.Mode = rmBody;
    const auto dialog = [&search](TResSearch &asked) {
        asked = search;
        return true;
    };
    const TResSearchDialogHandler old = SetResSearchDialog(dialog);
    const qsizetype tabs = env.Window->Tabs().Browsers().size();
    env.Window->Action(QStringLiteral("actThreadListFilterHoliday"))->trigger();
    SetResSearchDialog(old);

    ASSERT_EQ(env.Window->Tabs().Browsers().size(), tabs + 2);
    TTavuBrowser *shown = env.Window->Tabs().Browsers().first();
    EXPECT_EQ(shown->ThreadItem(), first.item);   // only the first is activated
    EXPECT_EQ(VisibleNumbers(*shown->ResList()), QList<int>{1});
    TTavuBrowser *behind = env.Window->Tabs().Browsers().last();
    EXPECT_EQ(behind->ThreadItem(), second.item);
    EXPECT_TRUE(behind->IsExtractMode());
    EXPECT_EQ(VisibleNumbers(*behind->ResList()), QList<int>{2});
}

TEST(ResSearch, PreviewShowsOneResponseInTheSecondBrowserUntilItCloses)
{
    TWindowEnv env;
    env.Start();
    env.Window->show();
    TThread thread(QStringLiteral("1000000021"), {{QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("one")},
                                                 {QStringLiteral("b"), QStringLiteral("y"), QStringLiteral("two")}});
    TTavuBrowser *tab = thread.Open();
    const int references = thread.item->RefCount();
    env.Window->SearchViews().ShowResInPreview(thread.item, *tab->ResList()->Get(1));
    TTavuBrowser *preview = Part<TTavuBrowser>(env.Window, "PrivateBrowser");
    EXPECT_TRUE(env.Window->SearchViews().DoubleWindowShown());
    EXPECT_TRUE(preview->isVisibleTo(env.Window));
    EXPECT_TRUE(env.Window->Action(QStringLiteral("actShowDoubleWindow"))->isChecked());
    ASSERT_EQ(preview->ResList()->Count(), 1);
    EXPECT_EQ(preview->ResList()->Get(0)->Body, QStringLiteral("two"));
    EXPECT_EQ(thread.item->RefCount(), references + 2);   // the browser and its list

    const int top = thread.item->TOP;
    env.Window->Action(QStringLiteral("actShowDoubleWindow"))->trigger();
    EXPECT_FALSE(env.Window->SearchViews().DoubleWindowShown());
    EXPECT_FALSE(env.Window->Action(QStringLiteral("actShowDoubleWindow"))->isChecked());
    EXPECT_EQ(preview->ThreadItem(), nullptr);
    EXPECT_EQ(thread.item->RefCount(), references);
    EXPECT_EQ(thread.item->TOP, top);
}
