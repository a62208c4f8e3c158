// The shortcut-bar editor through its window: colours, pictures, dragged tabs and items end in
// shortcut.txt and the bars show what it saved; an item's properties open for its thread or board.

#include "WindowParts.h"
#include "DialogAnswers.h"
#include "PostTestEnv.h"
#include "WindowTestEnv.h"
#include "controls/ShortcutBar.h"
#include "core/JConvert.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "settings/PropertyWindow.h"
#include "settings/ShortcutEditor.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

// Drops a drag of the format on the row of the list (below the last row for -1).
bool DropOn(QAbstractItemView *list, const QString &format, int row)
{
    const QModelIndex index = list->model()->index(row, 0);
    const QRect rect = list->visualRect(index);
    const QPoint at = index.isValid() ? rect.center() : QPoint(5, list->viewport()->height() - 2);
    QMimeData data;
    data.setData(format, QByteArray());
    QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &enter);
    QDropEvent drop(QPointF(at), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &drop);
    return enter.isAccepted() && drop.isAccepted();
}

void SelectRows(QTreeWidget *list, const QList<int> &rows)
{
    list->clearSelection();
    list->setCurrentItem(list->topLevelItem(rows.first()));
    for (int row : rows)
        list->topLevelItem(row)->setSelected(true);
}

// "tab: item item ..." for every tab of a model.
QStringList Described(const TShortcutBarModel &model)
{
    QStringList lines;
    for (const auto &tab : model) {
        QStringList items;
        for (int i = 0; i < tab->GetCount(); ++i)
            items << (tab->GetItem(i)->IsSeparator() ? QStringLiteral("-") : tab->GetItem(i)->Text);
        lines << tab->Name + QStringLiteral(": ") + items.join(u' ');
    }
    return lines;
}

// The same of a bar as it is shown.
QStringList Described(const TTavuShortcutBar &bar)
{
    QStringList lines;
    for (int p = 0; p < bar.PanelCount(); ++p) {
        QStringList items;
        for (QWidget *control : bar.Panel(p)->ToolBar()->Controls()) {
            auto *button = qobject_cast<TTavuShortcutToolButton *>(control);
            items << (button ? button->Text() : QStringLiteral("-"));
        }
        lines << bar.Panel(p)->TabName() + QStringLiteral(": ") + items.join(u' ');
    }
    return lines;
}

}  // namespace

