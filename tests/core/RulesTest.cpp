#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuAction.h"
#include "core/TavuActionList.h"
#include "core/ThreadItem.h"

#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QFileInfo>

namespace {

const QDateTime Now = QDateTime::fromString(QStringLiteral("2024/05/10 12:00:00"), QStringLiteral("yyyy/MM/dd HH:mm:ss"));

std::unique_ptr<TTavuAction> Rule(int target, int action, int condition, const QString &value1,
                                  const QString &value2 = QString())
{
    auto rule = std::make_unique<TTavuAction>();
    rule->Target = target;
    rule->Action = action;
    rule->Condition = condition;
    rule->Value1 = value1;
    rule->Value2 = value2;
    rule->Boards.Add(QStringLiteral("#ALL"), QString(), true);
    return rule;
}

TRes *MakeRes(int number, const QString &body, const QString &name = QStringLiteral("名無し"))
{
    auto *res = new TRes;
    res->Number = number;
    res->Name = name;
    res->SetMail(QStringLiteral("sage"));
    res->SetDate(QStringLiteral("2024/05/01(水) 12:00:00.00 ID:AbCd1234 BE:123-2"));
    res->Body = body;
    return res;
}

// A thread item freed through its reference count.
struct Item {
    Item() : item(new TThreadItem) {}
    ~Item() { item->Release(); }
    TThreadItem *operator->() const { return item; }
    TThreadItem &operator*() const { return *item; }
    TThreadItem *item;
};

// The rules of one list applied to a thread of responses, as a view renders them.
struct Thread {
    TTavuActionList rules;
    TResList list;

    QList<TActionHit> Add(TRes *res, bool inView = true)
    {
        list.Add(res);
        return rules.ApplyToRes(list, *res, QStringLiteral("2ch"), QStringLiteral("news"), inView, Now);
    }
};

}  // namespace

TEST(Rules, TextConditionsOnEachResponseField)
{
    std::unique_ptr<TRes> res(MakeRes(1, QStringLiteral("一行目 <br> 二行目"), QStringLiteral("ｱｲｳあ")));
    struct Case { int target; int condition; QString value; bool hit; };
    const Case cases[] = {
        {TTavuAction::RESHANDLE, TTavuAction::LIKE, QStringLiteral("あ"), true},
        {TTavuAction::RESMAIL, TTavuAction::LIKE, QStringLiteral("age"), true},
        {TTavuAction::RESBODY, TTavuAction::LIKE, QStringLiteral("age"), false},
        {TTavuAction::RESID, TTavuAction::SAME, QStringLiteral("AbCd1234"), true},
        {TTavuAction::RESID, TTavuAction::SAME, QStringLiteral("AbCd"), false},
        {TTavuAction::RESID, TTavuAction::LIKE, QStringLiteral("abcd"), false},   // case counts
        {TTavuAction::ResTargets, TTavuAction::LIKE, QString(), false},           // empty pattern
        // "ｱｲｳあ" is 5 bytes in Shift_JIS
        {TTavuAction::RESHANDLE, TTavuAction::LENGTHLT, QStringLiteral("5"), true},
        {TTavuAction::RESHANDLE, TTavuAction::LENGTHLT, QStringLiteral("4"), false},
        {TTavuAction::RESHANDLE, TTavuAction::LENGTHGT, QStringLiteral("5"), true},
        {TTavuAction::RESHANDLE, TTavuAction::LENGTHGT, QStringLiteral("6"), false},
        {TTavuAction::RESHANDLE, TTavuAction::LENGTHLT, QString(), false},        // not a number
        // a line break of the pattern is a <br> of the message, blanks around it not counting
        {TTavuAction::RESBODY, TTavuAction::LIKE, QStringLiteral("目#13#10二"), true},
        {TTavuAction::RESBODY, TTavuAction::SAME, QStringLiteral("一行目#13#10二行目"), true},
        {TTavuAction::RESBODY, TTavuAction::SAME, QStringLiteral("一行目#13#10二"), false},
        {TTavuAction::RESHANDLE, TTavuAction::COUNTGT, QStringLiteral("0"), false},
    };
    for (const Case &c : cases) {
        const auto rule = Rule(c.target, TTavuAction::ABONE, c.condition, c.value);
        EXPECT_EQ(rule->MatchRes(*res), c.hit) << c.target << " " << c.condition << " " << c.value.toStdString();
    }
}

