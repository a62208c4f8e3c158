// The action catalogue: the stored names and their categories, the design-time states, the
// pictures, and the action list made from it.

#include "mainwindow/ActionCatalogue.h"

#include "core/ShortcutText.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QKeySequence>
#include <QSet>

namespace {

QSet<QString> NamesWhere(bool (*test)(const TActionInfo &))
{
    QSet<QString> names;
    for (const TActionInfo &info : ActionCatalogue::Entries())
        if (test(info))
            names.insert(info.Name);
    return names;
}

}  // namespace

TEST(ActionCatalogue, NamesAreUniqueAndGroupedByCategory)
{
    const QList<TActionInfo> &entries = ActionCatalogue::Entries();
    ASSERT_EQ(entries.size(), 220);
    QSet<QString> names;
    for (const TActionInfo &info : entries) {
        EXPECT_TRUE(info.Name.startsWith(QLatin1String("act"))) << info.Name.toStdString();
        EXPECT_FALSE(info.Caption.isEmpty()) << info.Name.toStdString();
        EXPECT_FALSE(names.contains(info.Name)) << "twice: " << info.Name.toStdString();
        names.insert(info.Name);
        EXPECT_EQ(ActionCatalogue::Find(info.Name), &info);
    }
    EXPECT_EQ(ActionCatalogue::Find(QStringLiteral("actonline")), nullptr);   // names compare exactly

    // The customisation dialogs list categories in the order of their first action; each category
    // is one run of the list.
    const QStringList expected = {"選択レス", "ツール", "スレッド一覧", "2ch", "ファイル", "ブラウザ", "スレッド", "表示",
                                  "ボード一覧", "ヘルプ", "ブラウザ選択", "お気に入り", "ショートカットバー", "しおり",
                                  "shitaraba", "megabbs", "15ch", "milkcafe", "machibbs"};
    const QList<int> counts = {16, 19, 45, 8, 14, 22, 39, 17, 20, 2, 2, 3, 1, 2, 2, 3, 3, 1, 1};
    EXPECT_EQ(ActionCatalogue::Categories(), expected);
    QList<int> runs;
    QString last;
    for (const TActionInfo &info : entries) {
        if (info.Category != last)
            runs.append(0);
        ++runs.last();
        last = info.Category;
    }
    EXPECT_EQ(runs, counts);
}

TEST(ActionCatalogue, DesignTimeStates)
{
    EXPECT_EQ(NamesWhere([](const TActionInfo &i) { return !i.ShortCut.isEmpty(); }),
              QSet<QString>({"actThreadListNextTab", "actThreadListPriorTab", "actBrowserNextTab", "actBrowserPriorTab"}));
    for (const TActionInfo &info : ActionCatalogue::Entries()) {
        if (!info.ShortCut.isEmpty()) {
            EXPECT_NE(ShortcutText::TextToQtKey(info.ShortCut), 0) << info.ShortCut.toStdString();
        }
    }

    EXPECT_EQ(NamesWhere([](const TActionInfo &i) { return i.Checked; }),
              QSet<QString>({"actOnline", "actSaveMode", "actShowBrowser", "actShowBoardList2", "actShowThreadList2",
                             "actShowMessage"}));
    for (const TActionInfo &info : ActionCatalogue::Entries()) {
        if (info.Checked) {
            EXPECT_TRUE(info.Checkable) << info.Name.toStdString();
        }
    }

    EXPECT_EQ(NamesWhere([](const TActionInfo &i) { return !i.HasHandler; }),
              QSet<QString>({"actShowThreadInfo", "actShitarabaMsg", "actShitarabaVote", "act15chHeadline",
                             "act2chHeadline", "actMegabbsSearch"}));
}

TEST(ActionCatalogue, HintsAreCaptionsWithoutAccessKey)
{
    EXPECT_EQ(ActionCatalogue::StripAccessKey(QStringLiteral("リロード(&R)")), QStringLiteral("リロード"));
    EXPECT_EQ(ActionCatalogue::StripAccessKey(QStringLiteral("オプション(&O)...")), QStringLiteral("オプション..."));
    EXPECT_EQ(ActionCatalogue::StripAccessKey(QStringLiteral("ヴァルネロ &1.0 風味にする")),
              QStringLiteral("ヴァルネロ 1.0 風味にする"));
    EXPECT_EQ(ActionCatalogue::StripAccessKey(QStringLiteral("A && B&")), QStringLiteral("A & B"));

    EXPECT_EQ(ActionCatalogue::Find(QStringLiteral("actThreadListReload"))->Hint, QStringLiteral("リロード"));
    EXPECT_TRUE(ActionCatalogue::Find(QStringLiteral("actThreadSetKakoLog"))->Hint.startsWith(
        QStringLiteral("表示しているスレッドを過去ログ扱いにします。")));
    EXPECT_EQ(ActionCatalogue::Find(QStringLiteral("actMegabbsNewThreads2"))->Caption,
              QStringLiteral("最新20件表示 / megabbs2 (&L)"));
}

TEST(ActionCatalogue, PicturesMatchTheStrip)
{
    for (const TActionInfo &info : ActionCatalogue::Entries())
        EXPECT_TRUE(info.ImageIndex >= imgNone && info.ImageIndex < imgCount) << info.Name.toStdString();
    const TImageList images = ActionCatalogue::LoadImages(QStringLiteral(VARNELO_SHIP_DIR "/resource/icons/actions.png"));
    EXPECT_EQ(images.size(), int(imgCount));
    EXPECT_TRUE(ActionCatalogue::LoadImages(QStringLiteral("/no/such/strip.png")).isEmpty());
}

TEST(ActionList, MakesEveryActionDisabledUntilBound)
{
    const TImageList images = ActionCatalogue::LoadImages(QStringLiteral(VARNELO_SHIP_DIR "/resource/icons/actions.png"));
    TActionList list(nullptr, images);
    ASSERT_EQ(list.Actions().size(), 220);
    for (QAction *action : list.Actions()) {
        EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
        EXPECT_FALSE(TActionList::HasHandler(action));
        EXPECT_EQ(list.Action(action->objectName()), action);
    }

    QAction *online = list.Action(QStringLiteral("actOnline"));
    EXPECT_EQ(TActionList::CategoryOf(online), QStringLiteral("ファイル"));
    EXPECT_TRUE(online->isCheckable());
    EXPECT_TRUE(online->isChecked());
    EXPECT_FALSE(online->icon().isNull());
    EXPECT_TRUE(list.Action(QStringLiteral("actBrowserShowSource"))->icon().isNull());
    EXPECT_EQ(list.Action(QStringLiteral("actBrowserPriorTab"))->shortcut(),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab));

    int calls = 0;
    EXPECT_TRUE(list.Bind(QStringLiteral("actThreadReload"), &list, [&calls] { ++calls; }));
    QAction *reload = list.Action(QStringLiteral("actThreadReload"));
    EXPECT_TRUE(reload->isEnabled());
    EXPECT_TRUE(TActionList::HasHandler(reload));
    reload->trigger();
    EXPECT_EQ(calls, 1);

    // An action that never has a handler cannot be bound and stays disabled.
    EXPECT_FALSE(list.Bind(QStringLiteral("actShitarabaMsg"), &list, [&calls] { ++calls; }));
    EXPECT_FALSE(list.Action(QStringLiteral("actShitarabaMsg"))->isEnabled());
    EXPECT_FALSE(list.Bind(QStringLiteral("actNoSuchThing"), &list, [&calls] { ++calls; }));
}
