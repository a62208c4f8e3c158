// The history window's lists (sorting, search, deletion written at once, unknown sites), the
// recent-thread menus, and the 1.0 layout preset switched on and back off.

#include "WindowParts.h"
#include "WindowTestEnv.h"

#include "controls/WindowServices.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "services/HistoryModel.h"
#include "services/ViewModePreset.h"
#include "settings/HistDialog.h"
#include "settings/Kpw10ViewMode.h"
#include "settings/PropertyWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTabWidget>
#include <QCheckBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QToolBar>
#include <QTreeView>
#include <QMenu>

namespace {

void WriteHistory(TWindowEnv &env)
{
    env.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n");
    env.WriteProfile(QStringLiteral("readhist.txt"), jconvert::UnicodeToSjis(QStringLiteral(
        "2ch\tnews\t300\tいろは\t2024/05/03 10:00:00\r\n"
        "gone\tnowhere\t100\tイロハ\t2024/05/02 10:00:00\r\n"
        "2ch\tnews\t200\tあいう\t2024/05/01 10:00:00\r\n"
        "2ch\tnews\t300\tいろは\t2024/04/30 10:00:00\r\n")));
}

QStringList Column(const THistoryModel &model, int column)
{
    QStringList cells;
    for (int row = 0; row < model.rowCount(); ++row)
        cells.append(model.data(model.index(row, column), Qt::DisplayRole).toString());
    return cells;
}

}  // namespace

TEST(History, ListsSortsFindsAndDeletes)
{
    TWindowEnv env(WriteHistory);
    env.Start();
    THistoryModel model(env.Profile(QStringLiteral("readhist.txt")));
    ASSERT_EQ(model.rowCount(), 4);
    // A line whose site is gone shows the raw ids; a known one the names.
    EXPECT_EQ(model.data(model.index(1, THistoryModel::colBoard), Qt::DisplayRole).toString(), QStringLiteral("nowhere"));
    EXPECT_EQ(model.data(model.index(1, THistoryModel::colSite), Qt::DisplayRole).toString(), QStringLiteral("gone"));
    EXPECT_NE(model.data(model.index(0, THistoryModel::colBoard), Qt::DisplayRole).toString(), QStringLiteral("news"));

    // Two clicks in a row sort in opposite directions; equal boards are ordered by title.
    model.SortBy(THistoryModel::colTime);
    EXPECT_EQ(Column(model, THistoryModel::colTime).first(), QStringLiteral("2024/04/30 10:00:00"));
    model.SortBy(THistoryModel::colBoard);
    EXPECT_EQ(Column(model, THistoryModel::colKey), (QStringList{QStringLiteral("100"), QStringLiteral("300"),
                                                                  QStringLiteral("300"), QStringLiteral("200")}));

    // Search ignores case and starts below the given row.
    model.Reload();
    EXPECT_EQ(model.FindNext(QStringLiteral("イロハ"), -1), 1);
    EXPECT_EQ(model.FindNext(QStringLiteral("いろは"), 0), 3);
    EXPECT_EQ(model.FindNext(QStringLiteral("ない"), -1), -1);

    // Deleting rewrites the file at once.
    ASSERT_TRUE(model.DeleteRows({0, 2}));
    TTextList file;
    file.LoadFromFile(env.Profile(QStringLiteral("readhist.txt")));
    EXPECT_EQ(file.Count(), 2);
    EXPECT_TRUE(file[0].startsWith(QStringLiteral("gone\t")));

    // The recent menu lists each thread once, newest first, and ends with the history command.
    env.WriteProfile(QStringLiteral("readhist.txt"), FileUtil::ReadFile(env.Profile(QStringLiteral("readhist.txt")))
                                                         + "2ch\tnews\t100\tx\t2024\r\n2ch\tnews\t100\ty\t2024\r\n");
    QMenu *recent = env.Window->findChild<QMenu *>(QStringLiteral("RecentRead"));
    ASSERT_TRUE(recent);
    emit recent->aboutToShow();
    QStringList captions;
    for (QAction *action : recent->actions())
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    ASSERT_EQ(captions.size(), 5);   // gone/100, news/300, news/100 (once), a separator, the command
    EXPECT_EQ(captions[0], QStringLiteral("(&0)イロハ"));
    EXPECT_TRUE(captions[2].startsWith(QStringLiteral("(&2)x (")));
    EXPECT_EQ(captions[4], QStringLiteral("履歴を編集する..."));
}

