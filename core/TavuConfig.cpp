#include "core/TavuConfig.h"

#include "core/DataRoot.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"

#include <QDateTime>
#include <QDir>
#include <QtDebug>

TTavuConfig *TavuConfig = nullptr;

namespace {

const QString MainSection = QStringLiteral("VARNELO");
const QString CachedKey = QStringLiteral("CACHED");
const QString DefaultProfileName = QStringLiteral("defuser");
constexpr int FallbackColumnWidth = 100;

// ---- reading values: a value that does not parse keeps the default ----

QString ReadText(const TIniFile &ini, const char *section, const char *key, const QString &def)
{
    return ini.ReadString(QLatin1String(section), QLatin1String(key), def);
}

qint64 ReadInt64(const TIniFile &ini, const char *section, const char *key, qint64 def)
{
    bool ok = false;
    const qint64 value = ReadText(ini, section, key, QString()).trimmed().toLongLong(&ok);
    return ok ? value : def;
}

int ReadInt(const TIniFile &ini, const char *section, const char *key, int def)
{
    bool ok = false;
    const int value = ReadText(ini, section, key, QString()).trimmed().toInt(&ok);
    return ok ? value : def;
}

// "1"/"0" as the file stores them; any other integer counts by being non-zero; "true"/"false" too.
bool ReadBool(const TIniFile &ini, const char *section, const char *key, bool def)
{
    const QString text = ReadText(ini, section, key, QString()).trimmed();
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    if (ok)
        return number != 0;
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return def;
}

TColor ReadColor(const TIniFile &ini, const char *section, const char *key, const char *def)
{
    bool ok = false;
    const TColor color = StringToColor(ReadText(ini, section, key, QString()).trimmed(), &ok);
    return ok ? color : StringToColor(QString::fromUtf8(def), nullptr);
}

template <size_t N>
void ReadIntList(const TIniFile &ini, const char *section, const char *prefix, int def, std::array<int, N> &list)
{
    for (size_t i = 0; i < N; ++i) {
        const QByteArray key = QByteArray(prefix) + QByteArray::number(qulonglong(i));
        list[i] = ReadInt(ini, section, key.constData(), def);
    }
}

template <size_t N>
void WriteIntList(TIniFile &ini, const char *section, const char *prefix, const std::array<int, N> &list)
{
    for (size_t i = 0; i < N; ++i)
        ini.WriteInteger(QLatin1String(section), QLatin1String(prefix) + QString::number(i), list[i]);
}

template <size_t N>
int ListItem(const std::array<int, N> &list, int index)
{
    return index >= 0 && size_t(index) < N ? list[size_t(index)] : FallbackColumnWidth;
}

template <size_t N>
void SetListItem(std::array<int, N> &list, int index, int value)
{
    if (index >= 0 && size_t(index) < N)
        list[size_t(index)] = value;
}

// ---- paths: held full, stored relative to a base folder (which ends in "/") ----

QString ExpandPath(QString stored, const QString &base)
{
    if (stored.isEmpty())
        return stored;
    stored.replace(QLatin1Char('\\'), QLatin1Char('/'));   // values written on Windows
    return QDir::cleanPath(QDir::isAbsolutePath(stored) ? stored : base + stored);
}

QString ExpandDir(const QString &stored, const char *def, const QString &base)
{
    const QString value = stored.trimmed().isEmpty() ? QString::fromUtf8(def) : stored;
    return FileUtil::WithSlash(ExpandPath(value, base));
}

QString RelativePath(const QString &full, const QString &base)
{
    if (full.isEmpty() || !FileUtil::WithSlash(full).startsWith(base))
        return full;
    const QString relative = full.mid(base.size());
    return relative.isEmpty() ? QStringLiteral("./") : relative;   // the base folder itself
}

// A folder is written with its trailing "/"; an empty one stays empty (and loads as the default).
QString StoredDir(const QString &full, const QString &base)
{
    return full.isEmpty() ? full : RelativePath(FileUtil::WithSlash(full), base);
}

// ---- the profile choice ----

// A profile is one plain folder under users/: a name that could reach elsewhere is refused.
bool IsSafeProfileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && !name.contains(QChar(0));
}

QString LoginName()
{
    for (const char *variable : {"USER", "LOGNAME"}) {
        const QString name = qEnvironmentVariable(variable).trimmed();
        if (!name.isEmpty())
            return name;
    }
    return QString();
}

// zevovuv.ini, section ZEVOVUV: MODE on chooses NAME; otherwise (or when NAME is not a usable
// folder name) the login name, and "defuser" when that cannot be read either.
QString ProfileName(const QString &appDir)
{
    const TIniFile choice(appDir + QStringLiteral("zevovuv.ini"));
    if (ReadBool(choice, "ZEVOVUV", "MODE", false)) {
        const QString name = ReadText(choice, "ZEVOVUV", "NAME", QString()).trimmed();
        if (IsSafeProfileName(name))
            return name;
        qWarning().noquote() << "zevovuv.ini: unusable profile name" << name;
    }
    const QString login = LoginName();
    return IsSafeProfileName(login) ? login : DefaultProfileName;
}

}  // namespace

