#include "core/Board.h"

#include "core/DatLine.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/TavuConfig.h"

#include <QUrl>

namespace {
constexpr int MaxSafeNameLength = 128;

bool IsSafeChar(QChar c)
{
    if (c.unicode() >= 0x80)
        return false;
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('-') || c == QLatin1Char('.')
        || c == QLatin1Char('@') || c == QLatin1Char('+');
}
}  // namespace

void TBoard::Assign(const TBoard &other)
{
    const bool exists = LogFolderExists;
    ID = other.ID;
    BBSName = other.BBSName;
    Name = other.Name;
    URL = other.URL;
    HostPath = other.HostPath;
    Category = other.Category;
    Kind = other.Kind;
    BBS = other.BBS;
    Site = other.Site;
    CodePage = other.CodePage;
    LogFolder = other.LogFolder;
    Opened = other.Opened;
    loaded = other.loaded;
    LogFolderExists = exists;
}

QString TBoard::GetLogDir() const
{
    if (!LogFolder.isEmpty())
        return FileUtil::WithSlash(LogFolder);
    if (Kind == KIND_LOCAL && !HostPath.isEmpty())
        return FileUtil::WithSlash(HostPath);
    if (!Site)
        return QString();
    if (Kind == KIND_FAVORITES)
        return Site->GetDir();
    return Site->GetLogDir() + SafePathPart(ID) + QLatin1Char('/');
}

QString TBoard::GetDir() const
{
    const int slash = HostPath.indexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : HostPath.mid(slash + 1);
}

QString TBoard::GetHost() const
{
    const QUrl url(URL);
    if (!url.host().isEmpty())
        return url.port() == -1 ? url.host() : url.host() + QLatin1Char(':') + QString::number(url.port());
    return HostPath.section(QLatin1Char('/'), 0, 0);
}

QString TBoard::DerivedUrl() const
{
    switch (Kind) {
    case KIND_NORMAL:
    case KIND_RSS:
        return QStringLiteral("http://") + HostPath + QLatin1Char('/') + BBSName + QLatin1Char('/');
    case KIND_WWW:
    case KIND_LOCAL:
        return HostPath;
    default:
        return QString();
    }
}

int TBoard::DerivedKind() const
{
    if (HostPath == QLatin1String("<favorites>"))
        return KIND_FAVORITES;
    if (Site && Site->Kind == TSite::KIND_LOCAL)
        return KIND_LOCAL;
    if (Site && Site->Kind == TSite::KIND_RSS)
        return KIND_RSS;
    return KIND_NORMAL;
}

QString TBoard::LookupSubjectTitle(const QString &key) const
{
    const QString dir = GetLogDir();
    if (dir.isEmpty() || key.isEmpty())
        return QString();
    const QString wanted = key + QStringLiteral(".dat");
    const QByteArray bytes = FileUtil::ReadFile(dir + QStringLiteral("subject.txt"));
    for (const QByteArray &line : SplitLogLines(bytes)) {
        TSubjectLine subject;
        if (ParseSubjectLine(jconvert::SjisToUnicode(line), subject) && subject.DatName == wanted)
            return subject.Title;
    }
    return QString();
}

QString TBoard::ReadBasicAuth(const QString &key) const
{
    if (!Site || !TavuConfig)
        return QString();
    const TIniFile ini(TavuConfig->GetProfileDir() + QStringLiteral("config/_BasicAuthorization.ini"));
    return ini.ReadString(Site->SITEID + ID, key);
}

QString TBoard::GetBasicAuthUserName() const
{
    return ReadBasicAuth(QStringLiteral("USERNAME"));
}

QString TBoard::GetBasicAuthPassword() const
{
    return ReadBasicAuth(QStringLiteral("PASSWORD"));
}

bool TBoard::IsSafePathPart(const QString &text)
{
    if (text.isEmpty() || text.size() > MaxSafeNameLength || text.startsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : text) {
        if (!IsSafeChar(c))
            return false;
    }
    return true;
}

QString TBoard::SafePathPart(const QString &text)
{
    QString result = text.left(MaxSafeNameLength);
    for (QChar &c : result) {
        if (!IsSafeChar(c))
            c = QLatin1Char('_');
    }
    if (result.isEmpty() || result.startsWith(QLatin1Char('.')))
        result.replace(0, result.isEmpty() ? 0 : 1, QLatin1Char('_'));
    return result;
}