// Some servers follow a poster's ID with a marker such as "(主)": a rule on the ID still hits.
TEST(Rules, AnIdRuleHitsTheIdFollowedByAServersMarker)
{
    std::unique_ptr<TRes> res(MakeRes(1, QStringLiteral("x")));
    res->SetDate(QStringLiteral("2024/05/01(水) 12:00:00.00 ID:AbCd1234(主)"));
    EXPECT_EQ(res->ID, QStringLiteral("AbCd1234(主)"));   // the marker stays visible
    EXPECT_TRUE(Rule(TTavuAction::RESID, TTavuAction::ABONE, TTavuAction::SAME, QStringLiteral("AbCd1234"))->MatchRes(*res));
    EXPECT_FALSE(Rule(TTavuAction::RESID, TTavuAction::ABONE, TTavuAction::SAME, QStringLiteral("AbCd"))->MatchRes(*res));
    EXPECT_EQ(TRes::PosterID(QStringLiteral("AbCd1234 （副）")), QStringLiteral("AbCd1234"));
}

TEST(Rules, ThreadConditions)
{
    Item item;
    item->TITLE = QStringLiteral("【雑談】スレ Part2");
    item->AGECOUNT = 500;
    item->COUNT = 480;
    item->LAST_LOAD = QStringLiteral("2024/05/07 12:00:00");   // three days before Now
    auto match = [&](int target, int condition, const QString &value) {
        return Rule(target, TTavuAction::ABONE, condition, value)->MatchThread(*item, Now);
    };
    EXPECT_TRUE(match(TTavuAction::THREADTITLE, TTavuAction::LIKE, QStringLiteral("雑談")));
    EXPECT_FALSE(match(TTavuAction::THREADTITLE, TTavuAction::SAME, QStringLiteral("雑談")));
    EXPECT_TRUE(match(TTavuAction::THREADRESCOUNT, TTavuAction::COUNTGT, QStringLiteral("499")));
    EXPECT_FALSE(match(TTavuAction::THREADRESCOUNT, TTavuAction::COUNTGT, QStringLiteral("500")));
    EXPECT_TRUE(match(TTavuAction::THREADLOADDATE, TTavuAction::DATEGT, QStringLiteral("2")));
    EXPECT_FALSE(match(TTavuAction::THREADLOADDATE, TTavuAction::DATEGT, QStringLiteral("3")));
    EXPECT_TRUE(match(TTavuAction::THREADLOADDATE, TTavuAction::NONGETCOUNTGT, QStringLiteral("19")));
    EXPECT_FALSE(match(TTavuAction::THREADLOADDATE, TTavuAction::NONGETCOUNTGT, QStringLiteral("20")));
    // the count conditions need their own target
    EXPECT_FALSE(match(TTavuAction::THREADTITLE, TTavuAction::COUNTGT, QStringLiteral("1")));
    item->LAST_LOAD.clear();   // never loaded: no date and no unfetched count
    EXPECT_FALSE(match(TTavuAction::THREADLOADDATE, TTavuAction::DATEGT, QStringLiteral("0")));
    EXPECT_FALSE(match(TTavuAction::THREADLOADDATE, TTavuAction::NONGETCOUNTGT, QStringLiteral("0")));
}

