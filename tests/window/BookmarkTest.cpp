// Bookmarks: set on a response from the thread tab, kept through a restart in the thread's .inf and
// bookmark.txt, listed, opened and deleted in the bookmark manager; categories in the editor.

#include "StoredThread.h"
#include "WindowTestEnv.h"

#include "controls/BoardTree.h"
#include "controls/WindowLists.h"
#include "core/Bookmark.h"
#include "core/Colors.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/ResList.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "settings/BookmarkCategoryDialog.h"
#include "settings/BookmarkCategoryRows.h"
#include "settings/BookmarkEditor.h"
#include "settings/BookmarkManager2.h"
#include "settings/BookmarkShelf.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>

using StoredThread::OpenTab;

namespace {

const QString Key = QStringLiteral("1234567890");

void WriteBbsTxt(TWindowEnv &env)
{
    env.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n");
}

// A thread of "2ch"/"news" with a stored log of three responses.
TThreadItem *NewThread(const QString &key, const QString &title)
{
    auto *item = new TThreadItem;
    item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), key, title);
    QString log;
    for (int i = 1; i <= 3; ++i)
        log += QStringLiteral("名無し<><>2024/05/01 12:00:0%1 ID:abc<>本文%1<br>二行目<>%2\r\n")
                   .arg(i)
                   .arg(i == 1 ? title : QString());
    FileUtil::WriteFileAtomic(item->GetLogFile(), jconvert::UnicodeToSjis(log));
    return item;
}

void SelectRow(QTreeWidget *list, int row)
{
    list->setCurrentItem(list->topLevelItem(row));
}

}  // namespace

TEST(Bookmark, SetFromTheTabSurvivesARestartAndIsOpenedAndDeletedInTheManager)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    TThreadItem *item = NewThread(Key, QStringLiteral("しおりのスレ"));
    TTavuBrowser *tab = OpenTab(item);
    item->Release();
    tab->ClickedResNumber = 2;

    QStringList dialogs;
    {
        Dialogs::TScopedDialogHandlers answer(nullptr, [&](QDialog &dialog) {
            dialogs.append(dialog.metaObject()->className());
            auto *category = dynamic_cast<TBookmarkCategoryDialog *>(&dialog);
            if (!category)
                return int(QDialog::Rejected);
            EXPECT_TRUE(category->ResText->toPlainText().contains(QStringLiteral("本文2")));
            category->Edit1->setText(QStringLiteral("ネタ"));
            category->MemoEdit->setText(QStringLiteral("あとで読む"));
            category->Button1Click();
            return category->result();
        });
        env.Window->Action(QStringLiteral("actSelectResAddBookmark"))->trigger();
    }
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("TBookmarkCategoryDialog")});
    env.Destroy();

    // What the files hold after the window is gone.
    TTextList index;
    ASSERT_TRUE(index.LoadFromFile(env.Profile(QStringLiteral("bookmark.txt"))));
    EXPECT_EQ(index.Value(QStringLiteral("2ch/news/") + Key), QStringLiteral("しおりのスレ"));
    TTextList categories;
    ASSERT_TRUE(categories.LoadFromFile(env.Profile(QStringLiteral("bookcate.txt"))));
    EXPECT_EQ(categories.Lines, QStringList{QStringLiteral("ネタ")});

    // A second window on the same data root finds the bookmark and jumps to its response.
    env.Window = new TVarneloWindow;
    env.Start();
    bool checked = false;
    {
        Dialogs::TScopedDialogHandlers answer(nullptr, [&](QDialog &dialog) {
            auto *manager = dynamic_cast<TBookmarkManager2 *>(&dialog);
            if (!manager)
                return int(QDialog::Rejected);
            // It opens on "(すべて)" of every site and board: the threads are listed at once.
            EXPECT_EQ(manager->ListViewBBS->currentItem(), manager->ListViewBBS->topLevelItem(0));
            EXPECT_EQ(manager->ListViewBoard->currentItem(), manager->ListViewBoard->topLevelItem(0));
            EXPECT_EQ(manager->ListViewThread->topLevelItemCount(), 2);
            SelectRow(manager->ListViewBBS, 1);
            SelectRow(manager->ListViewBoard, 1);
            EXPECT_EQ(manager->ListViewThread->topLevelItemCount(), 2);   // "(すべて)" and the thread
            SelectRow(manager->ListViewThread, 1);
            TThreadItem *shown = manager->SelectedThread();
            EXPECT_TRUE(shown && shown->Bookmarks.Count() == 1);
            if (!shown || shown->Bookmarks.Count() != 1)
                return int(QDialog::Rejected);
            const TBookmarkRes *bookmark = shown->Bookmarks.Get(0);
            EXPECT_EQ(bookmark->ResNo, 2);
            EXPECT_EQ(bookmark->Memo, QStringLiteral("あとで読む"));
            EXPECT_EQ(bookmark->Category, QStringLiteral("ネタ"));
            EXPECT_TRUE(bookmark->Body.contains(QStringLiteral("本文2")));

            manager->CurrentResNo = 2;
            manager->N2Click();
            TTavuBrowser *opened = nullptr;
            EXPECT_TRUE(env.Window->Tabs().GetActiveBrowser(opened));
            EXPECT_TRUE(opened && opened->ThreadItem() && opened->ThreadItem()->GetKey() == Key);
            EXPECT_TRUE(opened && opened->ResNumber == 2);

            // By category: the thread is under "ネタ", not under "(未入力)".
            manager->SelectPage(1);
            SelectRow(manager->ListViewCategory, 0);
            EXPECT_EQ(manager->ListViewThread->topLevelItemCount(), 1);
            SelectRow(manager->ListViewCategory, 1);
            EXPECT_EQ(manager->ListViewThread->topLevelItemCount(), 2);
            SelectRow(manager->ListViewThread, 1);

            manager->DeleteBookmarkClick();
            EXPECT_TRUE(manager->Shelf().Threads().isEmpty());
            EXPECT_EQ(manager->ListViewThread->topLevelItemCount(), 1);
            checked = true;
            return int(QDialog::Accepted);
        });
        env.Window->Action(QStringLiteral("actToolBookmarkManager"))->trigger();
    }
    EXPECT_TRUE(checked);
    index.LoadFromFile(env.Profile(QStringLiteral("bookmark.txt")));
    EXPECT_EQ(index.IndexOfName(QStringLiteral("2ch/news/") + Key), -1);
    TThreadItem *reread = NewThread(QStringLiteral("1234567891"), QString());
    reread->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), Key, QString());
    reread->LoadInfo();
    EXPECT_EQ(reread->Bookmarks.Count(), 0);
    EXPECT_FALSE(TIniFile(reread->GetInfFile()).SectionExists(QStringLiteral("BOOKMARK")));
    reread->Release();
}

