#include "boards/SubjectDownload.h"

#include "boards/BoardScript.h"
#include "core/Board.h"
#include "core/JConvert.h"
#include "core/Tavutils.h"
#include "core/ThreadListDownloader.h"
#include "net/TavuHttp.h"

TSubjectDownload::TSubjectDownload(const TBoardScript *bbs, TThreadListDownloader *job, bool reload)
    : bbs(bbs), job(job), board(job->Board), reload(reload), listing(job), store(job->Board)
{
}

void TSubjectDownload::Start()
{
    if (!board) {
        listing.Error(-1, QStringLiteral("板が見つかりません。"));
        listing.Done(true);
        return End();
    }
    TTavuHttp *http = NewHttp(bbs->BoardUrl(QStringLiteral("SUBJECT"), board), board, bbs->Agent(), job, TRequestKind::Subject);
    http->AcceptGzip = true;
    if (!reload)
        store.AskConditionally(http);
    http->OnLine = [this](TTavuHttp *, void *, const QByteArray &line, qint64 received, qint64 total) {
        TakeLine(line, received, total);
    };
    http->OnError = [this](TTavuHttp *, void *, int code, const QString &message, const QString &detail) {
        NoteFailure(code, message);
        listing.Error(code, message, detail);
    };
    http->OnDone = [this](TTavuHttp *, void *, bool failed) { Finished(failed); };
    http->Get();
}

// Each line is kept in its stored form as it comes, so the list is held once (a list of many
// megabytes costs little more than its size).
void TSubjectDownload::TakeLine(const QByteArray &line, qint64 received, qint64 total)
{
    const int codePage = bbs->CodePageOf(board);
    const QString text = Tavutils::ConvertToSjis(codePage, line);
    stored += codePage == Tavutils::CP_SJIS ? line : jconvert::UnicodeToSjis(text);
    stored += "\r\n";
    if (TThreadItem *item = store.ItemOfLine(text, ++lineCount))
        listing.Report(item, int(qMin<qint64>(total, INT_MAX)), int(qMin<qint64>(received, INT_MAX)));
}

void TSubjectDownload::Finished(bool failed)
{
    if (!failed && Http()->IsNotModified()) {
        job->NotModified = true;
        store.ReportStored(listing);
    } else if (!failed) {
        store.Store(stored, *Http());
    }
    stored = QByteArray();
    listing.Done(failed);
    End();
}
