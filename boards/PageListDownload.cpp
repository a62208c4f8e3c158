#include "boards/PageListDownload.h"

#include "core/Board.h"
#include "core/Exceptions.h"
#include "core/JConvert.h"
#include "core/ThreadListDownloader.h"
#include "net/TavuHttp.h"

namespace {

int Clamped(qint64 value)
{
    return int(qBound<qint64>(0, value, qint64(INT_MAX)));
}

}  // namespace

TPageListDownload::TPageListDownload(TThreadListDownloader *job, const TPage &page,
                                     std::unique_ptr<TPageListParser> parser)
    : job(job), board(job->Board), page(page), parser(std::move(parser)), listing(job), store(job->Board)
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
    TTavuHttp *http = NewHttp(page.Url, board, page.Agent, job, TRequestKind::Subject);
    http->AcceptGzip = true;
    if (page.FirstPage && !page.Reload)
        store.AskConditionally(http);
    http->OnLine = [this](TTavuHttp *, void *, const QByteArray &line, qint64 received, qint64 total) {
        TakeLine(line, received, total);
    };
    http->OnError = [this](TTavuHttp *, void *, int code, const QString &message, const QString &detail) {
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
        TThreadItem *item = store.ItemOfLine(line, page.FirstNumber + int(subjects.size()));
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
        store.ReportStored(listing);
    } else if (!failed && page.FirstPage) {
        StoreList();
    }
    listing.Done(failed);
    End();
}

// The subject lines the page gave.
void TPageListDownload::StoreList()
{
    QByteArray text;
    for (const QString &line : subjects)
        text += jconvert::UnicodeToSjis(line) + "\r\n";
    store.Store(text, *Http());
}
