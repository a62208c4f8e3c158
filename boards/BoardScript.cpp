#include "boards/BoardScript.h"

#include "boards/Be2chManager.h"
#include "boards/NumberedDownload.h"
#include "boards/PostRequest.h"
#include "boards/SubjectDownload.h"
#include "core/Board.h"
#include "core/DatLine.h"
#include "core/FileUtil.h"
#include "core/ResDownloader.h"
#include "core/ResUploader.h"
#include "core/Tavutils.h"
#include "core/ThreadItem.h"
#include "core/ThreadUploader.h"
#include "net/HttpCli.h"

QString TBoardScript::Agent() const
{
    return QString::fromLatin1(THttpCli::DefaultUserAgent);
}

int TBoardScript::CodePageOf(const TBoard *board) const
{
    const int declared = board ? board->CodePage : Tavutils::CP_SJIS;
    return IsEuc() && declared == Tavutils::CP_SJIS ? int(Tavutils::CP_EUC) : declared;
}

void TBoardScript::DownloadThreadList(TThreadListDownloader *job, bool reload, bool synchronous)
{
    TBoardRequest::Run(new TSubjectDownload(this, job, reload), synchronous);
}

QList<QByteArray> TBoardScript::StoredLines(const TThreadItem *item)
{
    if (!item || !item->LogExists())
        return {};
    item->CutTornAppend();   // a torn last line is no stored line: the download brings it whole
    return SplitLogLines(FileUtil::ReadFile(item->GetLogFile()));
}

void TBoardScript::PostRes(TResUploader *job)
{
    TBoard *board = job->Board ? job->Board : job->Item() ? job->Item()->GetBoard() : nullptr;
    job->Board = board;
    const QString url = board ? GetSendCgiUrl(board, KeyOf(*job)) : QString();
    const QString referer = !job->Data->ReadUrl.isEmpty() ? job->Data->ReadUrl : GetReadUrl(job->Item());
    Post(job, url, url.isEmpty() ? TPostForm() : ReplyForm(*job), referer);
}

void TBoardScript::PostNewThread(TThreadUploader *job)
{
    const QString url = job->Board ? GetNewThreadCgiUrl(job->Board) : QString();
    Post(job, url, url.isEmpty() ? TPostForm() : NewThreadForm(*job), job->Board ? job->Board->URL : QString());
}

void TBoardScript::Post(TResUploader *job, const QString &url, const TPostForm &form, const QString &referer) const
{
    if (url.isEmpty()) {
        Report(false, [job] {
            if (job->OnCancel)
                job->OnCancel(job, QStringLiteral("この板には書き込めません。"));
        });
        return;
    }
    const QString beCookie = Be2chManager ? Be2chManager->CookieFor(job->Board) : QString();
    TBoardRequest::Run(new TPostRequest(job, url, form, referer, Agent(), beCookie, CodePageOf(job->Board)), false);
}

QString TBoardScript::BBSNameOf(const TResUploader &job)
{
    return !job.Data->BBS.isEmpty() ? job.Data->BBS : job.Board ? job.Board->BBSName : QString();
}

QString TBoardScript::KeyOf(const TResUploader &job)
{
    return !job.Data->Key.isEmpty() ? job.Data->Key : job.Item() ? job.Item()->GetKey() : QString();
}

QString TBoardScript::MailOf(const TSendData &data) const
{
    const bool sageAsked = data.Sage && (ResFlags & RES_SAGE) && !(ResFlags & RES_SAGE_IN_MAIL);
    if (sageAsked && !data.Mail.contains(QLatin1String("sage"), Qt::CaseInsensitive))
        return QStringLiteral("sage") + data.Mail;
    return data.Mail;
}

QString TBoardScript::RangedDatUrl(const TBoard *board, const QString &key, int first) const
{
    const QString url = BoardUrl(QStringLiteral("DAT"), board, key);
    if (first <= 1 || url.isEmpty())
        return url;
    if (url.contains(u'?'))
        return url + u'&' + Param.PARAM_START + u'=' + QString::number(first);
    return FileUtil::WithSlash(url) + QString::number(first) + u'-';
}

void TBoardScript::DownloadRawLines(TResDownloader *job, bool firstMode, bool synchronous)
{
    TThreadItem *item = job->Item();
    const TBoard *board = job->Board ? job->Board : item ? item->GetBoard() : nullptr;
    const int stored = int(StoredLines(item).size());
    const QString url = board ? RangedDatUrl(board, item->GetKey(), firstMode ? 1 : stored + 1) : QString();
    TBoardRequest::Run(new TNumberedDownload(this, job, url, stored, true), synchronous);
}

TPostForm TBoardScript::WriteCgiForm(const TResUploader &job, TPostForm form, bool newThread) const
{
    const TSendData &data = *job.Data;
    if (!newThread)
        form.Add(QStringLiteral("KEY"), KeyOf(job));
    form.Add(QStringLiteral("TIME"), QString::number(data.Time));
    if (newThread)
        form.Add(QStringLiteral("SUBJECT"), data.Subject);
    form.Add(QStringLiteral("NAME"), data.Name);
    form.Add(QStringLiteral("MAIL"), MailOf(data));
    form.Add(QStringLiteral("MESSAGE"), data.Body);
    form.Add(QStringLiteral("submit"), newThread ? QStringLiteral("新規書き込み") : QStringLiteral("書き込む"));
    return form;
}