TEST(Rules, MatchGoesOnFromAnIndexOverRulesThatTakePart)
{
    TTavuActionList rules;
    const QString word = QStringLiteral("荒らし");
    auto add = [&](std::unique_ptr<TTavuAction> rule) { rules.Add(std::move(rule)); };
    add(Rule(TTavuAction::RESBODY, TTavuAction::POPUP, TTavuAction::LIKE, word));   // 0: every board
    auto disabled = Rule(TTavuAction::RESBODY, TTavuAction::POPUP, TTavuAction::LIKE, word);
    disabled->Enabled = false;
    add(std::move(disabled));                                                     // 1
    auto otherBoard = Rule(TTavuAction::RESBODY, TTavuAction::POPUP, TTavuAction::LIKE, word);
    otherBoard->Boards.Clear();
    otherBoard->Boards.Add(QStringLiteral("2ch"), QStringLiteral("tech"));
    add(std::move(otherBoard));                                                   // 2
    auto wholeSite = Rule(TTavuAction::RESBODY, TTavuAction::POPUP, TTavuAction::LIKE, word);
    wholeSite->Boards.Clear();
    wholeSite->Boards.Add(QStringLiteral("2ch"), QString(), true);
    add(std::move(wholeSite));                                                    // 3
    auto noBoards = Rule(TTavuAction::RESBODY, TTavuAction::POPUP, TTavuAction::LIKE, word);
    noBoards->Boards.Clear();
    add(std::move(noBoards));                                                     // 4
    auto thisBoard = Rule(TTavuAction::RESBODY, TTavuAction::POPUP, TTavuAction::LIKE, word);
    thisBoard->Boards.Clear();
    thisBoard->Boards.Add(QStringLiteral("2ch"), QStringLiteral("news"));
    add(std::move(thisBoard));                                                    // 5

    std::unique_ptr<TRes> res(MakeRes(1, QStringLiteral("また荒らしか")));
    const QString site = QStringLiteral("2ch"), board = QStringLiteral("news");
    QList<int> found;
    for (int i = rules.MatchRes(0, site, board, *res, Now); i >= 0; i = rules.MatchRes(i + 1, site, board, *res, Now))
        found << i;
    EXPECT_EQ(found, (QList<int>{0, 3, 5}));
    EXPECT_EQ(rules.MatchRes(0, QStringLiteral("machi"), board, *res, Now), 0);
    EXPECT_EQ(rules.MatchRes(1, QStringLiteral("machi"), board, *res, Now), -1);
    EXPECT_EQ(rules.Get(0)->HitCount, 2);
    EXPECT_EQ(rules.Get(0)->LastHitDate, QStringLiteral("2024/05/10 12:00:00"));
    EXPECT_EQ(rules.Get(1)->HitCount, 0);
}

TEST(Rules, ExpiredRulesStopAndAreSwitchedOff)
{
    TTavuActionList rules;
    auto oneDay = Rule(TTavuAction::RESID, TTavuAction::ABONE, TTavuAction::SAME, QStringLiteral("AbCd1234"));
    oneDay->ExpireDays = 1;
    oneDay->RegistDate = QStringLiteral("2024/05/09 12:30:00");
    rules.Add(std::move(oneDay));
    std::unique_ptr<TRes> res(MakeRes(1, QStringLiteral("x")));
    const QString site = QStringLiteral("2ch"), board = QStringLiteral("news");
    EXPECT_EQ(rules.MatchRes(0, site, board, *res, Now), 0);
    EXPECT_EQ(rules.MatchRes(0, site, board, *res, Now.addSecs(1800)), -1);
    EXPECT_FALSE(rules.Get(0)->Enabled);

    auto undated = Rule(TTavuAction::RESID, TTavuAction::ABONE, TTavuAction::SAME, QStringLiteral("AbCd1234"));
    undated->ExpireDays = 1;
    EXPECT_FALSE(undated->IsExpired(Now.addYears(5)));
}

