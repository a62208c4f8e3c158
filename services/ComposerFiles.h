#pragma once
// The files in which the composers keep the poster's identities and what was posted, all in the
// profile folder, Shift_JIS with CR LF line ends, read and written whole (a missing file reads as
// empty, every rewrite is atomic):
//
//   handle.txt    per-board handles: "<SITEID>_<board id>_HANDLE=..." and "..._MAIL=..."
//   thrdhnd.txt   per-thread handles: title substring TAB handle TAB mail
//   namelog.txt   handle history, one per line, most recent first
//   maillog.txt   mail history, the same
//   sendname.txt  last values per thread: identity TAB name TAB mail TAB sage TAB pre TAB fixed width
//                 ("1"/"0"), newest line last, at most 1024 lines
//   sendlog.txt   reply log, thrdlog.txt new-thread log: blocks, newest first
//   aalist.txt    ASCII-art snippets, one per line
//
// Fields of the TAB-separated records are written with their TABs and line breaks turned into
// blanks, so a pasted handle can never split or add a record.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace ComposerFiles {

// File names.
inline QString HandleFile() { return QStringLiteral("handle.txt"); }
inline QString ThreadHandleFile() { return QStringLiteral("thrdhnd.txt"); }
inline QString NameLogFile() { return QStringLiteral("namelog.txt"); }
inline QString MailLogFile() { return QStringLiteral("maillog.txt"); }
inline QString SendNameFile() { return QStringLiteral("sendname.txt"); }
inline QString SendLogFile() { return QStringLiteral("sendlog.txt"); }
inline QString ThreadLogFile() { return QStringLiteral("thrdlog.txt"); }
inline QString AAListFile() { return QStringLiteral("aalist.txt"); }

// The profile folder's path of one of the files above.
QString ProfileFile(const QString &name);

// Lines of a list file; empty when it is missing.
QStringList LoadLines(const QString &name);
void SaveLines(const QString &name, const QStringList &lines);

// ---- handle.txt ----

struct TBoardHandle {
    QString SiteID;
    QString BoardID;
    QString Handle;
    QString Mail;
};

// "<SITEID>_<board id>_HANDLE" or "..._MAIL".
QString BoardHandleKey(const QString &siteId, const QString &boardId, bool mail);
// The board's handle and mail from handle.txt (empty when the file has none).
TBoardHandle LookupBoardHandle(const QString &siteId, const QString &boardId);
// Rewrites handle.txt: per board a HANDLE line when the handle is not empty, then a MAIL line when
// the mail is not empty.
void SaveBoardHandles(const QList<TBoardHandle> &handles);

// ---- thrdhnd.txt ----

struct TThreadHandle {
    QString Text;     // looked for in thread titles
    QString Handle;
    QString Mail;
};

QList<TThreadHandle> LoadThreadHandles();
void SaveThreadHandles(const QList<TThreadHandle> &handles);
// The lines that apply to a thread title, in file order (the last one wins): those whose text
// occurs in the title, case-sensitive; an empty text never matches.
QList<TThreadHandle> MatchThreadHandles(const QList<TThreadHandle> &handles, const QString &title);

// ---- namelog.txt, maillog.txt ----

// Puts a non-empty entry first: moved there when it is listed already (ignoring case), else
// inserted. An empty entry changes nothing. False when nothing changed.
bool PushHistory(QStringList &history, const QString &entry);
// PushHistory on the file's list, which is saved when the entry is not empty.
void RecordHistory(const QString &name, const QString &entry);

// ---- sendname.txt ----

struct TSendName {
    QString Identity;   // SITEID "_" board id "_" thread key
    QString Name;
    QString Mail;
    bool Sage = false;
    bool Pre = false;
    bool Touhaba = false;
};

constexpr int MaxSendNameLines = 1024;

QString ThreadIdentity(const QString &siteId, const QString &boardId, const QString &key);
// Appends a line and drops the oldest lines beyond MaxSendNameLines.
void AppendSendName(const TSendName &entry);
// The lines of the thread, in file order (the newest one last).
QList<TSendName> LookupSendNames(const QString &identity);

// ---- sendlog.txt, thrdlog.txt ----

struct TPostLogEntry {
    QString Title;
    bool HasPassword = false;   // a new thread on a board that asks for a password
    QString Password;
    QString BoardName;
    QString SiteName;
    QString Name;
    QString Mail;
    QString Body;               // lines separated by CR LF, LF or CR
    QDateTime Time;
};

// The block of lines one post adds to a log.
QStringList PostLogBlock(const TPostLogEntry &entry);
// Puts the block in front of the contents of the log at path (kept byte for byte) and saves it.
// Raises EFileError when the log exists but cannot be read (it is then left as it is) or when it
// cannot be written.
void PrependPostLog(const QString &path, const TPostLogEntry &entry);

// The most a composer's log page loads; a bigger log is set aside (RenameOverfullLog).
constexpr qint64 MaxPostLogPageBytes = 8 * 1024 * 1024;

// Reads a log for the log page; a missing log reads as empty text.
enum class TPostLogPage { Read, TooLarge, Unreadable };
TPostLogPage ReadPostLogForPage(const QString &path, QString &text);
// The log's name with the extension ".bak".
QString OverfullLogName(const QString &path);
// Renames the log to OverfullLogName (replacing an older file of that name only once the log is
// in its place) and returns the new name, so that the next post starts a new log. Raises
// EFileError, leaving both files as they were, when the rename fails.
QString RenameOverfullLog(const QString &path);

// ---- aalist.txt ----

// The snippets the composer offers when the profile has no aalist.txt.
QStringList BuiltinAAList();
// aalist.txt when it exists, else the built-in snippets.
QStringList LoadAAList();

}  // namespace ComposerFiles
