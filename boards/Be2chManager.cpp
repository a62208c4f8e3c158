#include "boards/Be2chManager.h"

#include "boards/PostForm.h"
#include "boards/ServiceRequest.h"
#include "core/Board.h"
#include "core/Exceptions.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/MonaUtils.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "net/HttpCli.h"

#include <QRegularExpression>

TBe2chManager *Be2chManager = nullptr;

namespace {

QString Setting(const QString &key, const QString &def)
{
    return TavuConfig ? TavuConfig->Ini.ReadString(QStringLiteral("BE"), key, def) : def;
}

// The value after a label on the profile page ("残りモリタポ：123"), without tags.
QString LabelledValue(const QString &page, const QString &label)
{
    const QRegularExpression re(QRegularExpression::escape(label) + QStringLiteral("\\s*(?:<[^>]*>\\s*)*[：:]?\\s*(?:<[^>]*>\\s*)*([^<\\r\\n]*)"));
    return re.match(page).captured(1).trimmed();
}

QString TextareaValue(const QString &page, const QString &name)
{
    const QRegularExpression re(QStringLiteral("<textarea[^>]*name=\"?%1\"?[^>]*>(.*?)</textarea>").arg(name),
                                QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return MonaUtils::HtmlToText(re.match(page).captured(1));
}

QString InputValue(const QString &page, const QString &name)
{
    const QRegularExpression tag(QStringLiteral("<input[^>]*name=\"?%1\"?[^>]*>").arg(name), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression value(QStringLiteral("value=\"([^\"]*)\""), QRegularExpression::CaseInsensitiveOption);
    return MonaUtils::HtmlToText(value.match(tag.match(page).captured()).captured(1));
}

}  // namespace

TBe2chManager::TBe2chManager(QObject *parent) : QObject(parent)
{
    LoginUrl = Setting(QStringLiteral("LOGINURL"), QStringLiteral("http://be.2ch.net/index.php"));
    ProfileEditUrl = Setting(QStringLiteral("PROFILEEDITURL"), QStringLiteral("http://be.2ch.net/test/editprof.php"));
    PointUrl = Setting(QStringLiteral("POINTURL"), QStringLiteral("http://be.2ch.net/test/p.php?i=<member>&u=d:<url>&point=1"));
    ProfileUrl = Setting(QStringLiteral("PROFILEURL"), QStringLiteral("http://be.2ch.net/test/p.php?i=<member>&u=d:<url>"));
    Be2chManager = this;
}

TBe2chManager::~TBe2chManager()
{
    if (Be2chManager == this)
        Be2chManager = nullptr;
}

bool TBe2chManager::Login()
{
    if (IsLoggedIn())
        return true;
    QString mail = TavuConfig ? TavuConfig->BE_USERNAME : QString();
    QString password = TavuConfig ? TavuConfig->BE_PASSWORD : QString();
    const bool ask = AskAccount && (mail.isEmpty() || (TavuConfig && TavuConfig->BE_SHOWDIALOG));
    if ((ask && !AskAccount(mail, password)) || mail.isEmpty())
        return Fail(QStringLiteral("Be のアカウントがありません。"));
    TPostForm form;
    form.Add(QStringLiteral("m"), mail);
    form.Add(QStringLiteral("p"), password);
    form.Add(QStringLiteral("submit"), QStringLiteral("登録"));
    TServiceRequest request{LoginUrl, QString::fromLatin1(THttpCli::DefaultUserAgent), QString(), form.Encode(0),
                            ConfiguredProxy(false)};
    QStringList pairs;
    try {
        for (const QString &set : request.Run().Cookies) {
            const QString pair = set.section(u';', 0, 0).trimmed();
            if (pair.startsWith(QLatin1String("DMDM=")) || pair.startsWith(QLatin1String("MDMD=")))
                pairs << pair;
        }
    } catch (const EHttpException &e) {
        return Fail(e.Message);
    }
    if (pairs.size() < 2)
        return Fail(QStringLiteral("Be にログインできませんでした。"));
    cookie = pairs.join(QStringLiteral("; "));
    emit LoggedIn();
    return true;
}

void TBe2chManager::Logout()
{
    if (!IsLoggedIn())
        return;
    cookie.clear();
    profileHidden.clear();
    emit LoggedOut();
}

bool TBe2chManager::IsBeBoard(const TBoard *board) const
{
    if (!board || !board->Site)
        return false;
    const QString path = board->Site->FindFile(QStringLiteral("be.ini"));
    return !path.isEmpty() && TIniFile(path).ReadString(QStringLiteral("BE"), board->ID) == QLatin1String("1");
}

QString TBe2chManager::CookieFor(const TBoard *board) const
{
    if (!IsLoggedIn() || !board || !board->Site || !Site || board->Site->SITEID != Site->SITEID)
        return QString();
    const bool everyPost = TavuConfig && TavuConfig->BE_SENDLOGININFO;
    return everyPost || IsBeBoard(board) ? cookie : QString();
}

QString TBe2chManager::FillMember(const QString &text, const QString &member, const QString &url) const
{
    QString filled = text;
    filled.replace(QLatin1String("<member>"), MonaUtils::UrlEncode(member));
    filled.replace(QLatin1String("<url>"), MonaUtils::UrlEncode(url));
    return filled;
}

bool TBe2chManager::GivePoint(const QString &member, const QString &url)
{
    if (!IsLoggedIn())
        return Fail(QStringLiteral("Be にログインしていません。"));
    TServiceRequest request{FillMember(PointUrl, member, url), QString::fromLatin1(THttpCli::DefaultUserAgent), cookie,
                            QByteArray(), ConfiguredProxy(false)};
    try {
        request.Run();
    } catch (const EHttpException &e) {
        return Fail(e.Message);
    }
    return true;
}

void TBe2chManager::ShowProfile(const QString &member, const QString &url)
{
    if (OpenUrl)
        OpenUrl(FillMember(ProfileUrl, member, url), QStringLiteral("Be プロフィール"));
}

bool TBe2chManager::LoadProfileForm(TBeProfile &profile)
{
    if (!IsLoggedIn())
        return Fail(QStringLiteral("Be にログインしていません。"));
    TServiceRequest request{ProfileEditUrl, QString::fromLatin1(THttpCli::DefaultUserAgent), cookie, QByteArray(),
                            ConfiguredProxy(false)};
    QString page;
    try {
        page = jconvert::Decode(request.Run().Body, jconvert::UNKNOWN);
    } catch (const EHttpException &e) {
        return Fail(e.Message);
    }
    profile.Points = LabelledValue(page, QStringLiteral("残りモリタポ"));
    profile.Rank = LabelledValue(page, QStringLiteral("評価"));
    profile.Name = InputValue(page, QStringLiteral("name"));
    profile.Introduction = TextareaValue(page, QStringLiteral("intro"));
    profileHidden = PostReply::HiddenFields(page);
    return true;
}

bool TBe2chManager::SaveProfile(const TBeProfile &profile)
{
    if (!IsLoggedIn())
        return Fail(QStringLiteral("Be にログインしていません。"));
    TPostForm form;
    for (const auto &field : profileHidden)
        form.Add(field.first, field.second);
    form.Add(QStringLiteral("name"), profile.Name);
    form.Add(QStringLiteral("intro"), profile.Introduction);
    TServiceRequest request{ProfileEditUrl, QString::fromLatin1(THttpCli::DefaultUserAgent), cookie, form.Encode(0),
                            ConfiguredProxy(false)};
    try {
        if (jconvert::Decode(request.Run().Body, jconvert::UNKNOWN).contains(QStringLiteral("完了")))
            return true;
    } catch (const EHttpException &e) {
        return Fail(e.Message);
    }
    return Fail(QStringLiteral("プロフィールを保存できませんでした。"));
}

bool TBe2chManager::Fail(const QString &message)
{
    emit Error(message);
    return false;
}