TEST(ShortcutEditor, ColoursPicturesAndDraggedOrderReachTheFileAndTheBars)
{
    TWindowEnv env([](TWindowEnv &env) {
        env.WriteProfile(QStringLiteral("shortcut.txt"),
                         jconvert::UnicodeToSjis(QStringLiteral("一\tclBtnFace\t\r\n\t1\tA\ta\t2ch\t\r\n\t1\tB\tb\t2ch\t\r\n"
                                                                "\t0\t-\t\t\t\r\n\t4\tC\thttp://c/\t\t\r\n"
                                                                "二\tclBtnFace\t\r\n\t1\tD\td\t2ch\t\r\n三\tclBtnFace\t\r\n")));
    });
    env.Start();
    const QString picture = TTavuConfig::AppDir() + QStringLiteral("images/blue.bmp");
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(QDir().mkpath(TTavuConfig::AppDir() + QStringLiteral("images")));
    ASSERT_TRUE(image.save(picture, "BMP"));

    QStringList saved;
    TDialogAnswers answers(env, [&](QDialog &dialog) {
        if (auto *colour = qobject_cast<QColorDialog *>(&dialog)) {
            colour->setCurrentColor(QColor(0x12, 0x34, 0x56));
            colour->accept();
            return;
        }
        if (auto *file = qobject_cast<QFileDialog *>(&dialog)) {
            file->selectFile(picture);
            file->setResult(QDialog::Accepted);
            return;
        }
        auto &editor = dynamic_cast<TShortcutEditor &>(dialog);
        editor.show();
        // Five columns, the kind by its name; a separator spans the row.
        ASSERT_EQ(editor.HeaderControl1->count(), 5);
        EXPECT_EQ(editor.ListBox2->headerItem()->text(4), QStringLiteral("パラメータ３"));
        EXPECT_EQ(editor.ListBox2->topLevelItem(3)->text(1), QStringLiteral("サイト"));
        EXPECT_EQ(editor.ListBox2->topLevelItem(3)->text(2), QStringLiteral("http://c/"));
        EXPECT_TRUE(editor.ListBox2->isFirstColumnSpanned(2, QModelIndex()));

        editor.ListBox1->setCurrentRow(1);
        editor.actChangeTabColorExecute();
        editor.actTabImageExecute();

        // Items dragged within the list go in front of the row dropped on, keeping their order.
        editor.ListBox1->setCurrentRow(0);
        SelectRows(editor.ListBox2, {0, 1});
        EXPECT_TRUE(DropOn(editor.ListBox2, TShortcutEditor::ItemsMime, 3));
        EXPECT_EQ(editor.SelectedItems(), (QList<int>{1, 2}));
        // Below the last row they go to the end.
        SelectRows(editor.ListBox2, {0});
        EXPECT_TRUE(DropOn(editor.ListBox2, TShortcutEditor::ItemsMime, -1));
        // Items dropped on their own tab stay; on another tab they join its end.
        SelectRows(editor.ListBox2, {2});
        EXPECT_TRUE(DropOn(editor.ListBox1, TShortcutEditor::ItemsMime, 0));
        EXPECT_EQ(editor.ListBox2->topLevelItemCount(), 4);
        EXPECT_TRUE(DropOn(editor.ListBox1, TShortcutEditor::ItemsMime, 2));
        EXPECT_EQ(editor.ListBox2->topLevelItemCount(), 3);
        // A tab dragged onto another row takes that row.
        editor.ListBox1->setCurrentRow(0);
        EXPECT_TRUE(DropOn(editor.ListBox1, TShortcutEditor::TabMime, 1));
        EXPECT_EQ(editor.ListBox1->currentRow(), 1);
        // A tab is no item: it does not drop on the item list.
        EXPECT_FALSE(DropOn(editor.ListBox2, TShortcutEditor::TabMime, 0));

        EXPECT_TRUE(editor.Editing.Modified);
        saved = Described(editor.Editing.Tabs);
        dialog.accept();
    });
    env.Window->Action(QStringLiteral("actShortcutEdit"))->trigger();
    EXPECT_EQ(answers.Shown, (QStringList{QStringLiteral("TShortcutEditor"), QStringLiteral("QColorDialog"),
                                          QStringLiteral("QFileDialog")}));
    EXPECT_EQ(saved, (QStringList{QStringLiteral("二: D"), QStringLiteral("一: A B -"), QStringLiteral("三: C")}));

    const QByteArray file = FileUtil::ReadFile(env.Profile(QStringLiteral("shortcut.txt")));
    EXPECT_TRUE(file.startsWith("\x93\xf1\t$00563412\timages/blue.bmp\r\n\t1\tD\td\t2ch\t\r\n")) << file.constData();
    EXPECT_TRUE(file.contains("\t1\tA\ta\t2ch\t\r\n\t1\tB\tb\t2ch\t\r\n\t0\t-\t\t\t\r\n"));
    EXPECT_TRUE(file.endsWith("\t4\tC\thttp://c/\t\t\r\n"));
    EXPECT_EQ(Described(*Part<TTavuShortcutBar>(env.Window, "ShortcutBar1")), saved);
    EXPECT_FALSE(Part<TTavuShortcutBar>(env.Window, "ShortcutBar1")->Panel(0)->HeaderButton()->icon().isNull());
    EXPECT_EQ(Part<TTavuShortcutBar>(env.Window, "ShortcutBar1")->Panel(0)->palette().color(QPalette::Window),
              QColor(0x12, 0x34, 0x56));
    EXPECT_TRUE(env.Messages.isEmpty());
}