// The history window exists with the main window; the command shows it with the files read anew.
TEST(History, TheWindowKeepsOneHistoryWindowAndShowsIt)
{
    TWindowEnv env(WriteHistory);
    env.Start();
    auto *history = env.Window->findChild<THistDialog *>();
    ASSERT_TRUE(history);
    EXPECT_FALSE(history->isVisible());
    env.WriteProfile(QStringLiteral("sendhist.txt"), "2ch\tnews\t1\tt\t2024/05/01 10:00:00\r\n");
    env.Window->Action(QStringLiteral("actShowHist"))->trigger();
    EXPECT_TRUE(history->isVisible());
    EXPECT_EQ(history->ReadHistory->Count(), 4);
    EXPECT_EQ(history->SendHistory->Count(), 1);
    // The date is never cut, and the title, not the short DAT column at the end, takes the room left.
    const QFontMetrics metrics(history->ListView1->font());
    EXPECT_GE(history->ListView1->columnWidth(THistoryModel::colTime), metrics.horizontalAdvance(QStringLiteral("2024/05/03 10:00:00")));
    EXPECT_EQ(history->ListView1->header()->sectionResizeMode(THistoryModel::colTitle), QHeaderView::Stretch);
    EXPECT_FALSE(history->ListView1->header()->stretchLastSection());
    history->TabControl1->setCurrentIndex(1);
    EXPECT_EQ(history->ListView1->model(), history->SendHistory);
    EXPECT_EQ(history->StatusBar1->text(), QStringLiteral("1件"));

    // Losing the focus rolls it up to its caption; getting it back opens it at its height.
    const int height = history->height();
    env.Window->show();
    QApplication::setActiveWindow(env.Window);
    for (int i = 0; i < 1000 && history->PageControl->isVisible(); ++i)
        QCoreApplication::processEvents();
    EXPECT_FALSE(history->PageControl->isVisible());
    EXPECT_LT(history->height(), height);
    EXPECT_LE(history->height(), history->minimumSizeHint().height());   // no empty box where the contents were
    QApplication::setActiveWindow(history);
    for (int i = 0; i < 1000 && !history->PageControl->isVisible(); ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(history->PageControl->isVisible());
    EXPECT_EQ(history->height(), height);
    history->close();
}

// The property command of the history window shows the thread of the focused line, also one whose
// site is gone.
TEST(History, ThePropertyCommandShowsTheFocusedThread)
{
    TWindowEnv env(WriteHistory);
    env.Start();
    auto *history = env.Window->findChild<THistDialog *>();
    ASSERT_TRUE(history);
    history->ReloadHistory();
    QAction *property = nullptr;
    for (QAction *action : history->actions())
        if (action->text() == QStringLiteral("プロパティ(&P)..."))
            property = action;
    ASSERT_TRUE(property);
    // The stored thread's .inf: its counts show in the window.
    auto *stored = new TThreadItem;
    ASSERT_TRUE(stored->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), QStringLiteral("300"), QStringLiteral("いろは")));
    stored->COUNT = 7;
    ASSERT_TRUE(stored->SaveInfo());
    stored->Release();
    QStringList shown;
    QStringList counts;
    Dialogs::TScopedDialogHandlers answers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [&shown, &counts](QDialog &dialog) {
            auto &window = dynamic_cast<TPropertyWindow &>(dialog);
            counts << window.ResCount->text();
            shown << window.DatNo->text() + u' ' + window.Title->text() + u' ' + window.BoardName->text();
            return int(QDialog::Rejected);
        });
    property->trigger();   // no line focused: nothing
    for (int row : {0, 1}) {
        history->ListView1->setCurrentIndex(history->ReadHistory->index(row, 0));
        property->trigger();
    }
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("300 いろは "))) << shown[0].toStdString();
    EXPECT_GT(shown[0].size(), QStringLiteral("300 いろは ").size());   // the board's name
    EXPECT_EQ(shown[1], QStringLiteral("100 イロハ "));
    EXPECT_EQ(counts, (QStringList{QStringLiteral("7"), QStringLiteral("0")}));
}

