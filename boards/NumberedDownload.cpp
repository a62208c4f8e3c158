#include "boards/NumberedDownload.h"

#include "boards/BoardScript.h"
#include "boards/DatDownload.h"
#include "core/Board.h"
#include "core/DatLine.h"
#include "core/Exceptions.h"
#include "core/JConvert.h"
#include "core/ResDownloader.h"
#include "core/Tavutils.h"
#include "core/ThreadItem.h"
#include "net/TavuHttp.h"

namespace {
QList<DatConv::TNumberedLine> ParseRawLines(const QString &body)
{
    QList<DatConv::TNumberedLine> lines;
    for (const QString &text : body.split(u'\n')) {
        DatConv::TNumberedLine line;
        if (DatConv::RawLineToDat(text, line))
            lines << line;
    }
    return lines;
}
}  // namespace

TNumberedDownload::TNumberedDownload(const TBoardScript *bbs, TResDownloader *job, const QString &url, int storedCount,
                                     bool rawLines)
    : bbs(bbs), job(job), board(job->Board ? job->Board : job->Item() ? job->Item()->GetBoard() : nullptr), url(url),
      storedCount(storedCount), rawLines(rawLines)
{
}

TNumberedDownload::TNumberedDownload(const TBoardScript *bbs, TResDownloader *job, const QString &url, int storedCount,
                                     TPageParser parser)
    : TNumberedDownload(bbs, job, url, storedCount, false)
{
    this->parser = std::move(parser);
}

void TNumberedDownload::Start()
{
    if (!board || url.isEmpty())
        return Fail(-1, QStringLiteral("板が見つかりません。"));
    TTavuHttp *http = NewHttp(url, board, bbs->Agent(), job, TRequestKind::Dat);
    http->AcceptGzip = true;
    http->OnLine = [this](TTavuHttp *sender, void *, const QByteArray &line, qint64, qint64) {
        // An unfinished last raw line is left for the next fetch; a page is read whole.
        if (sender->StatusCode() == 200 && !(rawLines && sender->IsUnterminatedLine()))
            body += line + '\n';
    };
    http->OnError = [this](TTavuHttp *, void *, int code, const QString &message, const QString &detail) {
        NoteFailure(code, message);
        job->DeliverError(code, message, detail);
    };
    http->OnDone = [this](TTavuHttp *, void *, bool failed) { Finished(failed); };
    http->Get();
}

void TNumberedDownload::Finished(bool failed)
{
    TTavuHttp *http = Http();
    if (failed || http->IsNotModified()) {
        job->NotModified = !failed;
        job->DeliverDone(failed);
        return End();
    }
    const QString text = Tavutils::ConvertToSjis(bbs->CodePageOf(board), body);
    QList<DatConv::TNumberedLine> lines;
    try {
        lines = parser ? parser(text) : rawLines ? ParseRawLines(text) : DatConv::HtmlToDat(text);
    } catch (const EVarnelo &error) {
        return Fail(-1, error.Message);
    }
    if (lines.isEmpty() && storedCount == 0)
        return Fail(404, QStringLiteral("スレッドが見つかりません。"));
    const int maximum = lines.isEmpty() ? 0 : qMin(lines.last().Number, MaxResNumber);
    const QString empty = ComposeDatLine(QString(), QString(), QString(), QString(), QString());
    int last = storedCount;
    for (const DatConv::TNumberedLine &line : lines) {
        if (line.Number <= last || line.Number > MaxResNumber)
            continue;   // already stored, out of order, or a number no thread reaches
        for (++last; last < line.Number; ++last)
            DeliverDatLine(job, empty, jconvert::UnicodeToSjis(empty), last, maximum, last);
        DeliverDatLine(job, line.DatLine, jconvert::UnicodeToSjis(line.DatLine), last, maximum, last);
    }
    job->NotModified = last == storedCount;
    job->DeliverDone(false);
    End();
}

void TNumberedDownload::Fail(int code, const QString &message, const QString &detail)
{
    job->DeliverError(code, message, detail);
    job->DeliverDone(true);
    End();
}