// The editor: categories reordered as a block, bookmarks moved between categories, a category
// that only bookmarks name gets a row and is written at close, deleting a category deletes its
// bookmarks and the thread's index line.
TEST(Bookmark, EditorMovesBookmarksAndCategories)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    env.WriteProfile(QStringLiteral("bookcate.txt"), jconvert::UnicodeToSjis(QStringLiteral("甲\r\n乙\r\n丙\r\n丁\r\n")));
    TTextList &index = env.Window->StoredLists().BookmarkList;
    const QString indexFile = env.Profile(QStringLiteral("bookmark.txt"));
    TThreadItem *item = NewThread(Key, QStringLiteral("編集のスレ"));
    {
        TBookmarkShelf shelf(index, indexFile);
        TResList list(item);
        item->LoadResList(list);
        shelf.Add(item, *list.Get(0), QString(), QStringLiteral("乙"));
        shelf.Add(item, *list.Get(1), QString(), QStringLiteral("未登録"));
        shelf.Add(item, *list.Get(2), QString(), QString());
    }
    item->Release();

    {
        TBookmarkEditor editor(index, indexFile, env.Profile(QStringLiteral("bookcate.txt")));
        TBookmarkCategoryRows &rows = editor.Rows();
        ASSERT_EQ(rows.Count(), 6);   // (未入力), 甲, 乙, 丙, 丁, 未登録
        EXPECT_EQ(rows.Name(5), QStringLiteral("未登録"));
        EXPECT_EQ(rows.Bookmarks(0).size(), 1);

        // Rows picked apart move as one block in their order; "(未入力)" stays first.
        EXPECT_EQ(rows.MoveRows({0, 1, 3}, rows.Count()), (QList<int>{4, 5}));
        EXPECT_EQ(rows.Name(0), TBookmarkShelf::NoCategory());
        EXPECT_EQ(rows.Name(4), QStringLiteral("甲"));
        EXPECT_EQ(rows.Name(5), QStringLiteral("丙"));
        EXPECT_EQ(rows.MoveRows({4, 5}, 1), (QList<int>{1, 2}));   // 甲, 丙, 乙, 丁, 未登録
        EXPECT_EQ(rows.Name(3), QStringLiteral("乙"));
        EXPECT_EQ(rows.MoveRows({3}, 2), (QList<int>{2}));         // back to the file's order
        EXPECT_EQ(rows.Name(3), QStringLiteral("丙"));

        // 丙 and 丁 to the top (below "(未入力)"), kept selected as a block.
        EXPECT_EQ(rows.MoveRows({3, 4}, 0), (QList<int>{1, 2}));
        EXPECT_EQ(rows.Name(1), QStringLiteral("丙"));
        EXPECT_EQ(rows.Name(3), QStringLiteral("甲"));
        // 甲 below the last row goes to the end.
        EXPECT_EQ(rows.MoveRows({3}, rows.Count()), (QList<int>{5}));
        EXPECT_EQ(rows.Name(5), QStringLiteral("甲"));

        // The bookmark of 乙 dropped on "(未入力)" loses its category, on disk too.
        editor.CategoryList->setCurrentRow(rows.Find(QStringLiteral("乙")));
        editor.CategoryListClick();
        editor.ListView1->topLevelItem(0)->setSelected(true);
        editor.DropBookmarks(0);
        EXPECT_EQ(rows.Bookmarks(0).size(), 2);

        // A new category needs an unused name: the used one is refused, then one is given.
        int asked = 0;
        Dialogs::TScopedDialogHandlers answer([&](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
            EXPECT_EQ(text, QStringLiteral("すでに使われているカテゴリ名です。"));
            return Dialogs::mrOK;
        }, [&](QDialog &dialog) {
            auto *input = dynamic_cast<QInputDialog *>(&dialog);
            if (!input)
                return int(QDialog::Rejected);
            EXPECT_EQ(asked == 0 ? input->textValue() : QStringLiteral("カテゴリ1"), QStringLiteral("カテゴリ1"));
            input->setTextValue(++asked == 1 ? QStringLiteral("甲") : QStringLiteral("新しい"));
            return int(QDialog::Accepted);
        });
        editor.actCategoryNewExecute();
        EXPECT_EQ(asked, 2);
        EXPECT_EQ(rows.Name(rows.Count() - 1), QStringLiteral("新しい"));

        // Deleting 未登録 deletes its bookmark.
        editor.Rows().DeleteCategories({rows.Find(QStringLiteral("未登録"))});
    }
    TTextList categories;
    categories.LoadFromFile(env.Profile(QStringLiteral("bookcate.txt")));
    EXPECT_EQ(categories.Lines, (QStringList{QStringLiteral("丙"), QStringLiteral("丁"), QStringLiteral("乙"),
                                             QStringLiteral("甲"), QStringLiteral("新しい")}));
    TThreadItem *reread = new TThreadItem;
    reread->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), Key, QString());
    reread->LoadInfo();
    ASSERT_EQ(reread->Bookmarks.Count(), 2);
    EXPECT_EQ(reread->Bookmarks.Get(0)->Category, QString());   // was 乙
    EXPECT_EQ(reread->Bookmarks.Get(1)->ResNo, 3);
    reread->Release();
}