TEST(ViewPreset, SwitchingBackRestoresTheUsersLayout)
{
    TWindowEnv env;
    env.Start();
    const QString defDir = env.Root.File(QStringLiteral("def/"));
    const QByteArray userToolbar = FileUtil::ReadFile(env.Profile(QStringLiteral("toolbar.ini")));
    ASSERT_FALSE(userToolbar.isEmpty());
    QFile::remove(env.Profile(QStringLiteral("popup.ini")));   // a user who never had one
    TavuConfig->SHORTCUTBARPOS = 1;
    TavuConfig->THREADTAB_POSITION = 0;
    TavuConfig->BROWSERTAB_TOOLBARPOS = 4;
    env.Window->Services().Bars().StoreBarLayout();
    const QStringList userBands = TavuConfig->Ini.ReadSectionValues(QStringLiteral("COOLBAR1"));
    ASSERT_FALSE(userBands.isEmpty());
    const int userButtons = Part<QToolBar>(env.Window, "MainActToolBar")->actions().size();

    TViewModePreset preset(*TavuConfig, defDir, TavuConfig->GetProfileDir());
    {
        TKpw10ViewMode dialog(preset);
        EXPECT_FALSE(dialog.CheckBox1->isChecked());
        dialog.CheckBox1->setChecked(true);
        dialog.OKButtonClick();
        EXPECT_TRUE(dialog.Changed());
    }
    EXPECT_TRUE(preset.IsActive());
    for (const char *name : {"toolbar", "popup"})
        EXPECT_EQ(FileUtil::ReadFile(env.Profile(QStringLiteral("%1.ini").arg(QLatin1String(name)))),
                  FileUtil::ReadFile(defDir + QStringLiteral("%1_kpw10.ini").arg(QLatin1String(name))));
    EXPECT_EQ(TavuConfig->Ini.ReadString(QStringLiteral("COOLBAR1"), QStringLiteral("BAND3CAP")), QStringLiteral("MainActToolBar"));
    EXPECT_EQ(TavuConfig->Ini.ReadInteger(QStringLiteral("COOLBAR1"), QStringLiteral("BAND4WD")), 804);
    EXPECT_EQ((std::tuple(TavuConfig->SHORTCUTBARPOS, TavuConfig->THREADTAB_POSITION, TavuConfig->THREADTAB_TOOLBARPOS,
                          TavuConfig->BROWSERTAB_POSITION, TavuConfig->BROWSERTAB_TOOLBARPOS)),
              std::tuple(0, 1, 1, 1, 1));
    env.Window->Services().Bars().ReloadBarLayout();
    EXPECT_GT(Part<QToolBar>(env.Window, "MainActToolBar")->actions().size(), userButtons);   // one bar holds them all
    EXPECT_TRUE(Part<QToolBar>(env.Window, "ThreadListActToolBar")->actions().isEmpty());

    {
        TKpw10ViewMode dialog(preset);
        EXPECT_TRUE(dialog.CheckBox1->isChecked());
        dialog.CheckBox1->setChecked(false);
        dialog.OKButtonClick();
    }
    EXPECT_FALSE(preset.IsActive());
    EXPECT_EQ(FileUtil::ReadFile(env.Profile(QStringLiteral("toolbar.ini"))), userToolbar);
    EXPECT_FALSE(QFile::exists(env.Profile(QStringLiteral("popup.ini"))));
    EXPECT_EQ(TavuConfig->Ini.ReadSectionValues(QStringLiteral("COOLBAR1")), userBands);
    EXPECT_EQ(TavuConfig->SHORTCUTBARPOS, 1);
    EXPECT_EQ(TavuConfig->THREADTAB_POSITION, 0);
    EXPECT_EQ(TavuConfig->BROWSERTAB_TOOLBARPOS, 4);
    env.Window->Services().Bars().ReloadBarLayout();
    EXPECT_EQ(Part<QToolBar>(env.Window, "MainActToolBar")->actions().size(), userButtons);
}

// The window's command runs the real preset dialog.
TEST(ViewPreset, TheToolCommandShowsThePresetDialog)
{
    TWindowEnv env;
    env.Start();
    QStringList dialogs;
    QStringList texts;
    Dialogs::TScopedDialogHandlers answer(nullptr, [&](QDialog &dialog) {
        dialogs.append(dialog.metaObject()->className());
        for (const QLabel *label : dialog.findChildren<QLabel *>())
            texts << label->text();
        return int(QDialog::Rejected);
    });
    env.Window->Action(QStringLiteral("actToolVarnelo1View"))->trigger();
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("TKpw10ViewMode")});
    // Switching back restores the earlier layout, and the dialog says so.
    EXPECT_FALSE(texts.join(u'\n').contains(QStringLiteral("元には戻せません")));
    EXPECT_TRUE(texts.join(u'\n').contains(QStringLiteral("変換前のツールバー")));
}
