// The thread-item monitor and the one-line AA editor.

#include "controls/Dialogs.h"
#include "core/FileUtil.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "tools/AAEditor.h"
#include "tools/DebugForm.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>

namespace {

QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(DebugFormTest, FollowsReferenceCountsAndLetsGoOfReleasedItems)
{
    auto *first = new TThreadItem;
    first->SetTitle(QStringLiteral("一つ目"));
    auto *second = new TThreadItem;
    second->SetTitle(QStringLiteral("二つ目"));
    auto list = std::make_unique<TThreadItemList>();
    list->Add(first);
    list->Add(second);
    first->Release();    // the list holds the only reference now
    second->Release();
    {
        TDebugForm form;
        form.SetItemList(*list);
        ASSERT_EQ(form.ListView1->topLevelItemCount(), 2);
        EXPECT_EQ(form.ListView1->topLevelItem(1)->text(1), QStringLiteral("二つ目"));

        second->AddRef();
        EXPECT_EQ(form.ListView1->topLevelItem(0)->text(2), QStringLiteral("2"));
        EXPECT_EQ(form.RowItem(0), second);
        second->Release();

        list->Delete(0);   // the first item goes
        EXPECT_EQ(form.ListView1->topLevelItem(0)->text(1), QStringLiteral("一つ目"));
        EXPECT_EQ(form.ListView1->topLevelItem(0)->text(2), QStringLiteral("0"));
        EXPECT_EQ(form.RowItem(0), nullptr);
    }
    second->AddRef();   // the closed form no longer hears of it
    second->Release();
    list.reset();
}

TEST(AAEditorTest, RoundTripsTheListByteForByteAndCancelWritesNothing)
{
    QTemporaryDir folder;
    const QString profile = folder.path() + QLatin1Char('/');
    const QByteArray stored("(\x81\x40\x83\x4c\x81\x40)\r\n&#9731; \x81\x9a\r\n\r\nlast\r\n");
    FileUtil::WriteFileAtomic(profile + QStringLiteral("aalist.txt"), stored);

    {
        TAAEditor editor(profile);
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("一行AAエディタ"));
        editor.Button6Click();
    }
    EXPECT_EQ(Read(profile + QStringLiteral("aalist.txt")), stored);

    {
        TAAEditor editor(profile);
        editor.Memo1->setPlainText(QStringLiteral("changed"));
        editor.Button7->click();
    }
    EXPECT_EQ(Read(profile + QStringLiteral("aalist.txt")), stored);

    TAAEditor editor(profile);
    editor.Memo1->clear();
    editor.Button6Click();
    EXPECT_EQ(editor.result(), int(QDialog::Accepted));
    EXPECT_TRUE(Read(profile + QStringLiteral("aalist.txt")).isEmpty());
}
