#include "services/SkinAssignments.h"

#include <QDir>

TSkinAssignments::TSkinAssignments(const QString &profileDir)
    : profileDir(profileDir), ini(profileDir + QStringLiteral("skin.ini"))
{
}

QStringList TSkinAssignments::SpecialSections()
{
    return {QStringLiteral("siori_manager"), QStringLiteral("linkextract_dialog"),
            QStringLiteral("senddialog_preview"), QStringLiteral("export_dialog")};
}

QStringList TSkinAssignments::SkinFolders() const
{
    QStringList names = QDir(profileDir + QStringLiteral("skin/")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    names.removeIf([](const QString &name) { return name.compare(QStringLiteral("module"), Qt::CaseInsensitive) == 0; });
    return names;
}

QString TSkinAssignments::SkinDir(const QString &name) const
{
    return profileDir + QStringLiteral("skin/") + name + QLatin1Char('/');
}

QString TSkinAssignments::DisplayName(const QString &section) const
{
    QString path = ini.ReadString(section, QStringLiteral("SKINPATH"));
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString TSkinAssignments::SelectedSkin(const QString &section) const
{
    if (!HasSection(section))
        return {};
    const QString path = Read(section).SkinPath;
    for (const QString &name : SkinFolders()) {
        if (SkinDir(name).compare(path, Qt::CaseInsensitive) == 0)
            return name;
    }
    return {};
}

bool TSkinAssignments::HasSection(const QString &section) const
{
    return ini.SectionExists(section);
}

TSkinSettings TSkinAssignments::Read(const QString &section) const
{
    return TSkinSettings::Read(ini, section, profileDir);
}

void TSkinAssignments::Assign(const QString &section, const TSkinSettings &settings)
{
    settings.Write(ini, section);
    ini.UpdateFile();
}

void TSkinAssignments::Erase(const QString &section)
{
    ini.EraseSection(section);
    ini.UpdateFile();
}
