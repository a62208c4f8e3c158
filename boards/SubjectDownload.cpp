#include "boards/SubjectDownload.h"

#include "boards/BoardScript.h"
#include "boards/DatConv.h"
#include "core/Board.h"
#include "core/DatLine.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/TavuEnviron.h"
#include "core/Tavutils.h"
#include "core/Exceptions.h"
#include "core/ThreadListDownloader.h"
#include "net/TavuHttp.h"

#include <QFile>

namespace {
const QString InfSection = QStringLiteral("SUBJECT");
}

TSubjectDownload::TSubjectDownload(const TBoardScript *bbs, TThreadListDownloader *job, bool reload)
    : bbs(bbs), job(job), board(job->Board), reload(reload), listing(job)
{
}

QString TSubjectDownload::SubjectTxtPath(const TBoard *board)
{
    return board->GetLogDir() + QStringLiteral("subject.txt");
}

QString TSubjectDownload::SubjectInfPath(const TBoard *board)
{
    return board->GetLogDir() + QStringLiteral("subject.inf");
}

void TSubjectDownload::Start()
{
    if (!board) {
        listing.Error(-1, QStringLiteral("板が見つかりません。"));
        listing.Done(true);
        return End();
    }
    TTavuHttp *http = NewHttp(bbs->BoardUrl(QStringLiteral("SUBJECT"), board), board, bbs->Agent());
    http->AcceptGzip = true;
    if (!reload && QFile::exists(SubjectTxtPath(board))) {
        const TIniFile inf(SubjectInfPath(board));
        http->LastModified = inf.ReadString(InfSection, QStringLiteral("LAST_MODIFIED"));
        http->ETag = inf.ReadString(InfSection, QStringLiteral("ETAG"));
    }
    http->OnLine = [this](TTavuHttp *, void *, const QByteArray &line, qint64 received, qint64 total) {
        TakeLine(line, received, total);
    };
    http->OnError = [this](TTavuHttp *, void *, int code, const QString &message, const QString &detail) {
        lastCode = code;
        NoteFailure(code, message);
        listing.Error(code, message, detail);
    };
    http->OnDone = [this](TTavuHttp *, void *, bool failed) { Finished(failed); };
    http->Get();
}

// The item of one line of the list; nullptr for a line that is not a thread line or names no safe file.
TThreadItem *TSubjectDownload::ItemOfLine(const QString &text, int number) const
{
    TSubjectLine subject;
    if (!ParseSubjectLine(text, subject))
        return nullptr;
    const QString datName = DatConv::ExtractFileKey(subject.DatName) + QStringLiteral(".dat");
    if (!IsSafeFileName(datName))
        return nullptr;
    return TThreadListing::NewItem(board, datName, subject.Title, subject.Count, number);
}

void TSubjectDownload::TakeLine(const QByteArray &line, qint64 received, qint64 total)
{
    lines << line;
    if (TThreadItem *item = ItemOfLine(Tavutils::ConvertToSjis(bbs->CodePageOf(board), line), int(lines.size())))
        listing.Report(item, int(qMin<qint64>(total, INT_MAX)), int(qMin<qint64>(received, INT_MAX)));
}

void TSubjectDownload::Finished(bool failed)
{
    TTavuHttp *http = Http();
    if (!failed && http->IsNotModified()) {
        job->NotModified = true;
        ReportStoredList();
    } else if (!failed) {
        StoreList();
    }
    listing.Done(failed);
    End();
}

// The stored list is Shift_JIS whatever the board's code.
void TSubjectDownload::ReportStoredList()
{
    const QList<QByteArray> stored = SplitLogLines(FileUtil::ReadFile(SubjectTxtPath(board)));
    for (qsizetype i = 0; i < stored.size(); ++i) {
        if (TThreadItem *item = ItemOfLine(jconvert::SjisToUnicode(stored[i]), int(i + 1)))
            listing.ReportStored(item);
    }
}

void TSubjectDownload::StoreList()
{
    if (!TavuEnviron || !TavuEnviron->GetCached())
        return;
    QByteArray text;
    for (const QByteArray &line : lines)
        text += jconvert::UnicodeToSjis(Tavutils::ConvertToSjis(bbs->CodePageOf(board), line)) + "\r\n";
    TTavuHttp *http = Http();
    TIniFile inf(SubjectInfPath(board));
    inf.WriteString(InfSection, QStringLiteral("LAST_MODIFIED"), http->ReplyLastModified());
    inf.WriteString(InfSection, QStringLiteral("ETAG"), http->ReplyETag());
    inf.WriteInteger(InfSection, QStringLiteral("SIZE"), text.size());
    try {
        // The list first: validators never describe a list that was not stored.
        FileUtil::WriteFileAtomic(SubjectTxtPath(board), text);
        inf.UpdateFile();
    } catch (const EVarnelo &) {
        // A list that cannot be stored is still shown; the next fetch asks for it whole.
        QFile::remove(SubjectInfPath(board));
    }
}
