#include "boards/PageListDownload.h"

#include "boards/DatConv.h"
#include "boards/SubjectDownload.h"
#include "core/Board.h"
#include "core/DatLine.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/TavuEnviron.h"
#include "core/ThreadListDownloader.h"
#include "net/TavuHttp.h"

#include <QFile>

namespace {

const QString InfSection = QStringLiteral("SUBJECT");

// The item of one subject line; nullptr when the line is not one or names no safe file.
TThreadItem *ItemOfSubjectLine(TBoard *board, const QString &text, int number)
{
    TSubjectLine subject;
    if (!ParseSubjectLine(text, subject))
        return nullptr;
    const QString datName = DatConv::ExtractFileKey(subject.DatName) + QStringLiteral(".dat");
    if (!IsSafeFileName(datName))
        return nullptr;
    return TThreadListing::NewItem(board, datName, subject.Title, subject.Count, number);
}

int Clamped(qint64 value)
{
    return int(qBound<qint64>(0, value, qint64(INT_MAX)));
}

}  // namespace

TPageListDownload::TPageListDownload(TThreadListDownloader *job, const TPage &page,
                                     std::unique_ptr<TPageListParser> parser)
    : job(job), board(job->Board), page(page), parser(std::move(parser)), listing(job)
{
}

TPageListDownload::~TPageListDownload() = default;

void TPageListDownload::Start()
{
    if (!board || page.Url.isEmpty()) {
        listing.Error(-1, QStringLiteral("板が見つかりません。"));
        listing.Done(true);
        return End();
    }
    TTavuHttp *http = NewHttp(page.Url, board, page.Agent);
    http->AcceptGzip = true;
    if (page.FirstPage && !page.Reload && QFile::exists(TSubjectDownload::SubjectTxtPath(board))) {
        const TIniFile inf(TSubjectDownload::SubjectInfPath(board));
        http->LastModified = inf.ReadString(InfSection, QStringLiteral("LAST_MODIFIED"));
        http->ETag = inf.ReadString(InfSection, QStringLiteral("ETAG"));
    }
    http->OnLine = [this](TTavuHttp *, void *, const QByteArray &line, qint64 received, qint64 total) {
        TakeLine(line, received, total);
    };
    http->OnError = [this](TTavuHttp *, void *, int code, const QString &message, const QString &detail) {
        lastCode = code;
        NoteFailure(code, message);
        if (parseError.isEmpty())
            listing.Error(code, message, detail);
    };
    http->OnDone = [this](TTavuHttp *, void *, bool failed) { Finished(failed); };
    http->Get();
}

void TPageListDownload::TakeLine(const QByteArray &line, qint64 received, qint64 total)
{
    if (!parseError.isEmpty())
        return;
    try {
        Report(parser->ParseLine(line), received, total);
    } catch (const EVarnelo &error) {
        parseError = error.Message;
        listing.Error(-1, parseError);
        Http()->Abort();
    }
}

void TPageListDownload::Report(const QStringList &lines, qint64 received, qint64 total)
{
    for (const QString &line : lines) {
        TThreadItem *item = ItemOfSubjectLine(board, line, page.FirstNumber + int(subjects.size()));
        if (!item)
            continue;
        subjects << line;
        listing.Report(item, Clamped(total), Clamped(received));
    }
}

void TPageListDownload::Finished(bool failed)
{
    TTavuHttp *http = Http();
    if (!failed && parseError.isEmpty() && !http->IsNotModified()) {
        try {
            Report(parser->ParseEnd(), http->Received(), http->Total());
        } catch (const EVarnelo &error) {
            parseError = error.Message;
            listing.Error(-1, parseError);
        }
    }
    failed = failed || !parseError.isEmpty();
    if (!failed && http->IsNotModified()) {
        job->NotModified = true;
        ReportStoredList();
    } else if (!failed && page.FirstPage) {
        StoreList();
    }
    listing.Done(failed);
    End();
}

// The stored list is Shift_JIS subject lines.
void TPageListDownload::ReportStoredList()
{
    const QList<QByteArray> stored = SplitLogLines(FileUtil::ReadFile(TSubjectDownload::SubjectTxtPath(board)));
    for (qsizetype i = 0; i < stored.size(); ++i) {
        if (TThreadItem *item = ItemOfSubjectLine(board, jconvert::SjisToUnicode(stored[i]), int(i + 1)))
            listing.ReportStored(item);
    }
}

void TPageListDownload::StoreList()
{
    if (!TavuEnviron || !TavuEnviron->GetCached())
        return;
    QByteArray text;
    for (const QString &line : subjects)
        text += jconvert::UnicodeToSjis(line) + "\r\n";
    TTavuHttp *http = Http();
    TIniFile inf(TSubjectDownload::SubjectInfPath(board));
    inf.WriteString(InfSection, QStringLiteral("LAST_MODIFIED"), http->ReplyLastModified());
    inf.WriteString(InfSection, QStringLiteral("ETAG"), http->ReplyETag());
    inf.WriteInteger(InfSection, QStringLiteral("SIZE"), text.size());
    try {
        // The list first: validators never describe a list that was not stored.
        FileUtil::WriteFileAtomic(TSubjectDownload::SubjectTxtPath(board), text);
        inf.UpdateFile();
    } catch (const EVarnelo &) {
        // A list that cannot be stored is still shown; the next fetch asks for it whole.
        QFile::remove(TSubjectDownload::SubjectInfPath(board));
    }
}
