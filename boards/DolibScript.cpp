#include "boards/DolibScript.h"

#include "boards/DolibManager.h"
#include "core/Board.h"
#include "core/MonaUtils.h"
#include "core/ThreadItem.h"
#include "core/ThreadUploader.h"

namespace {
const QString DefaultOfflawTemplate = QStringLiteral("http://<host>/test/offlaw.cgi/<bbs>/<key>/?raw=0.0&sid=<sid>");

// The session id of the past-log login; empty while logged out.
QString SessionId()
{
    return DolibManager && DolibManager->IsLoggedIn() ? DolibManager->SessionId() : QString();
}

void AddSession(TPostForm &form)
{
    const QString sid = SessionId();
    if (!sid.isEmpty())
        form.Add(QStringLiteral("sid"), sid);
}
}  // namespace

QList<T2chScript::TPastLogSource> TDolibScript::PastLogSources(const TThreadItem *item) const
{
    QList<TPastLogSource> sources;
    const TBoard *board = item ? item->GetBoard() : nullptr;
    const QString sid = SessionId();
    if (board && !sid.isEmpty()) {
        QString text = GetTemplate(QStringLiteral("OFFLAW"), HostOf(board), board->Site);
        if (text.isEmpty())
            text = DefaultOfflawTemplate;
        QMap<QString, QString> values = TemplateValues(board, item->GetKey());
        values.insert(QStringLiteral("<sid>"), MonaUtils::UrlEncode(sid));
        sources.append({FillTemplate(text, values), true});
    }
    return sources + T2chScript::PastLogSources(item);
}

TPostForm TDolibScript::ReplyForm(const TResUploader &job) const
{
    TPostForm form = T2chScript::ReplyForm(job);
    AddSession(form);
    return form;
}

TPostForm TDolibScript::NewThreadForm(const TThreadUploader &job) const
{
    TPostForm form = T2chScript::NewThreadForm(job);
    AddSession(form);
    return form;
}