TTavuConfig::TTavuConfig() : TTavuConfig(SteadyNowMs)
{
}

TTavuConfig::TTavuConfig(TSteadyClock workClock) : workClock(std::move(workClock))
{
    Load();
    workStretchStart = this->workClock();
}

TTavuConfig::~TTavuConfig()
{
    try {
        Save();
    } catch (const EVarnelo &e) {
        qWarning().noquote() << e.Message;
    }
}

// ---- folders ----

QString TTavuConfig::GetProfileDir() const
{
    const QString appDir = AppDir();
    return appDir + QStringLiteral("users/") + ProfileName(appDir) + QLatin1Char('/');
}

QString TTavuConfig::AppDir()
{
    return DataRoot::AppDir();
}

QString TTavuConfig::LogDir() const
{
    return LOG;
}

QString TTavuConfig::GetTempDir() const
{
    const QString dir = AppDir() + QStringLiteral("temp/");
    FileUtil::ForceDirectories(dir);
    return dir;
}

// ---- load and save ----

void TTavuConfig::Load()
{
    const QString profileDir = GetProfileDir();
    FileUtil::ForceDirectories(profileDir);
    DataRoot::CopyIfMissing(AppDir() + QStringLiteral("def/kpw.ini"), profileDir + QStringLiteral("kpw.ini"));
    LoadIniText(profileDir);
    loadedProfileDir = profileDir;

    const bool runCached = CACHED;
    ReadFields();
    ApplyDerivedDefaults();
    if (CachedOverride)
        CACHED = runCached;
}

// Reads kpw.ini into Ini and leaves the copy kpw.bak. A kpw.ini without any section (empty,
// half-written or garbage) must not replace the last good copy; its settings come from that copy.
// Such a file is told in LoadMessages and, unless empty, kept aside as kpw.ini.damaged before the
// next save replaces it; a kpw.ini that cannot be read at all is not written over.
void TTavuConfig::LoadIniText(const QString &profileDir)
{
    const QString file = profileDir + QStringLiteral("kpw.ini");
    const QString backup = profileDir + QStringLiteral("kpw.bak");
    loadMessages.clear();
    Ini.Clear();
    Ini.SetFileName(file);
    const bool read = Ini.Load();
    if (!Ini.ReadSections().isEmpty()) {
        QString failure;
        if (!FileUtil::MakeBackup(file, backup, &failure))
            loadMessages << failure;
        return;
    }
    if (Ini.ReadFailed()) {
        loadMessages << QStringLiteral("設定ファイルを読めませんでした（ファイルは上書きせずそのまま残します）：%1").arg(file);
        return;
    }
    if (read)
        KeepDamagedIni(file);
    const TIniFile lastGood(backup);
    if (lastGood.ReadSections().isEmpty()) {
        Ini.SetText(QString());
        return;
    }
    if (read)
        loadMessages << QStringLiteral("設定は前回のコピー %1 から読み込みました。").arg(backup);
    Ini.SetText(lastGood.Text());
}

// A kpw.ini that holds text but no section goes aside, so that the settings saved over it do not
// take the only copy of what it held.
void TTavuConfig::KeepDamagedIni(const QString &file)
{
    const QByteArray bytes = FileUtil::ReadFile(file);
    if (bytes.trimmed().isEmpty()) {
        loadMessages << QStringLiteral("設定ファイルが空でした：%1").arg(file);
        return;
    }
    const QString aside = file + QStringLiteral(".damaged");
    try {
        FileUtil::WriteFileAtomic(aside, bytes);
        loadMessages << QStringLiteral("設定ファイルを読めませんでした。元のファイルは %1 に残してあります。").arg(aside);
    } catch (const EFileError &e) {
        loadMessages << e.Message;
    }
}

void TTavuConfig::ReadFields()
{
    const QString appDir = AppDir();
    const QString &profileDir = loadedProfileDir;
#define CFG_INT(field, section, key, def) field = ReadInt(Ini, section, key, def);
#define CFG_INT64(field, section, key, def) field = ReadInt64(Ini, section, key, def);
#define CFG_BOOL(field, section, key, def) field = ReadBool(Ini, section, key, def);
#define CFG_STR(field, section, key, def) field = ReadText(Ini, section, key, QStringLiteral(def));
#define CFG_PATH(field, section, key, def) \
    field = ExpandPath(ReadText(Ini, section, key, QStringLiteral(def)), profileDir);
#define CFG_APPPATH(field, section, key, def) \
    field = ExpandPath(ReadText(Ini, section, key, QStringLiteral(def)), appDir);
#define CFG_DIR(field, section, key, def) field = ExpandDir(ReadText(Ini, section, key, QString()), def, profileDir);
#define CFG_COLOR(field, section, key, def) field = ReadColor(Ini, section, key, def);
#define CFG_COLOR_INT(field, section, key, def) field = ReadColor(Ini, section, key, def);
#define CFG_INT_LIST(field, section, prefix, count, def) ReadIntList(Ini, section, prefix, def, field);
#include "core/ConfigKeys.def"
}