TEST(Rules, HideStopsTheRulesAndEachResponseIsDoneOnce)
{
    Thread t;
    t.rules.Add(Rule(TTavuAction::RESHANDLE, TTavuAction::POPUP, TTavuAction::LIKE, QStringLiteral("名無し")));
    t.rules.Add(Rule(TTavuAction::RESBODY, TTavuAction::ABONE, TTavuAction::LIKE, QStringLiteral("宣伝")));
    t.rules.Add(Rule(TTavuAction::RESBODY, TTavuAction::BOOKMARK, TTavuAction::LIKE, QStringLiteral("宣伝")));
    TRes *res = MakeRes(1, QStringLiteral("宣伝です"));
    const QList<TActionHit> hits = t.Add(res);
    ASSERT_EQ(hits.size(), 2);
    EXPECT_EQ(hits[0].Rule->Action, TTavuAction::POPUP);
    EXPECT_EQ(hits[1].Rule->Action, TTavuAction::ABONE);
    EXPECT_TRUE(res->Hidden);
    EXPECT_TRUE(res->RuleMark);
    EXPECT_TRUE(t.list.HiddenNumbers.isEmpty());   // not a chain rule
    EXPECT_TRUE(t.rules.ApplyToRes(t.list, *res, QStringLiteral("2ch"), QStringLiteral("news"), true, Now).isEmpty());
    EXPECT_EQ(t.rules.Get(0)->HitCount, 1);
}

TEST(Rules, ReplaceAndBold)
{
    Thread t;
    t.rules.Add(Rule(TTavuAction::RESHANDLE | TTavuAction::RESBODY, TTavuAction::REPLACE, TTavuAction::LIKE,
                     QStringLiteral("\\1"), QStringLiteral("[$0]")));
    t.rules.Add(Rule(TTavuAction::RESBODY, TTavuAction::REPLACE, TTavuAction::LIKE,
                     QStringLiteral("a#13#10b"), QStringLiteral("c#13#10d\\1")));
    t.rules.Add(Rule(TTavuAction::RESMAIL | TTavuAction::RESHANDLE, TTavuAction::REPLACE, TTavuAction::LENGTHGT,
                     QStringLiteral("5"), QStringLiteral("長い")));
    t.rules.Add(Rule(TTavuAction::RESID, TTavuAction::REPLACE, TTavuAction::SAME, QStringLiteral("AbCd1234"),
                     QStringLiteral("????")));
    t.rules.Add(Rule(TTavuAction::RESBODY, TTavuAction::RESMARK, TTavuAction::LIKE, QStringLiteral("x")));

    TRes *res = MakeRes(1, QStringLiteral("x\\1 a <br> b \\1"), QStringLiteral("名無しさん"));
    EXPECT_EQ(t.Add(res).size(), 5);
    EXPECT_EQ(res->Body, QStringLiteral("<B>x[$0] c<br>d\\1 [$0]</B>"));
    EXPECT_EQ(res->Name, QStringLiteral("長い"));   // 10 bytes: the whole field
    EXPECT_EQ(res->Mail, QStringLiteral("sage"));    // 4 bytes: kept
    EXPECT_EQ(res->ID, QStringLiteral("????"));
    EXPECT_EQ(res->DateField(), QStringLiteral("2024/05/01(水) 12:00:00.00 ID:???? BE:123-2"));
    EXPECT_EQ(res->BE, QStringLiteral("123-2"));

    TRes *outside = MakeRes(2, QStringLiteral("x"));
    t.Add(outside, false);   // no view: no bold
    EXPECT_EQ(outside->Body, QStringLiteral("x"));
}

