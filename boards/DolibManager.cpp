#include "boards/DolibManager.h"

#include "boards/ServiceRequest.h"
#include "core/Exceptions.h"
#include "core/MonaUtils.h"
#include "core/TavuConfig.h"
#include "net/HttpCli.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QThread>

TDolibManager *DolibManager = nullptr;

namespace {
const QString LoginAgent = QStringLiteral("DOLIB/1.00");
const QString SessionPrefix = QStringLiteral("SESSION-ID=");

// The proxy of the login: none, the reading proxy (PROXY_VARNELO) or the login's own
// (PROXY_CUSTOM with PROXYADDRESS and PROXYPORT), when [DOLIB] USERPROXY asks for one.
THttpProxy LoginProxy()
{
    if (!TavuConfig || !TavuConfig->DOLIB_USERPROXY)
        return THttpProxy();
    if (TavuConfig->DOLIB_PROXY_VARNELO)
        return ConfiguredProxy(false);
    if (!TavuConfig->DOLIB_PROXY_CUSTOM)
        return THttpProxy();
    THttpProxy proxy;
    proxy.Host = TavuConfig->DOLIB_PROXYADDRESS.trimmed();
    proxy.Port = TavuConfig->DOLIB_PROXYPORT;
    return proxy;
}
}  // namespace

TDolibManager::TDolibManager(QObject *parent) : QObject(parent)
{
    LoginUrl = TavuConfig ? TavuConfig->Ini.ReadString(QStringLiteral("DOLIB"), QStringLiteral("LOGINURL"), DefaultLoginUrl())
                          : DefaultLoginUrl();
    DolibManager = this;
}

TDolibManager::~TDolibManager()
{
    if (DolibManager == this)
        DolibManager = nullptr;
}

QString TDolibManager::DefaultLoginUrl()
{
    return QStringLiteral("https://2chv.tora3.net/futen.cgi");
}

bool TDolibManager::IsLoggedIn() const
{
    QMutexLocker locker(&lock);
    return !sessionId.isEmpty();
}

QString TDolibManager::SessionId() const
{
    QMutexLocker locker(&lock);
    return sessionId;
}

QString TDolibManager::UserAgent()
{
    const QString program = QString::fromLatin1(THttpCli::DefaultUserAgent);
    if (DolibManager) {
        QMutexLocker locker(&DolibManager->lock);
        if (!DolibManager->sessionId.isEmpty())
            return DolibManager->agentPart + program;
    }
    return QStringLiteral("Vozadazoz/%1 (%2)").arg(QStringLiteral("1.00"), program);
}

bool TDolibManager::Account(QString &user, QString &password) const
{
    if (TavuConfig) {
        user = TavuConfig->DOLIB_USERNAME;
        password = TavuConfig->DOLIB_PASSWORD;
    }
    const bool onGui = QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
    const bool ask = AskAccount && onGui && (user.isEmpty() || (TavuConfig && TavuConfig->DOLIB_SHOWDIALOG));
    if (ask && !AskAccount(user, password))
        return false;
    return !user.isEmpty();
}

bool TDolibManager::Login()
{
    if (IsLoggedIn())
        return true;
    QString user, password;
    if (!Account(user, password))
        return Fail(QStringLiteral("ログインするIDがありません。"));
    TServiceRequest request;
    request.Url = LoginUrl;
    request.Agent = LoginAgent;
    request.Form = (QStringLiteral("ID=") + MonaUtils::UrlEncode(user) + QStringLiteral("&PW=") + MonaUtils::UrlEncode(password))
                       .toLatin1();
    request.Proxy = LoginProxy();
    QString reply;
    try {
        reply = QString::fromLatin1(request.Run().Body).section(u'\n', 0, 0).trimmed();
    } catch (const EHttpException &e) {
        return Fail(e.Message);
    }
    const QString session = reply.startsWith(SessionPrefix) ? reply.mid(SessionPrefix.size()) : QString();
    if (session.isEmpty() || session.startsWith(QLatin1String("ERROR")) || !session.contains(u':'))
        return Fail(QStringLiteral("ログインに失敗しました。IDとパスワードを確かめてください。"));
    {
        QMutexLocker locker(&lock);
        sessionId = session;
        agentPart = session.section(u':', 0, 0);
    }
    emit LoggedIn();
    return true;
}

void TDolibManager::Logout()
{
    {
        QMutexLocker locker(&lock);
        if (sessionId.isEmpty())
            return;
        sessionId.clear();
        agentPart.clear();
    }
    emit LoggedOut();
}

bool TDolibManager::Fail(const QString &message)
{
    emit LoginFailed(message);
    return false;
}
