#include "boards/PostRequest.h"

#include "boards/CookieStore.h"
#include "core/MonaUtils.h"
#include "core/ResUploader.h"
#include "core/Tavutils.h"
#include "net/TavuHttp.h"

namespace {
const QString OfflineMessage = QStringLiteral("オフライン状態では実行できません。");
const QString ErrorPageMessage = QStringLiteral("書き込みエラーです。");
}  // namespace

TPostRequest::TPostRequest(TResUploader *job, const QString &url, const TPostForm &form, const QString &referer,
                           const QString &agent, const QString &extraCookie, int codePage)
    : job(job), url(url), form(form), referer(referer), agent(agent), extraCookie(extraCookie), codePage(codePage)
{
}

void TPostRequest::Start()
{
    Send();
}

void TPostRequest::Send()
{
    page.clear();
    errorCode = 0;
    TTavuHttp *http = NewHttp(url, job->Board, agent, job, TRequestKind::Page);
    http->Referer = referer;
    http->Cookie = CookieHeader();
    http->OnLine = [this](TTavuHttp *, void *, const QByteArray &line, qint64, qint64) { page += line + '\n'; };
    http->OnError = [this](TTavuHttp *, void *, int code, const QString &message, const QString &) {
        errorCode = code;
        errorMessage = message;
        NoteFailure(code, message);
    };
    http->OnDone = [this](TTavuHttp *, void *, bool failed) { Answered(failed); };
    http->Post(form.Encode(codePage));
}

// The kept cookies of the host, those the confirmation set (also when they could not be kept), and
// the extra ones.
QString TPostRequest::CookieHeader() const
{
    QStringList pairs;
    const QString kept = CookieStore::CookieHeader(MonaUtils::ExtractUrlHost(url));
    if (!kept.isEmpty())
        pairs << kept;
    for (const QString &pair : confirmCookies) {
        if (!(QStringLiteral("; ") + kept).contains(QStringLiteral("; ") + pair.section(u'=', 0, 0) + u'='))
            pairs << pair;
    }
    if (!extraCookie.isEmpty())
        pairs << extraCookie;
    return pairs.join(QStringLiteral("; "));
}

void TPostRequest::Answered(bool failed)
{
    TTavuHttp *http = Http();
    CookieStore::Store(MonaUtils::ExtractUrlHost(url), http->Cookies());
    if (http->IsNotModified())
        return Cancelled(OfflineMessage);
    if (failed && http->StatusCode() < 300)
        return Cancelled(errorMessage);   // no answer from the server
    if (failed)
        return FailedWithPage(errorCode, errorMessage, MonaUtils::TextToHtml(errorMessage));

    const QString text = Tavutils::ConvertToSjis(codePage, page);
    switch (PostReply::Classify(text)) {
    case PostReply::Success:
        return Succeeded();
    case PostReply::Confirm:
        if (!confirmed) {
            confirmed = true;
            for (const QString &set : http->Cookies())
                confirmCookies << set.section(u';', 0, 0).trimmed();
            for (const auto &field : PostReply::HiddenFields(text))
                form.AddMissing(field.first, field.second);
            return Send();
        }
        break;
    case PostReply::Error:
        break;
    }
    QString message = PostReply::Reason(text);
    if (message.isEmpty())
        message = PostReply::Title(text);
    FailedWithPage(http->StatusCode(), message.isEmpty() ? ErrorPageMessage : message, text);
}

void TPostRequest::Succeeded()
{
    if (!std::exchange(reported, true) && job->OnDone)
        job->OnDone(job, false);
    End();
}

void TPostRequest::FailedWithPage(int code, const QString &message, const QString &pageText)
{
    if (!std::exchange(reported, true) && job->OnError)
        job->OnError(job, code, message, pageText);
    End();
}

void TPostRequest::Cancelled(const QString &message)
{
    if (!std::exchange(reported, true) && job->OnCancel)
        job->OnCancel(job, message);
    End();
}
