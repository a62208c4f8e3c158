#include "boards/2chScript.h"

#include "boards/DatDownload.h"
#include "boards/DolibManager.h"
#include "core/Board.h"
#include "core/ResUploader.h"
#include "core/ThreadItem.h"
#include "core/ThreadUploader.h"

namespace {
const QString DefaultKakoTemplate = QStringLiteral("http://<host>/<bbs>/kako/<key>.dat");
}

QString T2chScript::Agent() const
{
    return TDolibManager::UserAgent();
}

void T2chScript::DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous)
{
    TBoardRequest::Run(new TDatDownload(this, job, reload, firstMode, false), synchronous);
}

QList<T2chScript::TPastLogSource> T2chScript::PastLogSources(const TThreadItem *item) const
{
    return KakoSources(item, QStringLiteral("KAKO"));
}

QString T2chScript::KakoUrl(const QString &filledTemplate, const QString &key)
{
    QString folders;
    if (key.size() == 10)
        folders = key.left(4) + u'/' + key.left(5) + u'/';
    else if (key.size() == 9)
        folders = key.left(3) + u'/';
    const qsizetype slash = filledTemplate.lastIndexOf(u'/');
    return filledTemplate.left(slash + 1) + folders + filledTemplate.mid(slash + 1);
}

QList<T2chScript::TPastLogSource> T2chScript::KakoSources(const TThreadItem *item, const QString &section) const
{
    const TBoard *board = item ? item->GetBoard() : nullptr;
    if (!board)
        return {};
    QString text = GetTemplate(section, HostOf(board), board->Site);
    if (text.isEmpty())
        text = DefaultKakoTemplate;
    const QString key = item->GetKey();
    const QString url = KakoUrl(FillTemplate(text, TemplateValues(board, key)), key);
    QList<TPastLogSource> sources;
    if (url.endsWith(QLatin1String(".dat")))
        sources.append({url + QStringLiteral(".gz"), false});
    sources.append({url, false});
    return sources;
}

TPostForm T2chScript::ReplyForm(const TResUploader &job) const
{
    const TSendData &data = *job.Data;
    TPostForm form;
    form.Add(QStringLiteral("bbs"), BBSNameOf(job));
    form.Add(QStringLiteral("key"), KeyOf(job));
    form.Add(QStringLiteral("time"), QString::number(data.Time));
    form.Add(QStringLiteral("FROM"), data.Name);
    form.Add(QStringLiteral("mail"), MailOf(data));
    form.Add(QStringLiteral("MESSAGE"), data.Body);
    form.Add(QStringLiteral("submit"), QStringLiteral("書き込む"));
    return form;
}

TPostForm T2chScript::NewThreadForm(const TThreadUploader &job) const
{
    const TSendData &data = *job.Data;
    TPostForm form;
    form.Add(QStringLiteral("bbs"), BBSNameOf(job));
    form.Add(QStringLiteral("time"), QString::number(data.Time));
    form.Add(QStringLiteral("subject"), data.Subject);
    form.Add(QStringLiteral("FROM"), data.Name);
    form.Add(QStringLiteral("mail"), MailOf(data));
    form.Add(QStringLiteral("MESSAGE"), data.Body);
    form.Add(QStringLiteral("submit"), QStringLiteral("新規スレッド作成"));
    return form;
}