// The window's tool command runs the real editor.
TEST(Bookmark, TheEditorCommandShowsTheEditor)
{
    TWindowEnv env(WriteBbsTxt);
    env.Start();
    QStringList dialogs;
    Dialogs::TScopedDialogHandlers answer(nullptr, [&](QDialog &dialog) {
        dialogs.append(dialog.metaObject()->className());
        return int(QDialog::Rejected);
    });
    env.Window->Action(QStringLiteral("actToolBookmarkEditor"))->trigger();
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("TBookmarkEditor")});
    EXPECT_TRUE(QFile::exists(env.Profile(QStringLiteral("bookcate.txt"))));   // written when it closes
}

// The manager's four lists take the thread-list colours of the settings: with the default ones
// (system colours for the window and its text) they are light with dark text, and a plain stored
// colour keeps its red, green and blue.
TEST(Bookmark, TheManagersListsTakeTheStoredColours)
{
    TWindowEnv env;
    env.Start();
    QList<QPalette> shown;
    Dialogs::TScopedDialogHandlers answer(nullptr, [&](QDialog &dialog) {
        auto *manager = dynamic_cast<TBookmarkManager2 *>(&dialog);
        if (manager) {
            for (const QTreeWidget *list : {manager->ListViewBBS, manager->ListViewBoard, manager->ListViewCategory,
                                            manager->ListViewThread})
                shown << list->palette();
        }
        return int(QDialog::Rejected);
    });
    env.Window->Action(QStringLiteral("actToolBookmarkManager"))->trigger();
    ASSERT_EQ(shown.size(), 4);
    for (const QPalette &palette : shown) {
        EXPECT_GT(palette.color(QPalette::Base).lightness(), 200);
        EXPECT_GT(palette.color(QPalette::AlternateBase).lightness(), 200);
        EXPECT_LT(palette.color(QPalette::Text).lightness(), 80);
    }

    shown.clear();
    env.config->THREADLISTCOLOR2 = clRed;
    env.Window->Action(QStringLiteral("actToolBookmarkManager"))->trigger();
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown.first().color(QPalette::AlternateBase), QColor(255, 0, 0));
}
