#include "services/OutsidePage.h"

#include "boards/ServiceRequest.h"
#include "core/Exceptions.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "net/HttpCli.h"
#include "net/HttpSettings.h"

TOutsidePage FetchOutsidePage(const QString &url)
{
    TOutsidePage page;
    TServiceRequest request{url, QString::fromLatin1(THttpCli::DefaultUserAgent), QString(), QByteArray(),
                            ConfiguredProxy(false)};
    try {
        const TServiceReply reply = request.Run();
        page.Status = reply.Status;
        if (reply.Status == 200)
            page.Body = reply.Body;
        else
            page.Error = FetchError(url, QStringLiteral("HTTP %1").arg(reply.Status));
    } catch (const EHttpException &e) {
        page.Status = e.StatusCode;
        page.Error = FetchError(url, e.Message);
    }
    return page;
}

QString FetchError(const QString &url, const QString &reason)
{
    return QStringLiteral("取得に失敗しました: %1 (%2)").arg(url, reason);
}

QString UnknownPageFormat(const QString &url)
{
    return QStringLiteral("応答の形式が違います: %1").arg(url);
}

TSite *ServiceSite(const QString &siteId, QString &error)
{
    TSite *site = TavuEnviron ? TavuEnviron->SiteList()->FindBySiteID(siteId) : nullptr;
    if (!site)
        error = QStringLiteral("サイト %1 が登録されていません。").arg(siteId);
    return site;
}