TEST(Rules, ChainHiding)
{
    Thread t;
    auto chain = Rule(TTavuAction::RESHANDLE, TTavuAction::ABONE, TTavuAction::SAME, QStringLiteral("荒らし"));
    chain->Chain = true;
    TTavuAction *chainRule = chain.get();
    t.rules.Add(std::move(chain));
    t.rules.Add(Rule(TTavuAction::RESHANDLE, TTavuAction::ABONE, TTavuAction::SAME, QStringLiteral("宣伝")));

    t.Add(MakeRes(1, QStringLiteral("a"), QStringLiteral("荒らし")));
    t.Add(MakeRes(2, QStringLiteral("b"), QStringLiteral("宣伝")));
    const QList<TActionHit> hits = t.Add(MakeRes(3, QStringLiteral("<a href=\"../test/read.cgi/news/1/1\">&gt;&gt;1</a> 同意")));
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits[0].Rule, chainRule);
    EXPECT_TRUE(hits[0].Chained);
    t.Add(MakeRes(4, QStringLiteral("＞＞３ それな")));   // refers to a chained one
    t.Add(MakeRes(5, QStringLiteral("&gt;&gt;2")));        // hidden, but not by a chain rule
    t.Add(MakeRes(6, QStringLiteral("&gt;&gt;5-8,10")));
    t.Add(MakeRes(7, QStringLiteral("&gt;&gt;2-3")));
    t.Add(MakeRes(8, QStringLiteral("1>>3 は式")));         // a typed ">>" counts too
    t.Add(MakeRes(9, QStringLiteral("レス1について")));

    QList<int> hidden;
    for (int i = 0; i < t.list.Count(); ++i) {
        if (t.list.Get(i)->Hidden)
            hidden << t.list.Get(i)->Number;
    }
    EXPECT_EQ(hidden, (QList<int>{1, 2, 3, 4, 7, 8}));
    EXPECT_EQ(t.list.HiddenNumbers.keys(), (QList<int>{1, 3, 4, 7, 8}));

    t.rules.Delete(t.rules.IndexOf(chainRule));   // deleted while the thread is open
    TRes *later = MakeRes(10, QStringLiteral("&gt;&gt;1"));
    EXPECT_TRUE(t.Add(later).isEmpty());
    EXPECT_FALSE(later->Hidden);
}

TEST(Rules, ThreadActions)
{
    TTavuActionList rules;
    const QString title = QStringLiteral("雑談");
    rules.Add(Rule(TTavuAction::THREADTITLE, TTavuAction::REPLACE, TTavuAction::LIKE, title, QStringLiteral("ざつだん")));
    rules.Add(Rule(TTavuAction::THREADTITLE, TTavuAction::SETBOLD, TTavuAction::LIKE, QStringLiteral("ざつ")));
    rules.Add(Rule(TTavuAction::THREADTITLE, TTavuAction::SETREVERSE, TTavuAction::LIKE, QStringLiteral("ざつ")));
    rules.Add(Rule(TTavuAction::THREADTITLE, TTavuAction::SETCOLOR, TTavuAction::LIKE, QStringLiteral("ざつ"), QStringLiteral("clRed")));
    rules.Add(Rule(TTavuAction::THREADTITLE, TTavuAction::SETPRIORITY, TTavuAction::LIKE, QStringLiteral("ざつ"), QStringLiteral("7")));
    auto newOnly = Rule(TTavuAction::THREADRESCOUNT, TTavuAction::SETKAKOLOG, TTavuAction::COUNTGT, QStringLiteral("999"));
    newOnly->NewThreadOnly = true;
    rules.Add(std::move(newOnly));
    rules.Add(Rule(TTavuAction::THREADTITLE, TTavuAction::ABONE, TTavuAction::LIKE, QStringLiteral("ざつ")));
    rules.Add(Rule(TTavuAction::THREADTITLE, TTavuAction::POPUP, TTavuAction::LIKE, QStringLiteral("ざつ")));

    Item item;
    item->TITLE = QStringLiteral("雑談スレ");
    item->AGECOUNT = 1000;
    const QList<TActionHit> hits = rules.ApplyToThread(*item, QStringLiteral("2ch"), QStringLiteral("news"), Now);
    EXPECT_EQ(hits.size(), 6);   // the new-threads rule passes; hiding stops before the notice
    EXPECT_EQ(item->TITLE, QStringLiteral("ざつだんスレ"));
    EXPECT_TRUE(item->BOLD);
    EXPECT_TRUE(item->REVERSE);
    EXPECT_EQ(item->COLOR, StringToColor(QStringLiteral("clRed"), nullptr));
    EXPECT_EQ(item->PRIORITY, 7);
    EXPECT_FALSE(item->KAKOLOG);

    item->IsNew = true;
    rules.ApplyToThread(*item, QStringLiteral("2ch"), QStringLiteral("news"), Now);
    EXPECT_TRUE(item->KAKOLOG);
}

