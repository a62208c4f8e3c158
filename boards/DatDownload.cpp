#include "boards/DatDownload.h"

#include "boards/DatConv.h"
#include "core/Board.h"
#include "core/DatLine.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResDownloader.h"
#include "core/TavuEnviron.h"
#include "core/Tavutils.h"
#include "core/ThreadItem.h"
#include "net/TavuHttp.h"

namespace {
const QString ChangedMessage = QStringLiteral("サーバーのログが手元のログと一致しません。スレッドを取得し直してください。");
const QString GoneMessage = QStringLiteral("dat落ちしたスレッドです。過去ログも見つかりませんでした。");
const QString BadKeyMessage = QStringLiteral("スレッドのキーが不正です。");
const QString NoBoardMessage = QStringLiteral("板が見つかりません。");
const QString TooManyMessage = QStringLiteral("レスが多すぎます。(上限 %1)");
// No thread holds more responses; a dat with more is not one (numbered types pass such numbers over too).
constexpr int MaxResponses = 100000;
}  // namespace

void DeliverDatLine(TResDownloader *job, const QString &line, const QByteArray &bytes, int number, qint64 maximum,
                    qint64 position)
{
    TThreadItem *item = job->Item();
    TRes *res = DatConv::MakeRes(line, bytes, number, item);
    if (number == 1 && item && item->TITLE.isEmpty())
        item->SetTitle(res->Title);
    job->DeliverRes(res, int(qMin<qint64>(maximum, INT_MAX)), int(qMin<qint64>(position, INT_MAX)));
}

TDatDownload::TDatDownload(const T2chScript *bbs, TResDownloader *job, bool reload, bool firstMode, bool pastLogOnly)
    : bbs(bbs), job(job), item(job->Item()), board(job->Board ? job->Board : item ? item->GetBoard() : nullptr),
      reload(reload), firstMode(firstMode), pastLogOnly(pastLogOnly)
{
}

void TDatDownload::Start()
{
    if (!item || !board)
        return Fail(-1, NoBoardMessage);
    if (!IsSafeFileName(item->DatName) || item->DatName.isEmpty())
        return Fail(-1, BadKeyMessage);
    stored = TBoardScript::StoredLines(item);
    // A crash between the save of the log and that of its .inf must not make the range ask for
    // lines the log already holds.
    item->RepairInfoFromLog(stored, bbs->CodePageOf(board) == Tavutils::CP_SJIS);
    storedSize = stored.isEmpty() || firstMode ? 0 : item->SIZE;
    if (pastLogOnly || item->KAKOLOG) {
        // A past log does not change: what is stored is all there is.
        if (!reload && !stored.isEmpty()) {
            job->NotModified = true;
            job->DeliverDone(false);
            return End();
        }
        if (!NextPastLog())
            Fail(404, GoneMessage);
        return;
    }
    StartStep(job->Url().isEmpty() ? bbs->GetThreadUrl(item) : job->Url(), true);
}

void TDatDownload::StartStep(const QString &url, bool differential)
{
    bodyLines = delivered = 0;
    bodyBytes = 0;
    changed = tooMany = notDat = offlawChecked = offlawOk = false;
    lastCode = 0;
    TTavuHttp *http = NewHttp(url, board, bbs->Agent(), job, TRequestKind::Dat);
    if (differential) {
        http->StoredSize = storedSize;
        if (!reload && !stored.isEmpty()) {
            http->LastModified = item->LAST_MODIFIED;
            http->ETag = item->ETAG;
        }
    }
    http->AcceptGzip = http->StoredSize == 0 && !url.endsWith(QLatin1String(".gz"));
    http->OnLine = [this](TTavuHttp *, void *, const QByteArray &line, qint64, qint64) { TakeLine(line); };
    http->OnError = [this](TTavuHttp *, void *, int code, const QString &message, const QString &detail) {
        lastCode = code;
        lastMessage = message;
        lastDetail = detail;
        NoteFailure(code, message);
    };
    http->OnDone = [this](TTavuHttp *, void *, bool failed) { StepDone(failed); };
    http->Get();
}

// The line as the log stores it: Shift_JIS.
QByteArray TDatDownload::StoredForm(const QByteArray &line) const
{
    const int codePage = bbs->CodePageOf(board);
    return codePage == Tavutils::CP_SJIS ? line : jconvert::UnicodeToSjis(Tavutils::ConvertToSjis(codePage, line));
}

