// The memo pages and their window, on a profile of their own, and the place of the tool windows.

#include "support/TempDataRoot.h"

#include "controls/Dialogs.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/TavuConfig.h"
#include "services/MemoData.h"
#include "tools/MemoForm.h"
#include "tools/PicturePopup.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <functional>

namespace {

struct TMemoFolders {
    QTemporaryDir root;
    QString Profile() const { return root.path() + QStringLiteral("/profile/"); }
    QString App() const { return root.path() + QStringLiteral("/app/"); }
    QString Memo(const QString &name) const { return Profile() + QStringLiteral("memo/") + name; }
};

QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(MemoBookTest, SeedsFromDefaultsAndNeverReusesAPageNumber)
{
    TMemoFolders folders;
    FileUtil::ForceDirectories(folders.App() + QStringLiteral("def/memo"));
    FileUtil::WriteFileAtomic(folders.App() + QStringLiteral("def/memo/memo.ini"),
                              "[LIST]\r\nUSED=1\r\n[MEMO]\r\nCOUNT=1\r\nMEMO1=first\r\nID1=mem00001\r\n");
    FileUtil::WriteFileAtomic(folders.App() + QStringLiteral("def/memo/mem00001.txt"), "\x83\x81\x83\x82\r\nline2\r\n");

    TMemoBook book(folders.Profile(), folders.App());
    book.Open();
    ASSERT_EQ(book.Count(), 1);
    EXPECT_EQ(book.Page(0)->Name, QStringLiteral("first"));
    EXPECT_EQ(book.Page(0)->Lines.Lines, QStringList({QStringLiteral("メモ"), QStringLiteral("line2")}));

    EXPECT_EQ(book.AddPage(QStringLiteral("b"))->ID, QStringLiteral("mem00002"));
    TMemoData *third = book.AddPage(QStringLiteral("c"));
    EXPECT_EQ(third->ID, QStringLiteral("mem00003"));
    third->Lines.Add(QStringLiteral("x"));
    third->Save();
    book.DeletePage(2);
    EXPECT_FALSE(QFile::exists(folders.Memo(QStringLiteral("mem00003.txt"))));
    EXPECT_EQ(book.AddPage(QStringLiteral("d"))->ID, QStringLiteral("mem00004"));
    book.Close();

    TMemoBook again(folders.Profile(), folders.App());
    again.Open();
    ASSERT_EQ(again.Count(), 3);
    EXPECT_EQ(again.Page(2)->ID, QStringLiteral("mem00004"));
    EXPECT_TRUE(again.Page(1)->Lines.Lines.isEmpty());   // never written: loads as an empty page
    while (again.Count() > 0)
        again.DeletePage(0);
    again.Close();
    EXPECT_EQ(TIniFile(again.IniFileName()).ReadInteger(QStringLiteral("MEMO"), QStringLiteral("COUNT"), -1), 0);
}

TEST(MemoBookTest, AProfileWithoutPagesGetsTheFirstPage)
{
    TMemoFolders folders;
    TMemoBook book(folders.Profile(), folders.App());
    book.Open();
    ASSERT_EQ(book.Count(), 1);
    EXPECT_EQ(book.Page(0)->Name, QStringLiteral("メモその１"));
    EXPECT_EQ(book.Page(0)->ID, QStringLiteral("mem00001"));
    EXPECT_EQ(TIniFile(book.IniFileName()).ReadInteger(QStringLiteral("LIST"), QStringLiteral("USED")), 1);
}

TEST(MemoFormTest, KeepsTextAndCaretOfEachPageAcrossRuns)
{
    TMemoFolders folders;
    Dialogs::TScopedDialogHandlers answers(nullptr, [](QDialog &dialog) {
        auto *input = qobject_cast<QInputDialog *>(&dialog);
        EXPECT_NE(input, nullptr);
        if (input)
            input->setTextValue(QStringLiteral("二枚目"));
        return int(QDialog::Accepted);
    });
    {
        TMemoForm form(folders.Profile(), folders.App());
        form.Memo1->setPlainText(QStringLiteral("一行目\n二行目 \u2603"));
        QTextCursor cursor = form.Memo1->textCursor();
        cursor.setPosition(1);
        cursor.setPosition(3, QTextCursor::KeepAnchor);
        form.Memo1->setTextCursor(cursor);
        form.A1Click();
        ASSERT_EQ(form.TabControl1->count(), 2);
        EXPECT_EQ(form.TabControl1->tabText(1), QStringLiteral("二枚目"));
        form.TabControl1->setCurrentIndex(1);   // stores and saves the first page
        form.Memo1->setPlainText(QStringLiteral("second"));
    }
    EXPECT_EQ(Read(folders.Memo(QStringLiteral("mem00001.txt"))),
              QByteArray("\x88\xea\x8d\x73\x96\xda\r\n\x93\xf1\x8d\x73\x96\xda &#9731;\r\n"));
    EXPECT_EQ(Read(folders.Memo(QStringLiteral("mem00002.txt"))), QByteArray("second\r\n"));

    TMemoForm form(folders.Profile(), folders.App());
    ASSERT_EQ(form.TabControl1->count(), 2);
    EXPECT_EQ(form.Memo1->toPlainText(), QStringLiteral("一行目\n二行目 &#9731;"));
    EXPECT_EQ(form.Memo1->textCursor().selectionStart(), 1);
    EXPECT_EQ(form.Memo1->textCursor().selectionEnd(), 3);
}

namespace {

// Shows the window and closes it as the user does, five times; the bounds it comes back with.
// open gives the window to show: the same one again, or a new one for windows freed on close.
QRect ReopenedFiveTimes(const std::function<QWidget *()> &open)
{
    for (int i = 0; i < 5; ++i) {
        QWidget *window = open();
        window->show();
        window->close();
    }
    QWidget *window = open();
    window->show();
    const QRect bounds = window->geometry();
    window->close();
    return bounds;
}

}  // namespace

// A tool window closed and opened again comes back where it was (the frame around it does not
// push it up a little every time), and its place survives a save of the configuration.
TEST(ToolWindowPlaceTest, AWindowClosedAndReopenedFiveTimesIsWhereItWas)
{
    TempDataRoot root(true);
    TTavuConfig config;
    TavuConfig = &config;
    const QRect place(120, 140, 320, 260);
    const auto store = [&place](int &left, int &top, int &width, int &height) {
        left = place.left();
        top = place.top();
        width = place.width();
        height = place.height();
    };
    store(config.DESKTOP_TAVUMEMOWIN_LEFT, config.DESKTOP_TAVUMEMOWIN_TOP, config.DESKTOP_TAVUMEMOWIN_WIDTH,
          config.DESKTOP_TAVUMEMOWIN_HEIGHT);
    store(config.DESKTOP_JPEGWIN_LEFT, config.DESKTOP_JPEGWIN_TOP, config.DESKTOP_JPEGWIN_WIDTH, config.DESKTOP_JPEGWIN_HEIGHT);
    {
        TMemoForm memo(config.GetProfileDir(), TTavuConfig::AppDir());
        EXPECT_EQ(ReopenedFiveTimes([&memo] { return &memo; }), place);
        QWidget parent;   // frees the popups that close() only schedules for deletion
        EXPECT_EQ(ReopenedFiveTimes([&parent] { return new TPicturePopup(&parent); }), place);
    }
    config.Save();
    config.Load();
    EXPECT_EQ(QRect(config.DESKTOP_TAVUMEMOWIN_LEFT, config.DESKTOP_TAVUMEMOWIN_TOP, config.DESKTOP_TAVUMEMOWIN_WIDTH,
                    config.DESKTOP_TAVUMEMOWIN_HEIGHT),
              place);
    EXPECT_EQ(QRect(config.DESKTOP_JPEGWIN_LEFT, config.DESKTOP_JPEGWIN_TOP, config.DESKTOP_JPEGWIN_WIDTH,
                    config.DESKTOP_JPEGWIN_HEIGHT),
              place);
    TavuConfig = nullptr;
}

TEST(MemoBookTest, DamagedIndexNeverCostsAPage)
{
    TMemoFolders folders;
    const QByteArray damaged = "[MEMO]\r\nMEMO1=\x83\x81\r\nID1=mem000";   // cut short: no COUNT, no USED
    FileUtil::WriteFileAtomic(folders.Memo(QStringLiteral("memo.ini")), damaged);
    const QList<QByteArray> pages = {"first page\r\n", "second page\r\n", "third page\r\n"};
    for (int i = 0; i < pages.size(); ++i)
        FileUtil::WriteFileAtomic(folders.Memo(QStringLiteral("mem0000%1.txt").arg(i + 1)), pages[i]);

    Dialogs::TMsgKind told = Dialogs::mkInformation;
    QString text;
    Dialogs::TScopedDialogHandlers answers(
        [&](Dialogs::TMsgKind kind, const QString &message, Dialogs::TMsgButtons) {
            told = kind;
            text = message;
            return Dialogs::mrOK;
        },
        [](QDialog &dialog) {
            if (auto *input = qobject_cast<QInputDialog *>(&dialog))
                input->setTextValue(QStringLiteral("新規"));
            return int(QDialog::Accepted);
        });
    {
        TMemoForm form(folders.Profile(), folders.App());
        EXPECT_EQ(told, Dialogs::mkWarning);
        EXPECT_TRUE(text.contains(folders.Memo(QStringLiteral("memo.ini.damaged")))) << text.toStdString();
        EXPECT_EQ(Read(folders.Memo(QStringLiteral("memo.ini.damaged"))), damaged);
        EXPECT_EQ(form.Memo1->toPlainText(), QStringLiteral("first page"));
        form.A1Click();
        ASSERT_EQ(form.TabControl1->count(), 2);
        form.TabControl1->setCurrentIndex(1);
        form.Memo1->setPlainText(QStringLiteral("new text"));
    }
    for (int i = 0; i < pages.size(); ++i)
        EXPECT_EQ(Read(folders.Memo(QStringLiteral("mem0000%1.txt").arg(i + 1))), pages[i]) << i;
    EXPECT_EQ(Read(folders.Memo(QStringLiteral("mem00004.txt"))), QByteArray("new text\r\n"));
}

// An index that counts more pages than it lists: the pages without an ID each get a file of their
// own, the index is kept aside and the user told, and every page keeps its text across runs.
TEST(MemoBookTest, PagesWithoutAnIdNeverShareAFile)
{
    TMemoFolders folders;
    const QByteArray damaged = "[MEMO]\r\nCOUNT=3\r\nMEMO1=first\r\nID1=mem00001\r\n";
    FileUtil::WriteFileAtomic(folders.Memo(QStringLiteral("memo.ini")), damaged);
    FileUtil::WriteFileAtomic(folders.Memo(QStringLiteral("mem00001.txt")), "first page\r\n");
    QStringList told;
    Dialogs::TScopedDialogHandlers answers([&](Dialogs::TMsgKind, const QString &message, Dialogs::TMsgButtons) {
        told << message;
        return Dialogs::mrOK;
    });
    const QStringList texts = {QStringLiteral("first page"), QStringLiteral("second page"), QStringLiteral("third page")};
    {
        TMemoForm form(folders.Profile(), folders.App());
        ASSERT_EQ(told.size(), 1);
        EXPECT_TRUE(told[0].contains(folders.Memo(QStringLiteral("memo.ini.damaged")))) << told[0].toStdString();
        EXPECT_EQ(Read(folders.Memo(QStringLiteral("memo.ini.damaged"))), damaged);
        ASSERT_EQ(form.TabControl1->count(), 3);
        EXPECT_EQ(form.Memo1->toPlainText(), texts[0]);
        for (int page = 1; page < 3; ++page) {
            form.TabControl1->setCurrentIndex(page);
            form.Memo1->setPlainText(texts[page]);
        }
    }
    EXPECT_FALSE(QFile::exists(folders.Memo(QStringLiteral(".txt"))));

    TMemoForm again(folders.Profile(), folders.App());
    EXPECT_EQ(told.size(), 1);   // the index was mended
    ASSERT_EQ(again.TabControl1->count(), 3);
    for (int page = 0; page < 3; ++page) {
        again.TabControl1->setCurrentIndex(page);
        EXPECT_EQ(again.Memo1->toPlainText(), texts[page]) << page;
    }
}
