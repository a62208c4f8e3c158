#include "boards/MegabbsScript.h"

#include "boards/NumberedDownload.h"
#include "boards/PageListDownload.h"
#include "core/Board.h"
#include "core/MonaUtils.h"
#include "core/ResDownloader.h"
#include "core/ResUploader.h"
#include "core/SendData.h"
#include "core/Tavutils.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "core/ThreadListDownloader.h"
#include "core/ThreadUploader.h"

namespace {

// The links of a listing page, each read on its own.
class TMegabbsListParser : public TPageListParser {
public:
    TMegabbsListParser(const TMegabbsScript *bbs, const TBoard *board) : bbs(bbs), board(board) {}

    QStringList ParseLine(const QByteArray &line) override
    {
        const QString subject = bbs->SubjectLineOf(Tavutils::ConvertToSjis(bbs->CodePageOf(board), line), board->BBSName);
        return subject.isEmpty() ? QStringList() : QStringList{subject};
    }

private:
    const TMegabbsScript *bbs;
    const TBoard *board;
};

}  // namespace

bool TMegabbsScript::IsThreadListPaged() const
{
    return true;
}

void TMegabbsScript::DownloadThreadList(TThreadListDownloader *job, bool reload, bool synchronous)
{
    job->Page = 1;
    DownloadPage(job, 1, reload, synchronous);
}

void TMegabbsScript::DownloadThreadListNextPage(TThreadListDownloader *job, int page)
{
    job->Page = page;
    DownloadPage(job, page, false, false);
}

void TMegabbsScript::DownloadPage(TThreadListDownloader *job, int page, bool reload, bool synchronous)
{
    TPageListDownload::TPage request;
    if (job->Board) {
        const QString section = page <= 1 ? QStringLiteral("SUBJECT") : QStringLiteral("SUBJECTPAGE");
        QMap<QString, QString> values = TemplateValues(job->Board);
        values.insert(QStringLiteral("<page>"), QString::number(page));
        request.Url = FillTemplate(GetTemplate(section, HostOf(job->Board), job->Board->Site), values);
    }
    request.Agent = Agent();
    request.Reload = reload;
    request.FirstPage = page <= 1;
    request.FirstNumber = page <= 1 || !job->Items ? 1 : job->Items->Count() + 1;
    auto parser = std::make_unique<TMegabbsListParser>(this, job->Board);
    TBoardRequest::Run(new TPageListDownload(job, request, std::move(parser)), synchronous);
}

QString TMegabbsScript::SubjectLineOf(const QString &line, const QString &bbs) const
{
    const qsizetype anchor = line.indexOf(QLatin1String("<a "), 0, Qt::CaseInsensitive);
    if (anchor < 0)
        return QString();
    const QString href = MonaUtils::ExtractHrefValue(line.mid(anchor)).replace(QLatin1String("&amp;"), QLatin1String("&"));
    if (!href.contains(QLatin1String("readres.cgi?"), Qt::CaseInsensitive)
        || MonaUtils::GetQueryValue(href, Param.PARAM_BBS) != bbs)
        return QString();
    const QString key = MonaUtils::GetQueryValue(href, Param.PARAM_DAT);
    const qsizetype textStart = line.indexOf(QLatin1Char('>'), anchor) + 1;
    const qsizetype textEnd = line.indexOf(QLatin1String("</a>"), textStart, Qt::CaseInsensitive);
    if (key.isEmpty() || textEnd < 0)
        return QString();
    return key + QStringLiteral(".dat<>") + MonaUtils::StripHtmlTags(line.mid(textStart, textEnd - textStart));
}

void TMegabbsScript::DownloadThread(TResDownloader *job, bool, bool firstMode, bool synchronous)
{
    TThreadItem *item = job->Item();
    const TBoard *board = job->Board ? job->Board : item ? item->GetBoard() : nullptr;
    const int stored = int(StoredLines(item).size());
    const QString url = board && item ? RangedDatUrl(board, item->GetKey(), firstMode ? 1 : stored + 1) : QString();
    TBoardRequest::Run(new TNumberedDownload(this, job, url, stored, false), synchronous);
}

TPostForm TMegabbsScript::ReplyForm(const TResUploader &job) const
{
    const TSendData &data = *job.Data;
    TPostForm form;
    form.Add(Param.PARAM_BBS, BBSNameOf(job));
    form.Add(Param.PARAM_DAT, KeyOf(job));
    form.Add(QStringLiteral("time"), QString::number(data.Time));
    form.Add(QStringLiteral("name"), data.Name);
    form.Add(QStringLiteral("mail"), MailOf(data));
    form.Add(QStringLiteral("comment"), data.Body);
    form.Add(QStringLiteral("submit"), QStringLiteral("書き込む"));
    return form;
}

TPostForm TMegabbsScript::NewThreadForm(const TThreadUploader &job) const
{
    const TSendData &data = *job.Data;
    TPostForm form;
    form.Add(Param.PARAM_BBS, BBSNameOf(job));
    form.Add(QStringLiteral("time"), QString::number(data.Time));
    form.Add(QStringLiteral("title"), data.Subject);
    form.Add(QStringLiteral("name"), data.Name);
    form.Add(QStringLiteral("mail"), MailOf(data));
    form.Add(QStringLiteral("comment"), data.Body);
    form.Add(QStringLiteral("submit"), QStringLiteral("新規スレッド作成"));
    return form;
}
