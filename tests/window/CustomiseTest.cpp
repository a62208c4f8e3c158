// Shaping the program from its own dialogs: the skin of a view, key bindings and external tools.
// Each editor reads the stored file, changes it, writes it back in the stored format, and the
// window takes the change at once.

#include "WindowParts.h"
#include "DialogAnswers.h"
#include "StoredThread.h"
#include "WindowTestEnv.h"

#include "commands/CustomiseCommands.h"
#include "commands/ToolCommands.h"
#include "controls/BarsAndMenus.h"
#include "controls/BoardTree.h"
#include "controls/ExtListView.h"
#include "controls/ShortcutBar.h"
#include "controls/TabMenuItem.h"
#include "controls/WindowLists.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/ResList.h"
#include "core/ShortcutText.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "services/BasicAuthorization.h"
#include "services/HistoryFiles.h"
#include "services/SkinAssignments.h"
#include "settings/BasicAuthorizationForm.h"
#include "settings/CleanDialog.h"
#include "settings/ColumnDialog.h"
#include "settings/CustomPopupMenuDialog.h"
#include "settings/CustomToolbarDialog.h"
#include "settings/KeyBindDialog.h"
#include "settings/ShortcutEditor.h"
#include "settings/SkinDialog.h"
#include "settings/SkinDialog2.h"
#include "settings/ToolDialog.h"
#include "settings/ToolEditDialog.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QMenu>
#include <QToolBar>
#include <QTreeWidget>

namespace {

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The tab's page once it holds every marker (or as it stands after a long wait). One request is
// out at a time; a reply may come after the wait is over, so it writes into shared state.
QString PageOf(TTavuBrowser *tab, const QStringList &markers)
{
    struct TReply {
        QString Html;
        bool Pending = false;
    };
    auto reply = std::make_shared<TReply>();
    auto holdsAll = [&] {
        return std::all_of(markers.begin(), markers.end(), [&](const QString &marker) { return reply->Html.contains(marker); });
    };
    TWindowEnv::WaitUntil([&] {
        if (!reply->Pending) {
            reply->Pending = true;
            tab->DocumentHtml([reply](const QString &text) {
                reply->Html = text;
                reply->Pending = false;
            });
        }
        return holdsAll();
    });
    return reply->Html;
}

int RowOf(const TKeyBindings &bindings, const QString &form, const QString &action)
{
    for (int i = 0; i < bindings.Count(); ++i) {
        if (bindings.Row(i).Form == form && bindings.Row(i).Action->objectName() == action)
            return i;
    }
    return -1;
}

}  // namespace

// ---- skins ----