void TDatDownload::TakeLine(const QByteArray &line)
{
    TTavuHttp *http = Http();
    const int status = http->StatusCode();
    if (changed || tooMany || (status != 200 && status != 206) || http->IsUnterminatedLine())
        return;   // not the dat (a page about it), or a line not yet complete
    if (offlaw && !offlawChecked) {
        offlawChecked = true;
        offlawOk = line.startsWith("+OK");
        return;
    }
    if (offlaw && !offlawOk)
        return;
    ++bodyLines;
    bodyBytes += http->LineBytes();
    if (bodyLines == 1 && !http->IsPartial() && !line.contains("<>") && !line.contains(',')) {
        notDat = true;   // a page in place of the dat
        return;
    }
    if (notDat)
        return;
    const QByteArray bytes = StoredForm(line);
    if (!http->IsPartial() && bodyLines <= stored.size()) {
        changed = bytes != stored[bodyLines - 1];
        return;
    }
    if (stored.size() + delivered >= MaxResponses) {
        tooMany = true;
        return;
    }
    ++delivered;
    // How far the reply is taken: up to this line, in the bytes of its lines once their number is
    // known; else as far as it came (its lines are decoded after it).
    const qint64 lineBytes = http->LineBodySize();
    DeliverDatLine(job, jconvert::SjisToUnicode(bytes), bytes, int(stored.size()) + delivered,
                   lineBytes > 0 ? lineBytes : http->Total(), lineBytes > 0 ? bodyBytes : http->Received());
}

// A thread that is no longer on the board: the server says so, or sends a page (203) instead of it.
bool TDatDownload::IsGone(int status) const
{
    const bool blockPage = lastDetail.contains(QLatin1String("/403/"));
    return status == 404 || status == 410 || status == 203 || (status >= 300 && status < 400 && !blockPage);
}

void TDatDownload::StepDone(bool failed)
{
    TTavuHttp *http = Http();
    const int status = http->StatusCode();
    // The lines of a broken stream say nothing of the server's log.
    if (changed && !(failed && lastCode == httpBadGzip))
        return Fail(httpLogChanged, ChangedMessage);
    if (tooMany)
        return Fail(httpTooLarge, TooManyMessage.arg(MaxResponses));
    if (failed && !Aborted() && (lastCode == 416 || lastCode == httpLogChanged))
        return Fail(lastCode, lastMessage);
    if (failed && (Aborted() || !IsGone(status)))
        return Fail(lastCode, lastMessage, lastDetail);
    if (!failed && http->IsNotModified()) {
        job->NotModified = true;
        job->DeliverDone(false);
        return End();
    }
    const bool gone = failed || status == 203 || notDat || (offlaw && !offlawOk);
    if (gone) {
        if (NextPastLog())
            return;
        // Found nowhere: the server's own answer about the dat, else that no copy was found.
        const bool datAnswer = failed && !onPastLog;
        return Fail(datAnswer ? lastCode : 404, datAnswer ? lastMessage : GoneMessage, datAnswer ? lastDetail : QString());
    }
    if (!http->IsPartial() && bodyLines < stored.size())
        return Fail(httpLogChanged, ChangedMessage);   // the log got shorter on the server
    Succeed();
}

bool TDatDownload::NextPastLog()
{
    if (!pastLogsListed) {
        pastLogsListed = true;
        pastLogs = bbs->PastLogSources(item);
    }
    if (pastLogs.isEmpty())
        return false;
    const T2chScript::TPastLogSource source = pastLogs.takeFirst();
    onPastLog = true;
    offlaw = source.Offlaw;
    StartStep(source.Url, false);
    return true;
}

void TDatDownload::Succeed()
{
    TTavuHttp *http = Http();
    if (onPastLog)
        item->SetKakolog(true);
    if (TavuEnviron && TavuEnviron->GetCached()) {
        item->SIZE = http->IsPartial() ? storedSize + bodyBytes : bodyBytes;
        item->LAST_MODIFIED = http->ReplyLastModified();
        item->ETAG = http->ReplyETag();
    }
    job->NotModified = delivered == 0;
    job->DeliverDone(false);
    End();
}

void TDatDownload::Fail(int code, const QString &message, const QString &detail)
{
    job->DeliverError(code, message, detail);
    job->DeliverDone(true);
    End();
}

