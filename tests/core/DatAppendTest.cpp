// A thread's log (.dat) grows by appends; an append that fails part way (the disk full, the file
// too large) is taken back, so that the log stays the lines its .inf counts, and it is reported.
// The failures here are real: the process may not write the log past a chosen size.

#include "FileSizeLimit.h"
#include "ThreadTestEnv.h"

#include "core/DatLog.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/ResList.h"
#include "core/SaveQueue.h"
#include "core/ThreadLogSave.h"
#include "support/WaitLimit.h"

#include <gtest/gtest.h>

#include <QTest>

#include <optional>

namespace {

// A thread of three stored responses, its log and .inf written as a download leaves them.
class StoredThread {
public:
    StoredThread()
    {
        for (int n = 1; n <= 3; ++n)
            list.AddDatLine(QStringLiteral("名無し<>sage<>2026/12/07 ID:abc<>書き込み%1です<>%2").arg(n).arg(n == 1 ? QStringLiteral("題名") : QString()));
        Save(0);
        dat = FileUtil::ReadFile(item->GetLogFile());
        inf = FileUtil::ReadFile(item->GetInfFile());
    }

    // Adds the new responses; returns the bytes they append to the log.
    QByteArray Receive(const QStringList &lines)
    {
        QByteArray bytes;
        for (const QString &line : lines) {
            list.AddDatLine(line);
            bytes += jconvert::UnicodeToSjis(line) + "\r\n";
        }
        return bytes;
    }

    // Saves the list whose first `stored` responses are the log, as after a download; returns the
    // failure's message.
    QString Save(int stored)
    {
        item->COUNT = list.Count();
        return TThreadLogSave(list, stored, *item.get()).Run();
    }

    // The log and the .inf are byte for byte what they were before the failed append.
    void ExpectUntouched(const char *cut) const
    {
        EXPECT_EQ(FileUtil::ReadFile(item->GetLogFile()).toStdString(), dat.toStdString()) << cut;
        EXPECT_EQ(FileUtil::ReadFile(item->GetInfFile()).toStdString(), inf.toStdString()) << cut;
    }

    ThreadTestEnv env;
    ItemRef item{env.NewItem(QStringLiteral("1765000000"), QStringLiteral("題名"))};
    TResList list{item.get()};
    QByteArray dat;   // the stored log
    QByteArray inf;   // and its .inf
};

const QStringList NewLines{QStringLiteral("新人<><>2026/12/07 ID:def<>四つ目の書き込み<>"),
                           QStringLiteral("古参<>sage<>2026/12/07 ID:ghi<>五つ目　全角<>")};

// What a save reports when the log cannot be written.
QString Failure(const StoredThread &thread)
{
    return QStringLiteral("ファイルを書き込めません: ") + thread.item->GetLogFile();
}

}  // namespace

// The append cut short anywhere among the new lines: inside a two-byte character, just after a
// whole new line, between its CR and LF, or before its first byte. Each time the log is taken back
// to the stored lines, the .inf is not written and the save says which file failed; a later save
// that can write appends the new lines right after the stored ones.
TEST(DatAppend, AnAppendCutShortIsTakenBackAndReported)
{
    StoredThread thread;
    const QByteArray appended = thread.Receive(NewLines);
    const QByteArray first = jconvert::UnicodeToSjis(NewLines[0]) + "\r\n";
    const qsizetype inCharacter = first.indexOf(jconvert::UnicodeToSjis(QStringLiteral("目"))) + 1;
    const std::pair<const char *, qsizetype> cuts[]{
        {"inside a character", inCharacter},
        {"after a whole line", first.size()},
        {"between CR and LF", appended.size() - 1},
        {"before the first byte", 0},
    };
    for (const auto &[cut, at] : cuts) {
        QString failure;
        {
            const FileSizeLimit limit(rlim_t(thread.dat.size() + at));
            if (!limit.Set())
                GTEST_SKIP() << "the file size limit could not be set";
            failure = thread.Save(3);
        }
        EXPECT_EQ(failure.toStdString(), Failure(thread).toStdString()) << cut;
        thread.ExpectUntouched(cut);
    }

    // Stored by the list itself, the same failure is raised to the caller.
    {
        const FileSizeLimit limit(rlim_t(thread.dat.size() + inCharacter));
        ASSERT_TRUE(limit.Set());
        EXPECT_THROW(thread.list.AppendDat(thread.item->GetLogFile(), 3), EFileError);
    }
    thread.ExpectUntouched("appended by the list");

    EXPECT_EQ(thread.Save(3).toStdString(), "");
    EXPECT_EQ(FileUtil::ReadFile(thread.item->GetLogFile()).toStdString(), (thread.dat + appended).toStdString());
    thread.item->LoadInfo();
    EXPECT_EQ(thread.item->COUNT, 5);
}

// What the window's save sees: the failure comes back through the save queue on the application's
// thread, and the item read again from its .inf still counts the stored responses only.
TEST(DatAppend, TheQueuedSaveReportsTheFailedAppend)
{
    StoredThread thread;
    thread.Receive(NewLines);
    thread.item->COUNT = thread.list.Count();
    const TThreadLogSave save(thread.list, 3, *thread.item.get());
    std::optional<QString> reported;
    {
        const FileSizeLimit limit(rlim_t(thread.dat.size() + 10));
        ASSERT_TRUE(limit.Set());
        TSaveQueue::Instance().Push(save.Files(), [save] { return save.Run(); },
                                    [&reported](const QString &failure) { reported = failure; });
        TSaveQueue::Instance().WaitAll();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return reported.has_value(); }, WaitLimitMs));
    EXPECT_EQ(reported->toStdString(), Failure(thread).toStdString());
    thread.ExpectUntouched("on the save queue");
    thread.item->ReloadInfo();
    EXPECT_EQ(thread.item->COUNT, 3);
}