TEST(Customise, ChoosingTheDefaultSkinWritesSkinIniAndRendersOpenTabsInIt)
{
    TWindowEnv env;
    env.Start();
    env.WriteProfile(QStringLiteral("skin/blue/header.html"), "<html><body><p>BLUESKIN</p>\r\n");
    env.WriteProfile(QStringLiteral("skin/blue/res.htm"), "<dl><dt>&NUMBER &NAME</dt><dd>&MESSAGE</dd></dl>\r\n");
    env.WriteProfile(QStringLiteral("skin/blue/footer.html"), "</body></html>\r\n");
    auto *item = new TThreadItem;
    item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), QStringLiteral("1300000201"), QStringLiteral("スレ"));
    FileUtil::WriteFileAtomic(item->GetLogFile(), jconvert::UnicodeToSjis(QStringLiteral("太郎<><>2024/05/01 12:00:00 ID:abc<>本文一<>スレ\r\n")));
    TTavuBrowser *tab = StoredThread::OpenTab(item);
    env.Window->RefreshResView();
    ASSERT_FALSE(PageOf(tab, {QStringLiteral("本文一")}).contains(QStringLiteral("BLUESKIN")));

    QString preview;
    TDialogAnswers answers(env, [&preview](QDialog &dialog) {
        if (auto *skins = qobject_cast<TSkinDialog *>(&dialog)) {
            EXPECT_NE(skins->DefaultEdit->text(), QStringLiteral("blue"));
            skins->ChangeSkin(QStringLiteral("default"), skins->DefaultEdit);
            EXPECT_EQ(skins->DefaultEdit->text(), QStringLiteral("blue"));
            dialog.accept();
            return;
        }
        auto &chooser = dynamic_cast<TSkinDialog2 &>(dialog);
        const QList<QListWidgetItem *> found = chooser.SkinList->findItems(QStringLiteral("blue"), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        EXPECT_TRUE(chooser.SkinList->findItems(QStringLiteral("module"), Qt::MatchFixedString).isEmpty());
        chooser.SkinList->setCurrentItem(found.first());
        emit chooser.SkinList->itemClicked(found.first());
        // The res template's tags tell the Katjusha format; the preview is the sample thread
        // through the chosen skin.
        EXPECT_EQ(chooser.FormatGroup->checkedId(), 2);
        preview = chooser.PreviewHtml;
        // The page "HTMLソース" holds the rendered page's text.
        EXPECT_EQ(chooser.HtmlSource->toPlainText(), QString(chooser.PreviewHtml).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        EXPECT_TRUE(chooser.HtmlSource->isReadOnly());
        chooser.IDPopupCheck->click();
        chooser.OKButtonClick();
    });
    env.Window->Action(QStringLiteral("actToolSkin"))->trigger();
    EXPECT_EQ(answers.Shown, (QStringList{QStringLiteral("TSkinDialog"), QStringLiteral("TSkinDialog2")}));
    EXPECT_TRUE(preview.contains(QStringLiteral("BLUESKIN")));
    EXPECT_TRUE(preview.contains(QStringLiteral("乙です")));

    const QByteArray stored = ReadBytes(env.Profile(QStringLiteral("skin.ini")));
    EXPECT_TRUE(stored.contains("[default]\r\n"));
    EXPECT_TRUE(stored.contains("KATJUSHA=1\r\n"));
    EXPECT_TRUE(stored.contains("IDPOPUP=0\r\n"));
    TSkinAssignments reread(env.config->GetProfileDir());
    EXPECT_EQ(reread.DisplayName(QStringLiteral("default")), QStringLiteral("blue"));
    EXPECT_EQ(reread.SelectedSkin(QStringLiteral("default")), QStringLiteral("blue"));
    EXPECT_FALSE(reread.Read(QStringLiteral("default")).IDPopup);

    EXPECT_EQ(tab->Skin.SkinPath, env.Profile(QStringLiteral("skin/blue/")));
    const QString page = PageOf(tab, {QStringLiteral("BLUESKIN"), QStringLiteral("本文一")});
    EXPECT_TRUE(page.contains(QStringLiteral("BLUESKIN")));
    EXPECT_TRUE(page.contains(QStringLiteral("本文一")));
    item->Release();
}

// The skin dialog's sites carry the icons the site box shows.
TEST(Customise, TheSkinDialogListsTheSitesWithTheirIcons)
{
    TWindowEnv env;
    env.Start();
    QComboBox *siteBox = Part<QComboBox>(env.Window, "SiteComboBox");
    int rows = 0;
    TDialogAnswers answers(env, [&](QDialog &dialog) {
        auto &skins = dynamic_cast<TSkinDialog &>(dialog);
        rows = skins.SiteList->count();
        for (int i = 0; i < rows; ++i) {
            const QListWidgetItem *row = skins.SiteList->item(i);
            const int inBox = siteBox->findText(row->text());
            ASSERT_GE(inBox, 0) << row->text().toStdString();
            EXPECT_FALSE(row->icon().isNull()) << row->text().toStdString();
            EXPECT_EQ(row->icon().cacheKey(), siteBox->itemIcon(inBox).cacheKey()) << row->text().toStdString();
        }
        dialog.accept();
    });
    env.Window->Action(QStringLiteral("actToolSkin"))->trigger();
    EXPECT_EQ(answers.Shown, QStringList{QStringLiteral("TSkinDialog")});
    EXPECT_GE(rows, 2);
}

TEST(Customise, ErasingABoardsSkinRemovesOnlyItsSection)
{
    TWindowEnv env;
    env.WriteProfile(QStringLiteral("skin.ini"), "[default]\r\nSKINPATH=default\r\n[2ch_news]\r\nSKINPATH=a\r\n[2ch]\r\nSKINPATH=b\r\n");
    TSkinAssignments skins(env.config->GetProfileDir());
    EXPECT_EQ(skins.DisplayName(QStringLiteral("2ch")), QStringLiteral("b"));
    skins.Erase(QStringLiteral("2ch_news"));
    TSkinAssignments reread(env.config->GetProfileDir());
    EXPECT_FALSE(reread.HasSection(QStringLiteral("2ch_news")));
    EXPECT_TRUE(reread.HasSection(QStringLiteral("2ch")));
    EXPECT_TRUE(reread.HasSection(QStringLiteral("default")));
}

// ---- key bindings ----

TEST(Customise, AKeyBoundTwiceIsMarkedAndTheWindowAndComposerBindingsAreStored)
{
    TWindowEnv env;
    env.Start();
    const QKeySequence fresh(Qt::CTRL | Qt::SHIFT | Qt::Key_F9);
    QAction *clearLog = env.Window->Action(QStringLiteral("actToolClearLog"));
    QAction *nextTab = env.Window->Action(QStringLiteral("actBrowserNextTab"));
    QAction *about = env.Window->Action(QStringLiteral("actAbout"));
    ASSERT_FALSE(nextTab->shortcut().isEmpty());
    ASSERT_NE(about, nullptr);
    const QKeySequence shared(Qt::ALT | Qt::Key_F11);
    TDialogAnswers answers(env, [&](QDialog &dialog) {
        auto *bindings = qobject_cast<TKeyBindDialog *>(&dialog);
        if (!bindings)
            return;   // the action the new key starts
        TKeyBindDialog &keys = *bindings;
        const int clearLogRow = RowOf(keys.Bindings, QString(), QStringLiteral("actToolClearLog"));
        const int nextTabRow = RowOf(keys.Bindings, QString(), QStringLiteral("actBrowserNextTab"));
        const int aboutRow = RowOf(keys.Bindings, QString(), QStringLiteral("actAbout"));
        const int sendRow = RowOf(keys.Bindings, QStringLiteral("SendDialog"), QStringLiteral("actNew"));
        ASSERT_GE(clearLogRow, 0);
        ASSERT_GE(nextTabRow, 0);
        ASSERT_GE(aboutRow, 0);
        ASSERT_GE(sendRow, 0);
        auto apply = [&keys](int row, const QKeySequence &key) {
            keys.ListView1->setCurrentItem(keys.ListView1->topLevelItem(row));
            keys.HotKey1->setKeySequence(key);
            keys.BitBtn3Click();
        };
        // A key another action has is taken, and both rows are marked.
        apply(clearLogRow, nextTab->shortcut());
        EXPECT_EQ(keys.Bindings.Row(clearLogRow).Key, nextTab->shortcut()[0].toCombined());
        EXPECT_TRUE(keys.ConflictMarked(clearLogRow));
        EXPECT_TRUE(keys.ConflictMarked(nextTabRow));
        // A free key clears every mark.
        apply(clearLogRow, fresh);
        EXPECT_EQ(keys.ListView1->topLevelItem(clearLogRow)->text(1), QStringLiteral("Shift+Ctrl+F9"));
        EXPECT_FALSE(keys.ConflictMarked(clearLogRow));
        EXPECT_FALSE(keys.ConflictMarked(nextTabRow));
        // The composer's actions and the window's are marked against each other too.
        apply(aboutRow, shared);
        apply(sendRow, shared);
        EXPECT_TRUE(keys.ConflictMarked(sendRow));
        EXPECT_TRUE(keys.ConflictMarked(aboutRow));
        EXPECT_FALSE(keys.ConflictMarked(clearLogRow));
        keys.BitBtn1Click();
    });
    env.Window->Action(QStringLiteral("actToolKeyBind"))->trigger();
    ASSERT_EQ(answers.Shown, QStringList{QStringLiteral("TKeyBindDialog")});
    EXPECT_EQ(clearLog->shortcut(), fresh);
    // The key now starts the action in the window.
    env.Window->show();
    env.Window->activateWindow();
    ASSERT_TRUE(TWindowEnv::WaitUntil([&] { return QApplication::activeWindow() == env.Window; }));
    int triggered = 0;
    QObject::connect(clearLog, &QAction::triggered, env.Window, [&triggered] { ++triggered; });
    QTest::keyClick(env.Window, Qt::Key_F9, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(triggered, 1);
    EXPECT_EQ(answers.Shown.value(1), QStringLiteral("TCleanDialog"));

    TIniFile stored(env.Profile(QStringLiteral("kpw.ini")));
    EXPECT_EQ(stored.ReadString(QStringLiteral("SHORTCUT"), QStringLiteral("actToolClearLog")), QStringLiteral("Shift+Ctrl+F9"));
    EXPECT_EQ(stored.ReadString(QStringLiteral("SHORTCUT"), QStringLiteral("actBrowserNextTab")), QStringLiteral("Ctrl+Tab"));
    // Both bindings of a shared key are written.
    EXPECT_EQ(stored.ReadString(QStringLiteral("SHORTCUT_SendDialog"), QStringLiteral("actNew")), QStringLiteral("Alt+F11"));
    EXPECT_EQ(stored.ReadString(QStringLiteral("SHORTCUT"), QStringLiteral("actAbout")), QStringLiteral("Alt+F11"));
    EXPECT_TRUE(env.Messages.isEmpty());
    // Every action is written, a key or none.
    EXPECT_EQ(stored.ReadSection(QStringLiteral("SHORTCUT")).size(),
              Part<TActionList>(env.Window, "ActionList1")->Actions().size());
    EXPECT_TRUE(ReadBytes(env.Profile(QStringLiteral("kpw.ini"))).contains("actToolClearLog=Shift+Ctrl+F9\r\n"));

    // The stored bindings are what the next start applies.
    clearLog->setShortcut(QKeySequence());
    BarsAndMenus::ApplyShortcutKeys(stored, Part<TActionList>(env.Window, "ActionList1")->Actions());
    EXPECT_EQ(clearLog->shortcut(), fresh);
}

// ---- external tools ----

TEST(Customise, ToolsAreEditedStoredAndListedInTheToolsMenuAtOnce)
{
    TWindowEnv env;
    env.Start();
    env.WriteProfile(QStringLiteral("tool.txt"), jconvert::UnicodeToSjis(QStringLiteral("古い\t/bin/true\t\t\t0\r\n-\r\n")));
    const QString program = QStringLiteral("/bin/sh");
    TDialogAnswers answers(env, [&](QDialog &dialog) {
        if (auto *edit = qobject_cast<TToolEditDialog *>(&dialog)) {
            if (edit->Edit1->text().isEmpty()) {
                edit->Edit1->setText(QStringLiteral("   "));
                edit->Button1Click();   // a title of blanks is refused
                EXPECT_EQ(edit->result(), 0);
                edit->SetFields({QStringLiteral(" 新しい&道具"), QStringLiteral("/no/such/program"), QString(),
                                 QStringLiteral("-c \"echo a\""), true});
                edit->Button1Click();
                EXPECT_EQ(env.Messages.value(0), QStringLiteral("プログラムが見つかりませんでした。"));
                edit->Edit2->setText(program);
            } else {
                edit->Edit4->setText(QStringLiteral("x y"));
            }
            edit->Button1Click();
            return;
        }
        auto &tools = dynamic_cast<TToolDialog &>(dialog);
        EXPECT_EQ(tools.ListBox1->count(), 2);
        tools.Button1Click();
        tools.ListBox1->setCurrentRow(2);
        tools.MoveClick(-1);
        tools.MoveClick(-1);
        EXPECT_EQ(tools.ListBox1->currentRow(), 0);
        tools.ListBox1->setCurrentRow(1);
        tools.Button3Click();
        dialog.reject();   // closing by any way stores the list
    });
    env.Window->Action(QStringLiteral("actToolToolConfig"))->trigger();
    EXPECT_EQ(answers.Shown, (QStringList{QStringLiteral("TToolDialog"), QStringLiteral("TToolEditDialog"),
                                          QStringLiteral("TToolEditDialog")}));
    const QString expected = QStringLiteral(" 新しい&道具\t/bin/sh\t\t-c \"echo a\"\t1\r\n古い\t/bin/true\t\tx y\t0\r\n-\r\n");
    EXPECT_EQ(ReadBytes(env.Profile(QStringLiteral("tool.txt"))), jconvert::UnicodeToSjis(expected));

    QStringList captions;
    TToolMenuItem *added = nullptr;
    for (QAction *action : Part<QMenu>(env.Window, "Tool1")->actions()) {
        if (auto *tool = qobject_cast<TToolMenuItem *>(action); tool && !tool->isSeparator()) {
            captions << tool->text();
            added = added ? added : tool;
        }
    }
    EXPECT_EQ(captions, (QStringList{QStringLiteral(" 新しい&&道具"), QStringLiteral("古い")}));
    ASSERT_NE(added, nullptr);
    EXPECT_TRUE(added->isEnabled());
    EXPECT_EQ(added->Program, program);
    EXPECT_EQ(TToolCommands::ToolArguments(added->Arguments, QStringLiteral("http://127.0.0.1/test/read.cgi/news/1/"),
                                           added->AppendUrl),
              (QStringList{QStringLiteral("-c"), QStringLiteral("echo a"),
                                             QStringLiteral("http://127.0.0.1/test/read.cgi/news/1/")}));

    // Deleting every tool leaves an empty file, not a missing one.
    TToolDialog again(env.Profile(QStringLiteral("tool.txt")));
    while (again.ListBox1->count() > 0) {
        again.ListBox1->setCurrentRow(0);
        again.Button2Click();
    }
    again.accept();
    EXPECT_TRUE(QFile::exists(env.Profile(QStringLiteral("tool.txt"))));
    EXPECT_TRUE(ReadBytes(env.Profile(QStringLiteral("tool.txt"))).isEmpty());
}

TEST(Customise, AClickedToolStartsWithItsArgumentList)
{
    TWindowEnv env([](TWindowEnv &env) {
        env.WriteProfile(QStringLiteral("tool.txt"),
                         jconvert::UnicodeToSjis(QStringLiteral("作る\t/usr/bin/touch\t%1\t\"made by tool.txt\"\t0\r\n")
                                                     .arg(env.config->GetProfileDir())));
    });
    env.Start();
    const QString target = env.Profile(QStringLiteral("made by tool.txt"));
    TToolMenuItem *tool = nullptr;
    for (QAction *action : Part<QMenu>(env.Window, "Tool1")->actions()) {
        if (auto *item = qobject_cast<TToolMenuItem *>(action); item && !item->isSeparator())
            tool = item;
    }
    ASSERT_NE(tool, nullptr);
    tool->trigger();
    EXPECT_TRUE(TWindowEnv::WaitUntil([&] { return QFile::exists(target); }));
}

// ---- thread-list columns ----

TEST(Customise, MovingAdjacentColumnsKeepsTheirOrderAndTheTopOneStays)
{
    TColumnList columns(QString{});
    columns.Lines = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"), QStringLiteral("E")};
    EXPECT_EQ(columns.MoveUp({2, 3}), (QList<int>{1, 2}));
    EXPECT_EQ(columns.Lines.join(QString()), QStringLiteral("ACDBE"));
    // The top row cannot rise, and the row below it keeps its place behind it.
    EXPECT_EQ(columns.MoveUp({0, 1, 4}), (QList<int>{0, 1, 3}));
    EXPECT_EQ(columns.Lines.join(QString()), QStringLiteral("ACDEB"));
    EXPECT_EQ(columns.MoveDown({3, 4}), (QList<int>{4, 3}));
    EXPECT_EQ(columns.Lines.join(QString()), QStringLiteral("ACDEB"));
    EXPECT_EQ(TColumnList::NameOf(QStringLiteral("since")), QStringLiteral("スレ立て日"));
}

TEST(Customise, TheThreadListShowsTheChosenColumnOrderAtOnceWithTheirWidths)
{
    const QByteArray seed = "TITLE\r\nUPDATE\r\nSINCE\r\nREADPOINT\r\nTHREADNO\r\n";
    TWindowEnv env([&seed](TWindowEnv &env) { env.WriteProfile(QStringLiteral("column.txt"), seed); });
    env.Start();
    ASSERT_EQ(env.Window->StoredLists().ThreadListColumns.value(0), QStringLiteral("TITLE"));
    Part<TqorExtListView>(env.Window, "ThreadListView")->setColumnWidth(1, 321);

    TDialogAnswers cancel(env, [](QDialog &dialog) {
        auto &columns = dynamic_cast<TColumnDialog &>(dialog);
        columns.ListBox1->item(1)->setSelected(true);
        columns.Button3Click();
        dialog.reject();
    });
    env.Window->Action(QStringLiteral("actToolColEdit"))->trigger();
    EXPECT_EQ(cancel.Shown, QStringList{QStringLiteral("TColumnDialog")});
    EXPECT_EQ(ReadBytes(env.Profile(QStringLiteral("column.txt"))), seed);

    TDialogAnswers answers(env, [](QDialog &dialog) {
        auto &columns = dynamic_cast<TColumnDialog &>(dialog);
        EXPECT_EQ(columns.ListBox1->item(0)->text(), QStringLiteral("タイトル"));
        columns.ListBox1->item(1)->setSelected(true);
        columns.Button3Click();
        columns.Button1Click();
    });
    env.Window->Action(QStringLiteral("actToolColEdit"))->trigger();
    EXPECT_EQ(ReadBytes(env.Profile(QStringLiteral("column.txt"))), QByteArray("UPDATE\r\nTITLE\r\nSINCE\r\nREADPOINT\r\nTHREADNO\r\n"));
    EXPECT_EQ(env.Window->StoredLists().ThreadListColumns.mid(0, 2),
              (QStringList{QStringLiteral("UPDATE"), QStringLiteral("TITLE")}));
    EXPECT_EQ(Part<TqorExtListView>(env.Window, "ThreadListView")->model()->headerData(2, Qt::Horizontal).toString(),
              BarsAndMenus::ThreadListColumnOf(QStringLiteral("TITLE")).Caption);
    EXPECT_EQ(Part<TqorExtListView>(env.Window, "ThreadListView")->columnWidth(2), 321);
}

// ---- toolbars and popup menus ----

TEST(Customise, AToolbarGainsTheChosenActionAndKeepsAnUnknownName)
{
    TWindowEnv env([](TWindowEnv &env) {
        env.WriteProfile(QStringLiteral("toolbar.ini"),
                         "[MainActToolBar]\r\nCOUNT=3\r\nBUTTON1=actShowBoardList2\r\nBUTTON2=actNoSuchAction\r\nBUTTON3=-\r\n");
    });
    env.Start();
    QAction *memo = env.Window->Action(QStringLiteral("actToolMemo"));
    ASSERT_FALSE(Part<QToolBar>(env.Window, "MainActToolBar")->actions().contains(memo));

    TDialogAnswers answers(env, [&](QDialog &dialog) {
        auto &bars = dynamic_cast<TCustomToolbarDialog &>(dialog);
        EXPECT_EQ(bars.ComboBox1->findText(QStringLiteral("選択レス")), -1);
        EXPECT_EQ(bars.ListView2->topLevelItemCount(), 3);
        EXPECT_EQ(bars.ListView2->topLevelItem(2)->text(0), QStringLiteral("<区切り線>"));
        bars.ComboBox1->setCurrentIndex(bars.ComboBox1->findText(QStringLiteral("ツール")));
        const auto rows = bars.ListView1->findItems(QStringLiteral("[ツール]メモ..."), Qt::MatchExactly);
        ASSERT_EQ(rows.size(), 1);
        rows.first()->setSelected(true);
        bars.actAddExecute();
        // Once on the toolbar the action leaves the list it is chosen from.
        EXPECT_TRUE(bars.ListView1->findItems(QStringLiteral("[ツール]メモ..."), Qt::MatchExactly).isEmpty());
        bars.ListView2->topLevelItem(3)->setSelected(true);
        bars.actMoveUpExecute();
        bars.Button1Click();
    });
    env.Window->Action(QStringLiteral("actToolCustomizeToolBar"))->trigger();
    ASSERT_EQ(answers.Shown, QStringList{QStringLiteral("TCustomToolbarDialog")});

    TIniFile stored(env.Profile(QStringLiteral("toolbar.ini")));
    EXPECT_EQ(*BarsAndMenus::ReadActionEntries(stored, QStringLiteral("MainActToolBar"), QStringLiteral("BUTTON")),
              (QStringList{QStringLiteral("actShowBoardList2"), QStringLiteral("actNoSuchAction"), QStringLiteral("actToolMemo"),
                           QStringLiteral("-")}));
    // Every toolbar is written, the untouched ones with their designed buttons.
    EXPECT_EQ(*BarsAndMenus::ReadActionEntries(stored, QStringLiteral("GaishutuToolBar"), QStringLiteral("BUTTON")),
              BarsAndMenus::DesignedToolBar(QStringLiteral("GaishutuToolBar")));
    EXPECT_TRUE(ReadBytes(env.Profile(QStringLiteral("toolbar.ini"))).contains("BUTTON3=actToolMemo\r\n"));
    EXPECT_TRUE(Part<QToolBar>(env.Window, "MainActToolBar")->actions().contains(memo));
    EXPECT_EQ(Part<QToolBar>(env.Window, "MainActToolBar")->actions().indexOf(memo), 2);
}

// A block of rows moved up or down moves by one place; only the row that received the first moved
// entry stays selected.
TEST(Customise, AMovedBlockOfButtonsLeavesOnlyItsFirstRowSelected)
{
    TWindowEnv env([](TWindowEnv &env) {
        env.WriteProfile(QStringLiteral("toolbar.ini"),
                         "[MainActToolBar]\r\nCOUNT=4\r\nBUTTON1=actToolMemo\r\nBUTTON2=-\r\nBUTTON3=actShowBoardList2\r\nBUTTON4=actOption\r\n");
    });
    env.Start();
    TDialogAnswers answers(env, [&](QDialog &dialog) {
        auto &bars = dynamic_cast<TCustomToolbarDialog &>(dialog);
        auto selected = [&bars] {
            QList<int> rows;
            for (int row = 0; row < bars.ListView2->topLevelItemCount(); ++row)
                if (bars.ListView2->topLevelItem(row)->isSelected())
                    rows << row;
            return rows;
        };
        ASSERT_EQ(bars.ListView2->topLevelItemCount(), 4);
        bars.ListView2->topLevelItem(2)->setSelected(true);
        bars.ListView2->topLevelItem(3)->setSelected(true);
        bars.actMoveUpExecute();
        EXPECT_EQ(selected(), QList<int>{1});
        bars.ListView2->topLevelItem(2)->setSelected(true);
        bars.actMoveDownExecute();
        EXPECT_EQ(selected(), QList<int>{3});
        bars.Button1Click();
    });
    env.Window->Action(QStringLiteral("actToolCustomizeToolBar"))->trigger();
    TIniFile stored(env.Profile(QStringLiteral("toolbar.ini")));
    EXPECT_EQ(*BarsAndMenus::ReadActionEntries(stored, QStringLiteral("MainActToolBar"), QStringLiteral("BUTTON")),
              (QStringList{QStringLiteral("actToolMemo"), QStringLiteral("-"), QStringLiteral("actShowBoardList2"),
                           QStringLiteral("actOption")}));
}

TEST(Customise, TheMenusOwnCustomizeEntryOpensThePopupEditorAndAnEmptiedMenuStaysEmpty)
{
    TWindowEnv env;
    env.Start();
    QAction *customize = nullptr;
    for (QAction *action : Part<QMenu>(env.Window, "ThreadListPopup")->actions()) {
        if (action->text() == QStringLiteral("カスタマイズ..."))
            customize = action;
    }
    ASSERT_NE(customize, nullptr);

    TDialogAnswers answers(env, [](QDialog &dialog) {
        auto &menus = dynamic_cast<TCustomPopupMenuDialog &>(dialog);
        menus.ComboBox2->setCurrentIndex(1);
        for (int row = 0; row < menus.ListView2->topLevelItemCount(); ++row) {
            EXPECT_NE(menus.ListView2->topLevelItem(row)->text(0), QStringLiteral("カスタマイズ..."));
            menus.ListView2->topLevelItem(row)->setSelected(true);
        }
        menus.actDeleteExecute();
        menus.Button1Click();
    });
    customize->trigger();
    ASSERT_EQ(answers.Shown, QStringList{QStringLiteral("TCustomPopupMenuDialog")});
    TIniFile stored(env.Profile(QStringLiteral("popup.ini")));
    EXPECT_EQ(stored.ReadString(QStringLiteral("ThreadListPopup"), QStringLiteral("COUNT")), QStringLiteral("0"));
    EXPECT_GT(stored.ReadInteger(QStringLiteral("BrowserPopup"), QStringLiteral("COUNT")), 0);
    QStringList left;
    for (QAction *action : Part<QMenu>(env.Window, "ThreadListPopup")->actions()) {
        if (!action->isSeparator())
            left << action->text();
    }
    EXPECT_EQ(left, QStringList{QStringLiteral("カスタマイズ...")});
}

// ---- the band layout ----

namespace {

// The row (0 for the top one) each shown band of the top area stands in.
int RowOfBand(const QList<QToolBar *> &bands, const QToolBar *band)
{
    QList<int> tops;
    for (const QToolBar *other : bands) {
        if (other->isVisible() && !tops.contains(other->y()))
            tops << other->y();
    }
    std::sort(tops.begin(), tops.end());
    return int(tops.indexOf(band->y()));
}

QList<QToolBar *> TopBands(TVarneloWindow *window)
{
    return window->findChildren<QToolBar *>(QString(), Qt::FindDirectChildrenOnly);
}

}  // namespace

TEST(Customise, AShortcutBarMovedToTheThirdRowComesBackThereAfterARestart)
{
    TWindowEnv env;
    env.Start();
    env.Window->show();
    QToolBar *band = env.Window->findChild<QToolBar *>(QStringLiteral("ShortcutBand1"));
    ASSERT_NE(band, nullptr);
    ASSERT_TRUE(TWindowEnv::WaitUntil([&] { return band->isVisible() && RowOfBand(TopBands(env.Window), band) >= 0; }));
    const int rows = [&] {
        int last = 0;
        for (QToolBar *other : TopBands(env.Window))
            if (other != band && other->isVisible() && env.Window->toolBarArea(other) == Qt::TopToolBarArea)
                last = std::max(last, RowOfBand(TopBands(env.Window), other));
        return last + 1;
    }();
    // The user drags the bar onto a row of its own below the others.
    env.Window->removeToolBar(band);
    env.Window->addToolBarBreak(Qt::TopToolBarArea);
    env.Window->addToolBar(Qt::TopToolBarArea, band);
    band->show();
    ASSERT_TRUE(TWindowEnv::WaitUntil([&] { return RowOfBand(TopBands(env.Window), band) == rows; }));

    env.Destroy();   // the end of the run writes kpw.ini
    env.config = std::make_unique<TTavuConfig>();
    TavuConfig = env.config.get();
    env.config->APPSTATE = true;
    env.Window = new TVarneloWindow;
    env.Start();
    env.Window->show();
    band = env.Window->findChild<QToolBar *>(QStringLiteral("ShortcutBand1"));
    EXPECT_TRUE(TWindowEnv::WaitUntil([&] { return band->isVisible() && RowOfBand(TopBands(env.Window), band) == rows; }))
        << RowOfBand(TopBands(env.Window), band);
}

// ---- Basic authorization ----

TEST(Customise, BasicCredentialsAreStoredForTheChosenBoardOnly)
{
    TWindowEnv env;
    env.Start();
    TDialogAnswers answers(env, [](QDialog &dialog) {
        auto &form = dynamic_cast<TBasicAuthorizationForm &>(dialog);
        for (int i = 0; i < form.SiteBox->count(); ++i) {
            if (static_cast<TSite *>(form.SiteBox->itemData(i).value<void *>())->SITEID == QStringLiteral("2ch"))
                form.SiteBox->setCurrentIndex(i);
        }
        const auto rows = form.BoardList->findItems(QStringLiteral("news"), Qt::MatchExactly, 1);
        ASSERT_EQ(rows.size(), 1);
        form.BoardList->setCurrentItem(rows.first());
        form.UserEdit->setText(QStringLiteral("taro"));
        form.PasswordEdit->setText(QStringLiteral("secret"));
        form.ApplyClick();
        EXPECT_EQ(rows.first()->text(2), QStringLiteral("taro"));
        dialog.accept();
    });
    env.Window->Action(QStringLiteral("actToolBasicAuthor"))->trigger();
    ASSERT_EQ(answers.Shown, QStringList{QStringLiteral("TBasicAuthorizationForm")});

    TSite *site = env.registry->SiteList()->FindBySiteID(QStringLiteral("2ch"));
    ASSERT_NE(site, nullptr);
    const TBoard *news = site->Boards->FindByID(QStringLiteral("news"));
    ASSERT_NE(news, nullptr);
    EXPECT_EQ(news->GetBasicAuthUserName(), QStringLiteral("taro"));
    EXPECT_EQ(news->GetBasicAuthPassword(), QStringLiteral("secret"));
    for (int i = 0; i < site->Boards->Count(); ++i) {
        if (site->Boards->Get(i) != news) {
            EXPECT_TRUE(site->Boards->Get(i)->GetBasicAuthUserName().isEmpty());
        }
    }
    EXPECT_TRUE(ReadBytes(BasicAuthorization::FileName()).startsWith("[2chnews]\r\nUSERNAME=taro\r\nPASSWORD=secret\r\n"));

    // No user name: both keys go, the section stays.
    BasicAuthorization::Apply(*news, QString(), QStringLiteral("secret"));
    EXPECT_TRUE(news->GetBasicAuthUserName().isEmpty());
    EXPECT_EQ(ReadBytes(BasicAuthorization::FileName()).trimmed(), QByteArray("[2chnews]"));
}

// ---- history cleaning ----

TEST(Customise, HistoryCleaningAsksAndDeletesExactlyTheTickedFiles)
{
    TWindowEnv env;
    env.Start();
    env.WriteProfile(QStringLiteral("findlog.txt"), QByteArray(1024, 'a'));
    env.WriteProfile(QStringLiteral("namelog.txt"), QByteArray(1025, 'b'));
    env.WriteProfile(QStringLiteral("urllog.txt"), "c");
    EXPECT_EQ(HistoryFiles::SizeText(env.Profile(QStringLiteral("urllog.txt"))), QStringLiteral("1KB"));
    EXPECT_EQ(HistoryFiles::SizeText(env.Profile(QStringLiteral("findlog.txt"))), QStringLiteral("1KB"));
    EXPECT_EQ(HistoryFiles::SizeText(env.Profile(QStringLiteral("namelog.txt"))), QStringLiteral("2KB"));
    EXPECT_EQ(HistoryFiles::SizeText(env.Profile(QStringLiteral("maillog.txt"))), QStringLiteral("0KB"));

    auto tick = [](TCleanDialog &clean, const QString &file) {
        clean.ListView1->findItems(file, Qt::MatchExactly, 1).first()->setCheckState(0, Qt::Checked);
    };
    // "No" keeps everything and the dialog open.
    env.Answer = Dialogs::mrNo;
    {
        TCleanDialog clean;
        tick(clean, QStringLiteral("namelog.txt"));
        clean.OKButtonClick();
        EXPECT_EQ(clean.result(), 0);
        EXPECT_TRUE(QFile::exists(env.Profile(QStringLiteral("namelog.txt"))));
    }
    env.Answer = Dialogs::mrYes;
    env.Messages.clear();
    {
        Dialogs::TScopedDialogHandlers answers(
            [&env](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
                env.Messages << text;
                return Dialogs::mrYes;
            },
            [&tick](QDialog &dialog) {
                auto &clean = dynamic_cast<TCleanDialog &>(dialog);
                tick(clean, QStringLiteral("namelog.txt"));
                tick(clean, QStringLiteral("urllog.txt"));
                clean.OKButtonClick();
                return dialog.result();
            });
        env.Window->Action(QStringLiteral("actToolClearLog"))->trigger();
    }
    EXPECT_EQ(env.Messages, QStringList{QStringLiteral("チェックした履歴を消去します。")});
    EXPECT_FALSE(QFile::exists(env.Profile(QStringLiteral("namelog.txt"))));
    EXPECT_FALSE(QFile::exists(env.Profile(QStringLiteral("urllog.txt"))));
    EXPECT_TRUE(QFile::exists(env.Profile(QStringLiteral("findlog.txt"))));
}

// ---- the shortcut-bar editor ----

TEST(Customise, TheShortcutEditorKeepsTabNamesUniqueAndTheBarsShowWhatItSaved)
{
    TWindowEnv env([](TWindowEnv &env) {
        env.WriteProfile(QStringLiteral("shortcut.txt"),
                         jconvert::UnicodeToSjis(QStringLiteral("タブ1\tclBtnFace\t\r\n\t1\tニュース\tnews\t2ch\t\r\n\t0\t-\t\t\t\r\n"
                                                                "タブ2\tclBtnFace\t\r\n")));
    });
    env.Start();
    ASSERT_EQ(Part<TTavuShortcutBar>(env.Window, "ShortcutBar1")->PanelCount(), 2);

    QStringList typed{QStringLiteral("タブ1"), QString(), QStringLiteral("新しいタブ"), QStringLiteral("ニュース速報")};
    Dialogs::TScopedDialogHandlers answers(
        [&env](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
            env.Messages << text;
            return Dialogs::mrOK;
        },
        [&](QDialog &dialog) {
            if (auto *input = qobject_cast<QInputDialog *>(&dialog)) {
                input->setTextValue(typed.takeFirst());
                input->accept();
                return dialog.result();
            }
            auto &editor = dynamic_cast<TShortcutEditor &>(dialog);
            editor.ListBox1->setCurrentRow(0);
            editor.actNewTabExecute();
            editor.ListBox1->setCurrentRow(0);
            editor.ListBox2->setCurrentItem(editor.ListBox2->topLevelItem(1));
            editor.actRenameShortcutExecute();
            editor.ListBox2->setCurrentItem(editor.ListBox2->topLevelItem(0));
            editor.actRenameShortcutExecute();
            editor.actSaveExecute();
            dialog.accept();
            return dialog.result();
        });
    env.Window->Action(QStringLiteral("actShortcutEdit"))->trigger();
    EXPECT_TRUE(typed.isEmpty());
    EXPECT_EQ(env.Messages, (QStringList{QStringLiteral("既にその名前のタブが存在します。"), QStringLiteral("名前を入力してください。"),
                                         QStringLiteral("セパレータの名前は変更できません。")}));

    TShortcutEditing reread;
    reread.Load(env.Profile(QStringLiteral("shortcut.txt")));
    ASSERT_EQ(reread.Tabs.size(), size_t(3));
    EXPECT_EQ(reread.Tabs[1]->Name, QStringLiteral("新しいタブ"));
    EXPECT_EQ(reread.Tabs[0]->GetItem(0)->Text, QStringLiteral("ニュース速報"));
    EXPECT_TRUE(reread.Tabs[0]->GetItem(1)->IsSeparator());
    EXPECT_EQ(Part<TTavuShortcutBar>(env.Window, "ShortcutBar1")->PanelCount(), 3);
}