// A slow drag down from one item selects no neighbour before the drag starts: only the item
// pressed is dragged.
TEST(ShortcutEditor, ASlowDragSelectsOnlyTheItemPressed)
{
    TWindowEnv env([](TWindowEnv &env) {
        env.WriteProfile(QStringLiteral("shortcut.txt"),
                         jconvert::UnicodeToSjis(QStringLiteral("一\tclBtnFace\t\r\n\t1\tA\ta\t2ch\t\r\n\t1\tB\tb\t2ch\t\r\n")));
    });
    env.Start();
    QList<int> selected;
    TDialogAnswers answers(env, [&](QDialog &dialog) {
        auto &editor = dynamic_cast<TShortcutEditor &>(dialog);
        editor.show();
        QWidget *viewport = editor.ListBox2->viewport();
        const QRect first = editor.ListBox2->visualItemRect(editor.ListBox2->topLevelItem(0));
        const QPoint pressed(first.center().x(), first.bottom() - 1);
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, pressed);
        // Down into the next row a pixel at a time, staying short of the drag distance.
        for (int step = 1; step < QApplication::startDragDistance() - 1; ++step) {
            QMouseEvent move(QEvent::MouseMove, QPointF(pressed + QPoint(0, step)), viewport->mapToGlobal(QPointF(pressed + QPoint(0, step))),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(viewport, &move);
        }
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, pressed + QPoint(0, QApplication::startDragDistance() - 2));
        selected = editor.SelectedItems();
        dialog.reject();
    });
    env.Window->Action(QStringLiteral("actShortcutEdit"))->trigger();
    EXPECT_EQ(selected, QList<int>{0});
}

// Taking a thread off the bar in its property window removes it from the file and from the
// editor, and keeps what the editor had changed before.
TEST(ShortcutEditor, AnItemShowsTheThreadOrBoardItNamesInThePropertyWindow)
{
    TPostEnv env;
    TThreadItem *thread = env.NewItem(PostTest::News, QStringLiteral("1000000001"), QStringLiteral("スレ"));
    thread->SHORTCUT = true;
    ASSERT_TRUE(thread->SaveInfo());
    const QString file = env.Profile(QStringLiteral("shortcut.txt"));
    FileUtil::WriteFileAtomic(file, jconvert::UnicodeToSjis(QStringLiteral("板\tclBtnFace\t\r\n\t2\tスレ\t1000000001\t%1\ttest\r\n"
                                                                            "\t1\tニュース\t%1\ttest\t\r\n\t0\t-\t\t\t\r\n"
                                                                            "\t1\t消えた板\tnowhere\ttest\t\r\n")
                                                                 .arg(PostTest::News)));
    QStringList shown;
    {
        TShortcutEditor editor(file);
        editor.Editing.RenameItem(0, 1, QStringLiteral("ニュース２"));
        env.Dialog = [&shown](QDialog &dialog) {
            auto &window = dynamic_cast<TPropertyWindow &>(dialog);
            if (window.Pages->currentIndex() == 1) {
                shown << window.RemoteBoardID->text();
                return int(QDialog::Rejected);
            }
            shown << window.DatNo->text();
            window.InShortcutBar->setChecked(false);
            window.Button1->click();
            return window.result();
        };
        // A separator and a board that no longer exists show nothing.
        for (int row : {1, 2, 3, 0}) {
            editor.ListBox2->setCurrentItem(editor.ListBox2->topLevelItem(row));
            editor.actPropertyExecute();
        }
        EXPECT_EQ(shown, (QStringList{PostTest::News, QStringLiteral("1000000001")}));
        ASSERT_EQ(editor.ListBox2->topLevelItemCount(), 3);
        EXPECT_EQ(editor.ListBox2->topLevelItem(0)->text(0), QStringLiteral("ニュース２"));
        EXPECT_TRUE(editor.Editing.Modified);
        QAction *property = editor.findChild<QAction *>(QStringLiteral("actProperty"));
        ASSERT_NE(property, nullptr);
        EXPECT_EQ(property->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Return));
        editor.reject();
    }
    TShortcutEditing reread;
    reread.Load(file);
    ASSERT_EQ(reread.Tabs.size(), size_t(1));
    ASSERT_EQ(reread.Tabs[0]->GetCount(), 3);
    EXPECT_EQ(reread.Tabs[0]->GetItem(0)->Text, QStringLiteral("ニュース２"));
    thread->LoadInfo();
    EXPECT_FALSE(thread->SHORTCUT);
    thread->Release();
}