// Defaults that depend on other values.
void TTavuConfig::ApplyDerivedDefaults()
{
    if (!Ini.ValueExists(MainSection, QStringLiteral("SAVEHIST_SEND")))
        SAVEHIST_SEND = SAVEHIST;
    if (VOZADAZOZ_START_DATE.isEmpty())
        VOZADAZOZ_START_DATE = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
}

void TTavuConfig::Save()
{
    FoldWorkTime();
    const bool hadCached = Ini.ValueExists(MainSection, CachedKey);
    const QString storedCached = Ini.ReadString(MainSection, CachedKey);
    WriteFields();
    if (CachedOverride) {
        if (hadCached)
            Ini.WriteString(MainSection, CachedKey, storedCached);
        else
            Ini.DeleteKey(MainSection, CachedKey);
    }
    Ini.UpdateFile();
    QString failure;
    if (!FileUtil::MakeBackup(Ini.FileName(), loadedProfileDir + QStringLiteral("kpw.bak"), &failure))
        throw EFileError(failure);
}

void TTavuConfig::WriteFields()
{
    const QString appDir = AppDir();
    const QString &profileDir = loadedProfileDir;
#define CFG_KEY(section, key) QLatin1String(section), QLatin1String(key)
#define CFG_INT(field, section, key, def) Ini.WriteInteger(CFG_KEY(section, key), field);
#define CFG_INT64(field, section, key, def) Ini.WriteInteger(CFG_KEY(section, key), field);
#define CFG_BOOL(field, section, key, def) Ini.WriteBool(CFG_KEY(section, key), field);
#define CFG_STR(field, section, key, def) Ini.WriteString(CFG_KEY(section, key), field);
#define CFG_PATH(field, section, key, def) Ini.WriteString(CFG_KEY(section, key), RelativePath(field, profileDir));
#define CFG_APPPATH(field, section, key, def) Ini.WriteString(CFG_KEY(section, key), RelativePath(field, appDir));
#define CFG_DIR(field, section, key, def) Ini.WriteString(CFG_KEY(section, key), StoredDir(field, profileDir));
#define CFG_COLOR(field, section, key, def) Ini.WriteString(CFG_KEY(section, key), ColorToString(field));
#define CFG_COLOR_INT(field, section, key, def) Ini.WriteInteger(CFG_KEY(section, key), field);
#define CFG_INT_LIST(field, section, prefix, count, def) WriteIntList(Ini, section, prefix, field);
#include "core/ConfigKeys.def"
#undef CFG_KEY
}

// ---- working time ----

void TTavuConfig::FoldWorkTime()
{
    const qint64 now = workClock();
    VOZADAZOZ_WORKTIME += now - workStretchStart;
    workStretchStart = now;
}

qint64 TTavuConfig::GetTotalWorkTime() const
{
    return VOZADAZOZ_WORKTIME + workClock() - workStretchStart;
}

// ---- statistics ----

void TTavuConfig::SetAppStartCount(qint64 value) { VOZADAZOZ_APPSTARTCOUNT = value; }
void TTavuConfig::SetLoadBoardCount(qint64 value) { VOZADAZOZ_LOAD_BOARD_COUNT = value; }
void TTavuConfig::SetLoadThreadCount(qint64 value) { VOZADAZOZ_LOAD_THREAD_COUNT = value; }
void TTavuConfig::SetLoadResCount(qint64 value) { VOZADAZOZ_LOAD_RES_COUNT = value; }
void TTavuConfig::SetSendCount(qint64 value) { VOZADAZOZ_SEND_COUNT = value; }
void TTavuConfig::SetNewThreadCount(qint64 value) { VOZADAZOZ_NEWTHREAD_COUNT = value; }
void TTavuConfig::SetCloseTab(qint64 value) { VOZADAZOZ_CLOSETAB = value; }

// ---- indexed column widths ----

int TTavuConfig::GetActionColWidth(int index) const { return ListItem(DESKTOP_ACTIONCOLWIDTH, index); }
void TTavuConfig::SetActionColWidth(int index, int width) { SetListItem(DESKTOP_ACTIONCOLWIDTH, index, width); }
int TTavuConfig::GetFavColumnWidth(int index) const { return ListItem(DESKTOP_FAVCOLUMNWIDTH, index); }
void TTavuConfig::SetFavColumnWidth(int index, int width) { SetListItem(DESKTOP_FAVCOLUMNWIDTH, index, width); }
int TTavuConfig::GetHistColumnWidth(int index) const { return ListItem(DESKTOP_HISTDIALOG_COLUMNWIDTH, index); }
void TTavuConfig::SetHistColumnWidth(int index, int width) { SetListItem(DESKTOP_HISTDIALOG_COLUMNWIDTH, index, width); }

int TTavuConfig::GetColumnSize(const QString &columnKey) const
{
    bool ok = false;
    const int width = Ini.ReadString(QStringLiteral("COLUMNSIZE"), columnKey).trimmed().toInt(&ok);
    return ok ? width : -1;
}

void TTavuConfig::SetColumnSize(const QString &columnKey, int width)
{
    Ini.WriteInteger(QStringLiteral("COLUMNSIZE"), columnKey, width);
}
