#include "services/ViewModePreset.h"

#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/TavuConfig.h"

#include <QFile>

namespace {

const QString CoolBar = QStringLiteral("COOLBAR1");
const QString Settings = QStringLiteral("SETTINGS");
const QString Absent = QStringLiteral("ABSENT");   // files the profile did not have

struct TBand {
    int Id;
    int Width;
    bool Break;
    const char *Caption;
};
const TBand PresetBands[] = {
    {0, 540, true, "MenuBar1"}, {1, 695, false, "ToolBar7"}, {2, 80, true, "GaishutuToolBar"},
    {3, 349, false, "MainActToolBar"}, {4, 804, false, ""},
};

// The settings the preset sets, with their values.
struct TPresetValue {
    const char *Key;
    int TTavuConfig::*Field;
    int Value;
};
const TPresetValue PresetValues[] = {
    {"SHORTCUTBARPOS", &TTavuConfig::SHORTCUTBARPOS, 0},
    {"THREADTAB_POSITION", &TTavuConfig::THREADTAB_POSITION, 1},
    {"THREADTAB_TOOLBARPOS", &TTavuConfig::THREADTAB_TOOLBARPOS, 1},
    {"BROWSERTAB_POSITION", &TTavuConfig::BROWSERTAB_POSITION, 1},
    {"BROWSERTAB_TOOLBARPOS", &TTavuConfig::BROWSERTAB_TOOLBARPOS, 1},
};

QString BackupName(const QString &name)
{
    return QString(name).replace(QStringLiteral(".ini"), QStringLiteral(".kpw10.bak"));
}

}  // namespace

TViewModePreset::TViewModePreset(TTavuConfig &config, const QString &defDir, const QString &profileDir)
    : config(config), defDir(FileUtil::WithSlash(defDir)), profileDir(FileUtil::WithSlash(profileDir))
{
}

QString TViewModePreset::StateFile() const
{
    return profileDir + QStringLiteral("kpw10.bak");
}

bool TViewModePreset::IsActive() const
{
    return QFile::exists(StateFile());
}

void TViewModePreset::Apply()
{
    if (IsActive())
        return;
    TIniFile state(StateFile());
    for (const QString &name : config.Ini.ReadSectionValues(CoolBar))
        state.WriteString(CoolBar, name.section(QLatin1Char('='), 0, 0), name.section(QLatin1Char('='), 1));
    for (const TPresetValue &value : PresetValues)
        state.WriteInteger(Settings, QString::fromLatin1(value.Key), config.*value.Field);
    for (const QString &name : {QStringLiteral("toolbar.ini"), QStringLiteral("popup.ini")})
        state.WriteBool(Absent, name, !QFile::exists(profileDir + name));
    state.UpdateFile();
    KeepFile(QStringLiteral("toolbar.ini"));
    KeepFile(QStringLiteral("popup.ini"));

    UsePreset(QStringLiteral("toolbar_kpw10.ini"), QStringLiteral("toolbar.ini"));
    UsePreset(QStringLiteral("popup_kpw10.ini"), QStringLiteral("popup.ini"));
    config.Ini.EraseSection(CoolBar);
    for (int n = 0; n < int(std::size(PresetBands)); ++n) {
        const TBand &band = PresetBands[n];
        const QString prefix = QStringLiteral("BAND%1").arg(n);
        config.Ini.WriteInteger(CoolBar, prefix + QStringLiteral("ID"), band.Id);
        config.Ini.WriteInteger(CoolBar, prefix + QStringLiteral("WD"), band.Width);
        config.Ini.WriteBool(CoolBar, prefix + QStringLiteral("BR"), band.Break);
        config.Ini.WriteString(CoolBar, prefix + QStringLiteral("CAP"), QString::fromLatin1(band.Caption));
    }
    for (const TPresetValue &value : PresetValues)
        config.*value.Field = value.Value;
}

void TViewModePreset::Restore()
{
    if (!IsActive())
        return;
    const TIniFile state(StateFile());
    config.Ini.EraseSection(CoolBar);
    for (const QString &line : state.ReadSectionValues(CoolBar))
        config.Ini.WriteString(CoolBar, line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    for (const TPresetValue &value : PresetValues)
        config.*value.Field = state.ReadInteger(Settings, QString::fromLatin1(value.Key), config.*value.Field);
    for (const QString &name : {QStringLiteral("toolbar.ini"), QStringLiteral("popup.ini")}) {
        if (state.ReadBool(Absent, name))
            QFile::remove(profileDir + name);
        else
            RestoreFile(name);
    }
    QFile::remove(StateFile());
}

void TViewModePreset::KeepFile(const QString &name)
{
    if (QFile::exists(profileDir + name))
        FileUtil::WriteFileAtomic(profileDir + BackupName(name), FileUtil::ReadFile(profileDir + name));
}

void TViewModePreset::RestoreFile(const QString &name)
{
    const QString backup = profileDir + BackupName(name);
    if (!QFile::exists(backup))
        return;
    FileUtil::WriteFileAtomic(profileDir + name, FileUtil::ReadFile(backup));
    QFile::remove(backup);
}

void TViewModePreset::UsePreset(const QString &preset, const QString &name)
{
    if (QFile::exists(defDir + preset))
        FileUtil::WriteFileAtomic(profileDir + name, FileUtil::ReadFile(defDir + preset));
}
