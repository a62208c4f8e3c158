#pragma once
// TTavuConfig: the one configuration object of the run (global TavuConfig).
//
// Every setting of kpw.ini is a public field, declared from the table in core/ConfigKeys.def: the
// field is named as the key for section VARNELO (TavuConfig->THREADLISTCOUNT) and SECTION_KEY for
// the other sections (TavuConfig->PROXY_HOST, TavuConfig->DESKTOP_ACTWIN_LEFT). Callers read and write
// the fields directly; Load and Save move all of them from and to the file.
//
// kpw.ini lives in the profile folder, users/<name>/ under the program folder; the name comes from
// zevovuv.ini of the program folder (section ZEVOVUV: MODE on -> NAME; otherwise the login name, or
// "defuser" when there is none). The file is held in memory in Ini; sections and keys that the
// program does not know stay there and are written back unchanged by Save.

#include "core/Colors.h"
#include "core/IniFile.h"
#include "core/SteadyClock.h"

#include <QString>
#include <QStringList>
#include <array>

class TTavuConfig {
public:
    // Loads kpw.ini (seeding it from def/kpw.ini of the program folder when the profile has none)
    // and starts the stopwatch of this run's working time, which reads the clock given.
    TTavuConfig();
    explicit TTavuConfig(TSteadyClock workClock);
    // Saves once more; a failed write is only reported to the debug output.
    ~TTavuConfig();
    TTavuConfig(const TTavuConfig &) = delete;
    TTavuConfig &operator=(const TTavuConfig &) = delete;

#define CFG_INT(field, section, key, def) int field = def;
#define CFG_INT64(field, section, key, def) qint64 field = def;
#define CFG_BOOL(field, section, key, def) bool field = def;
#define CFG_STR(field, section, key, def) QString field = QStringLiteral(def);
#define CFG_PATH(field, section, key, def) QString field;
#define CFG_APPPATH(field, section, key, def) QString field;
#define CFG_DIR(field, section, key, def) QString field;
#define CFG_COLOR(field, section, key, def) TColor field = StringToColor(QStringLiteral(def));
#define CFG_COLOR_INT(field, section, key, def) TColor field = StringToColor(QStringLiteral(def));
#include "core/ConfigKeys.def"

    // Reads every field again from kpw.ini (values changed since the last save are lost), leaving a
    // copy of the file as kpw.bak (a copy that cannot be written is told in LoadMessages). A value that does not parse keeps its default. A kpw.ini that
    // holds no section at all (empty or garbage) is not copied over kpw.bak; the settings are then
    // taken from kpw.bak when that holds any, so the next save restores them.
    void Load();
    // Writes every field into Ini and Ini atomically to kpw.ini, then the same file as kpw.bak, so
    // that the copy is always the last good save; raises EFileError when either cannot be written
    // (kpw.ini is then left as it was, or kpw.bak).
    void Save();
    // What the last Load has to tell the user: a kpw.ini that could not be read, where it was kept
    // and where the settings came from instead.
    const QStringList &LoadMessages() const { return loadMessages; }

    // The in-memory kpw.ini. Writes through it reach the file with the next Save
    // (sections SHORTCUT, SHORTCUT_<form>, COOLBAR1, SENDWIN_COOLBAR1, NINKINET cookies...).
    TIniFile Ini;

    // CACHED holds a value for this run only (the "-n" start): Save keeps the stored value and Load
    // keeps the one in memory.
    bool CachedOverride = false;

    // Folders, each with a trailing "/".
    QString GetProfileDir() const;   // computed anew on every call
    static QString AppDir();          // the program folder (VARNELO_HOME or the XDG data folder)
    QString LogDir() const;          // the log root (LOG, held as a full path)
    QString GetTempDir() const;      // temporary files ("KPW*.tmp", "Error.htm"); created when missing

    // Column widths kept under numbered keys of DESKTOP. An index out of range reads 100 and is not
    // written.
    int GetActionColWidth(int index) const;
    void SetActionColWidth(int index, int width);
    int GetFavColumnWidth(int index) const;
    void SetFavColumnWidth(int index, int width);
    int GetHistColumnWidth(int index) const;
    void SetHistColumnWidth(int index, int width);

    // Thread-list column widths, section COLUMNSIZE, one key per column key ("NO" for the first
    // column); -1 when none is stored.
    int GetColumnSize(const QString &columnKey) const;
    void SetColumnSize(const QString &columnKey, int width);

    // Statistics (section VOZADAZOZ): callers read the field, add one and pass the new value.
    void SetAppStartCount(qint64 value);
    void SetLoadBoardCount(qint64 value);
    void SetLoadThreadCount(qint64 value);
    void SetLoadResCount(qint64 value);
    void SetSendCount(qint64 value);
    void SetNewThreadCount(qint64 value);
    void SetCloseTab(qint64 value);

    // WORKTIME plus the milliseconds of this run not yet saved. 64-bit, so it does not wrap after
    // 24 days of use.
    qint64 GetTotalWorkTime() const;

private:
#define CFG_INT_LIST(field, section, prefix, count, def) std::array<int, count> field{};
#include "core/ConfigKeys.def"

    QString loadedProfileDir;   // the profile folder of the last Load, base of the stored paths
    QStringList loadMessages;
    TSteadyClock workClock;
    qint64 workStretchStart = 0;   // the working time since then is not saved yet

    void LoadIniText(const QString &profileDir);
    void KeepDamagedIni(const QString &file);
    void ReadFields();
    void WriteFields();
    void ApplyDerivedDefaults();
    void FoldWorkTime();
};

extern TTavuConfig *TavuConfig;