TEST(Rules, FileRoundTripIsByteForByte)
{
    TempDataRoot root;
    const QByteArray file =
        "9\t0\t0\t\x90\xe9\x93`\t\t0\t1\t0\t12\t2024/05/01 21:03:44\t\t0\t2024/04/30 10:00:00\t1\t1\t#ALL\t\t1\r\n"
        "4\t2\t1\tAbCd1234\t\t1\t0\t0\t0\t\t\x88\xea\x93\xfa\t1\t2099/05/01 08:00:00\t1\t2\t2ch\tnews\t0\tmachi\t\t1\r\n"
        "16\t1\t0\ta#13#10b\tc#13#10d\t0\t0\t1\t3\t2024/05/02 00:00:00\tcomment\t0\t\t0\t0\r\n";
    root.Write("ngres.txt", file);
    TTavuActionList rules;
    ASSERT_TRUE(rules.LoadFromFile(root.File("ngres.txt")));
    EXPECT_TRUE(rules.LoadMessages().isEmpty());
    ASSERT_EQ(rules.Count(), 3);
    EXPECT_EQ(rules.Get(0)->Value1, QStringLiteral("宣伝"));
    EXPECT_TRUE(rules.Get(0)->Chain);
    EXPECT_EQ(rules.Get(1)->Comment, QStringLiteral("一日"));
    ASSERT_EQ(rules.Get(1)->Boards.Count(), 2);
    EXPECT_TRUE(rules.Get(1)->Boards.Get(1)->AllBoards);
    EXPECT_FALSE(rules.Get(2)->Enabled);
    EXPECT_EQ(root.Read("ngres.bak"), file);

    rules.SaveToFile(root.File("saved.txt"));
    EXPECT_EQ(root.Read("saved.txt"), file);
}

TEST(Rules, FileKeepsBadLinesAndStoresBreaksSafely)
{
    TempDataRoot root;
    const QByteArray good = "8\t0\t0\tspam\t\t0\t0\t0\t0\t\t\t0\t\t1\t1\t#ALL\t\t1\r\n";
    const QByteArray bad[] = {
        "8\t0\t0\tspam\r\n",                                                    // too few fields
        "8\t12\t0\tspam\t\t0\t0\t0\t0\t\t\t0\t\t1\t1\t#ALL\t\t1\r\n",          // no action 12
        "8\t0\t0\tspam\t\t0\t0\t0\t0\t\t\t0\t\t1\t2\t#ALL\t\t1\r\n",           // board count 2, one board
        "8\t0\t0\tspam\t\t0\t0\t0\tx\t\t\t0\t\t1\t1\t#ALL\t\t1\r\n",           // hit count not a number
        "8\t0\t0\tspam\t\t0\t0\t0\t0\t\t\t0\t\t1\t1431655766\t#ALL\t\r\n",   // 3 x count overflows 32 bits
    };
    QByteArray file = bad[0] + good + bad[1] + bad[2] + "\r\n" + bad[3] + good + bad[4];
    root.Write("ngthread.txt", file);
    TTavuActionList rules;
    ASSERT_TRUE(rules.LoadFromFile(root.File("ngthread.txt")));
    EXPECT_EQ(rules.Count(), 2);
    ASSERT_EQ(rules.LoadMessages().size(), 5);
    EXPECT_TRUE(rules.LoadMessages()[3].contains(QStringLiteral("ngthread.txt: 6 ")));

    auto multiLine = Rule(TTavuAction::RESBODY, TTavuAction::REPLACE, TTavuAction::LIKE,
                          QStringLiteral("a\r\nb\tc"), QStringLiteral("d\ne"));
    rules.Add(std::move(multiLine));
    rules.SaveToFile(root.File("ngthread.txt"));
    const QByteArray saved = root.Read("ngthread.txt");
    EXPECT_EQ(saved, good + good + "8\t1\t0\ta#13#10b c\td#13#10e\t0\t0\t0\t0\t\t\t0\t\t1\t1\t#ALL\t\t1\r\n"
                         + bad[0] + bad[1] + bad[2] + bad[3] + bad[4]);

    EXPECT_FALSE(rules.LoadFromFile(root.File("missing.txt")));
    EXPECT_EQ(rules.Count(), 0);
    EXPECT_FALSE(QFileInfo::exists(root.File("missing.bak")));
}
