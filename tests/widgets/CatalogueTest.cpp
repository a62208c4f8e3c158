// The action catalogue: the stored names and their categories, the design-time states, the
// pictures, and the action list made from it.

#include "controls/ActionCatalogue.h"

#include "core/IniFile.h"
#include "core/ShortcutText.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QKeySequence>
#include <QSet>

namespace {

const QString SeedDir = QStringLiteral(VARNELO_SHIP_DIR "/def/");

// The actions a seeded file names: every value of the sections of toolbar.ini and popup.ini but
// the counts and separators, and the keys of kpw.ini's key bindings.
QStringList NamedInSeeds()
{
    QStringList names;
    for (const QString &file : {QStringLiteral("toolbar.ini"), QStringLiteral("popup.ini")}) {
        const TIniFile ini(SeedDir + file);
        for (const QString &section : ini.ReadSections()) {
            for (const QString &key : ini.ReadSection(section)) {
                const QString value = ini.ReadString(section, key);
                if (key != QLatin1String("COUNT") && value != QLatin1String("-"))
                    names << value;
            }
        }
    }
    names += TIniFile(SeedDir + QStringLiteral("kpw.ini")).ReadSection(QStringLiteral("SHORTCUT"));
    return names;
}

}  // namespace

TEST(ActionCatalogue, NamesAreUniqueAndExact)
{
    QSet<QString> names;
    for (const TActionInfo &info : ActionCatalogue::Entries()) {
        EXPECT_TRUE(info.Name.startsWith(QLatin1String("act"))) << info.Name.toStdString();
        EXPECT_FALSE(info.Caption.isEmpty()) << info.Name.toStdString();
        EXPECT_FALSE(names.contains(info.Name)) << "twice: " << info.Name.toStdString();
        names.insert(info.Name);
        EXPECT_EQ(ActionCatalogue::Find(info.Name), &info);
    }
    EXPECT_EQ(ActionCatalogue::Find(QStringLiteral("actonline")), nullptr);   // names compare exactly
}

// The customisation dialogs list the categories in the order of their first action and show each
// category as one run of the list.
TEST(ActionCatalogue, EachCategoryIsOneRunInTheOrderListed)
{
    const QStringList categories = ActionCatalogue::Categories();
    ASSERT_FALSE(categories.isEmpty());
    EXPECT_EQ(QSet<QString>(categories.begin(), categories.end()).size(), categories.size());
    QStringList runs;
    for (const TActionInfo &info : ActionCatalogue::Entries()) {
        EXPECT_FALSE(info.Category.isEmpty()) << info.Name.toStdString();
        if (runs.isEmpty() || runs.last() != info.Category)
            runs << info.Category;
    }
    EXPECT_EQ(runs, categories);
}

// Bars, menus and key bindings store actions by name: every name the seeded files use is one the
// catalogue has, and every seeded key binding can be read back as a key.
TEST(ActionCatalogue, TheSeededFilesNameOnlyActionsThatExist)
{
    const QStringList named = NamedInSeeds();
    ASSERT_GT(named.size(), 20);
    for (const QString &name : named)
        EXPECT_NE(ActionCatalogue::Find(name), nullptr) << name.toStdString();

    const TIniFile kpw(SeedDir + QStringLiteral("kpw.ini"));
    for (const QString &name : kpw.ReadSection(QStringLiteral("SHORTCUT"))) {
        const QString key = kpw.ReadString(QStringLiteral("SHORTCUT"), name);
        EXPECT_NE(ShortcutText::TextToQtKey(key), 0) << name.toStdString() << " " << key.toStdString();
    }
}

TEST(ActionCatalogue, DesignTimeStatesAreUsable)
{
    for (const TActionInfo &info : ActionCatalogue::Entries()) {
        if (info.Checked) {
            EXPECT_TRUE(info.Checkable) << info.Name.toStdString();
        }
        if (!info.ShortCut.isEmpty()) {
            EXPECT_NE(ShortcutText::TextToQtKey(info.ShortCut), 0) << info.ShortCut.toStdString();
        }
    }
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
    const QList<TActionInfo> &entries = ActionCatalogue::Entries();
    ASSERT_EQ(list.Actions().size(), entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        QAction *action = list.Actions()[i];
        const TActionInfo &info = entries[i];
        EXPECT_EQ(action->objectName(), info.Name);
        EXPECT_EQ(TActionList::CategoryOf(action), info.Category);
        EXPECT_EQ(action->text(), info.Caption) << info.Name.toStdString();
        EXPECT_EQ(action->isChecked(), info.Checked) << info.Name.toStdString();
        EXPECT_FALSE(action->isEnabled()) << info.Name.toStdString();
        EXPECT_FALSE(TActionList::HasHandler(action));
        EXPECT_EQ(list.Action(info.Name), action);
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
