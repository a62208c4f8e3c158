#include "render/SkinSettings.h"

#include "core/FileUtil.h"
#include "core/IniFile.h"


namespace {

const QString DefaultSection = QStringLiteral("default");
const QString ExportSection = QStringLiteral("export_dialog");

// A stored SKINPATH as a folder path with "/" and a trailing "/".
QString ResolveSkinPath(QString path, const QString &profileDir)
{
    path = path.trimmed().replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.isEmpty())
        return QString();
    if (!path.contains(QLatin1Char('/')))
        path = FileUtil::WithSlash(profileDir) + QStringLiteral("skin/") + path;
    return FileUtil::WithSlash(path);
}

}  // namespace

QString TSkinSettings::SectionForBoard(const TIniFile &ini, const QString &siteId, const QString &boardId)
{
    const QString boardSection = siteId + QLatin1Char('_') + boardId;
    if (!siteId.isEmpty() && !boardId.isEmpty() && ini.SectionExists(boardSection))
        return boardSection;
    if (!siteId.isEmpty() && ini.SectionExists(siteId))
        return siteId;
    return DefaultSection;
}

TSkinSettings TSkinSettings::Defaults(const QString &section, const QString &profileDir)
{
    TSkinSettings s;
    s.SkinPath = ResolveSkinPath(QStringLiteral("default"), profileDir);
    s.IDPopup = section.compare(ExportSection, Qt::CaseInsensitive) != 0;
    return s;
}

TSkinSettings TSkinSettings::Read(const TIniFile &ini, const QString &section, const QString &profileDir)
{
    TSkinSettings s = Defaults(section, profileDir);
    const QString path = ResolveSkinPath(ini.ReadString(section, QStringLiteral("SKINPATH")), profileDir);
    if (!path.isEmpty())
        s.SkinPath = path;
    s.Katjusha = ini.ReadBool(section, QStringLiteral("KATJUSHA"), s.Katjusha);
    s.Varnelo10 = ini.ReadBool(section, QStringLiteral("VARNELO"), s.Varnelo10) && !s.Katjusha;
    s.IDPopup = ini.ReadBool(section, QStringLiteral("IDPOPUP"), s.IDPopup);
    s.RenderImage = ini.ReadBool(section, QStringLiteral("RENDERIMAGE"), s.RenderImage);
    s.RenderImageNewOnly = ini.ReadBool(section, QStringLiteral("RENDERIMAGENEWONLY"), s.RenderImageNewOnly);
    const int size = ini.ReadInteger(section, QStringLiteral("IMAGESIZE"), s.ImageSize);
    if (size >= 1)
        s.ImageSize = size;
    return s;
}

void TSkinSettings::Write(TIniFile &ini, const QString &section) const
{
    ini.WriteString(section, QStringLiteral("SKINPATH"), SkinPath);
    ini.WriteBool(section, QStringLiteral("KATJUSHA"), Katjusha);
    ini.WriteBool(section, QStringLiteral("VARNELO"), Varnelo10 && !Katjusha);
    ini.WriteBool(section, QStringLiteral("IDPOPUP"), IDPopup);
    ini.WriteBool(section, QStringLiteral("RENDERIMAGE"), RenderImage);
    ini.WriteBool(section, QStringLiteral("RENDERIMAGENEWONLY"), RenderImageNewOnly);
    ini.WriteInteger(section, QStringLiteral("IMAGESIZE"), ImageSize);
}
