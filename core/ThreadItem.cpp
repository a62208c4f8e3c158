#include "core/ThreadItem.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/DatLine.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/SaveQueue.h"
#include "core/MonaUtils.h"
#include "core/ResList.h"
#include "core/Res.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace {

const QString LOG = QStringLiteral("LOG");
const QString BAK = QStringLiteral("BAK");
const QString INFO = QStringLiteral("INFO");
const QString BOOKMARK = QStringLiteral("BOOKMARK");
const QString ERASE = QStringLiteral("ERASE");

// A moved log can be moved again; the redirects are followed this far at most.
constexpr int MaxRedirects = 8;

// Texts with line breaks are kept on one line of the .inf.
QString ToInfText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("#13#10"));
    text.replace(u'\r', QStringLiteral("#13#10"));
    text.replace(u'\n', QStringLiteral("#13#10"));
    return text;
}

QString FromInfText(QString text)
{
    return text.replace(QStringLiteral("#13#10"), QStringLiteral("\r\n"));
}

QString ReadText(const TIniFile &ini, const QString &section, const QString &key,
                 const QString &def = QString())
{
    return FromInfText(ini.ReadString(section, key, ToInfText(def)));
}

void WriteText(TIniFile &ini, const QString &section, const QString &key, const QString &value)
{
    ini.WriteString(section, key, ToInfText(value));
}

TColor ReadColor(const TIniFile &ini, const QString &key, TColor def)
{
    bool ok = false;
    const TColor color = StringToColor(ini.ReadString(LOG, key), &ok);
    return ok ? color : def;
}

// One key of the .inf's [LOG] section and how it meets its field. A key that is missing reads as its
// default: zero, false or empty, except for the title and the listing count, which keep what the
// item holds (a thread seen in a listing before it was ever read).
struct TInfKey {
    QString name;
    void (*read)(TThreadItem &item, const TIniFile &inf, const QString &key);
    void (*write)(const TThreadItem &item, TIniFile &inf, const QString &key);
};

template <auto Field>
TInfKey Number(const char *name)
{
    return {QLatin1String(name),
            [](TThreadItem &item, const TIniFile &inf, const QString &key) { item.*Field = inf.ReadInteger(LOG, key, 0); },
            [](const TThreadItem &item, TIniFile &inf, const QString &key) { inf.WriteInteger(LOG, key, item.*Field); }};
}

template <auto Field>
TInfKey Flag(const char *name)
{
    return {QLatin1String(name),
            [](TThreadItem &item, const TIniFile &inf, const QString &key) { item.*Field = inf.ReadBool(LOG, key, false); },
            [](const TThreadItem &item, TIniFile &inf, const QString &key) { inf.WriteBool(LOG, key, item.*Field); }};
}

template <auto Field>
TInfKey Plain(const char *name)
{
    return {QLatin1String(name),
            [](TThreadItem &item, const TIniFile &inf, const QString &key) { item.*Field = inf.ReadString(LOG, key); },
            [](const TThreadItem &item, TIniFile &inf, const QString &key) { inf.WriteString(LOG, key, item.*Field); }};
}

// A text that may hold line breaks (kept as "#13#10").
template <auto Field>
TInfKey Text(const char *name)
{
    return {QLatin1String(name),
            [](TThreadItem &item, const TIniFile &inf, const QString &key) { item.*Field = ReadText(inf, LOG, key); },
            [](const TThreadItem &item, TIniFile &inf, const QString &key) { WriteText(inf, LOG, key, item.*Field); }};
}

// The keys in the order a new .inf lists them.
const std::vector<TInfKey> &InfKeys()
{
    static const std::vector<TInfKey> keys{
        {QStringLiteral("TITLE"),
         [](TThreadItem &item, const TIniFile &inf, const QString &key) { item.TITLE = ReadText(inf, LOG, key, item.TITLE); },
         [](const TThreadItem &item, TIniFile &inf, const QString &key) { WriteText(inf, LOG, key, item.TITLE); }},
        {QStringLiteral("AGECOUNT"),
         [](TThreadItem &item, const TIniFile &inf, const QString &key) { item.AGECOUNT = inf.ReadInteger(LOG, key, item.AGECOUNT); },
         [](const TThreadItem &item, TIniFile &inf, const QString &key) { inf.WriteInteger(LOG, key, item.AGECOUNT); }},
        Number<&TThreadItem::COUNT>("COUNT"),
        Number<&TThreadItem::READ>("READ"),
        Flag<&TThreadItem::BOLD>("BOLD"),
        Flag<&TThreadItem::REVERSE>("REVERSE"),
        {QStringLiteral("COLOR"),
         [](TThreadItem &item, const TIniFile &inf, const QString &key) { item.COLOR = ReadColor(inf, key, clWindowText); },
         [](const TThreadItem &item, TIniFile &inf, const QString &key) { inf.WriteString(LOG, key, ColorToString(item.COLOR)); }},
        Flag<&TThreadItem::ABONE>("ABONE"),
        Flag<&TThreadItem::KAKOLOG>("KAKOLOG"),
        Flag<&TThreadItem::FAVORITE>("FAVORITE"),
        Flag<&TThreadItem::SHORTCUT>("SHORTCUT"),
        Number<&TThreadItem::PRIORITY>("PRIORITY"),
        Number<&TThreadItem::READPOINT>("READPOINT"),
        Number<&TThreadItem::TOP>("TOP"),
        Text<&TThreadItem::COMMENT>("COMMENT"),
        Plain<&TThreadItem::LAST_LOAD>("LAST_LOAD"),
        Plain<&TThreadItem::LAST_SENT>("LAST_SENT"),
        Number<&TThreadItem::LOAD_COUNT>("LOAD_COUNT"),
        Number<&TThreadItem::SEND_COUNT>("SEND_COUNT"),
        Plain<&TThreadItem::SINCE>("SINCE"),
        Plain<&TThreadItem::THREADNO>("THREADNO"),
        Flag<&TThreadItem::LOCALLOG>("LOCALLOG"),
        Plain<&TThreadItem::LAST_MODIFIED>("LAST_MODIFIED"),
        Plain<&TThreadItem::ETAG>("ETAG"),
        {QStringLiteral("SIZE"),
         [](TThreadItem &item, const TIniFile &inf, const QString &key) { item.SIZE = inf.ReadInt64(LOG, key, 0); },
         [](const TThreadItem &item, TIniFile &inf, const QString &key) { inf.WriteInteger(LOG, key, item.SIZE); }},
    };
    return keys;
}

// Removes a file, to the trash when the setting asks for it.
void RemoveFile(const QString &path)
{
    if (!QFile::exists(path))
        return;
    if (TavuConfig && TavuConfig->MOVETOTRASH && QFile::moveToTrash(path))
        return;
    QFile::remove(path);
}

// The folder named by [INFO] LOCAL of the .inf at infPath; empty when there is none.
QString RedirectOf(const QString &infPath)
{
    if (!QFile::exists(infPath))
        return QString();
    const TIniFile inf(infPath);
    const QString local = inf.ReadString(INFO, QStringLiteral("LOCAL")).trimmed();
    return local.isEmpty() ? QString() : FileUtil::WithSlash(QDir::fromNativeSeparators(local));
}

// The path with its extension replaced (or added).
QString WithExtension(const QString &path, const QString &extension)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    return (dot > slash ? path.left(dot) : path) + extension;
}

TSite *FindSite(const QString &siteId)
{
    if (!TavuEnviron)
        return nullptr;
    return TavuEnviron->SiteList()->FindBySiteID(siteId);
}

// The dat name up to its first ".".
QStringView KeyOf(const QString &datName)
{
    const qsizetype dot = datName.indexOf(u'.');
    return dot < 0 ? QStringView(datName) : QStringView(datName).left(dot);
}

}  // namespace

TThreadItem::TThreadItem() = default;
TThreadItem::~TThreadItem() = default;

void TThreadItem::AddRef()
{
    refCount.fetch_add(1);
    if (OnAddRef)
        OnAddRef(this);
}

void TThreadItem::Release()
{
    if (OnRelease)
        OnRelease(this);
    if (refCount.fetch_sub(1) == 1)
        delete this;
}

bool TThreadItem::SetLocation(const QString &siteId, const QString &boardId, const QString &datName,
                              const QString &title)
{
    QString name = datName.trimmed();
    if (!name.contains(u'.'))
        name += QStringLiteral(".dat");
    const bool safe = IsSafeFileName(name);
    Site = FindSite(siteId);
    BoardID = boardId;
    DatName = safe ? name : QString();
    TITLE = title;
    board = nullptr;
    logFile.clear();
    TBoard *found = GetBoard();
    BBS = found ? found->BBS : nullptr;
    ForgetLogFile();
    Changed();
    return safe && found;
}

void TThreadItem::CopyLocation(const TThreadItem &other)
{
    Site = other.Site;
    BoardID = other.BoardID;
    BBS = other.BBS;
    DatName = other.DatName;
    TITLE = other.TITLE;
    board = other.board;
    logFile = other.logFile;
    ForgetLogFile();
    Changed();
}

QString TThreadItem::ShownTitle() const
{
    return MonaUtils::DecodeEntities(TITLE);
}

void TThreadItem::SetTitle(const QString &title)
{
    TITLE = title;
    Changed();
}

void TThreadItem::SetLogFile(const QString &path)
{
    logFile = QDir::fromNativeSeparators(path);
    if (DatName.isEmpty())
        DatName = QFileInfo(logFile).fileName();
    ForgetLogFile();
}

void TThreadItem::SetBoard(TBoard *explicitBoard)
{
    board = explicitBoard;
    if (board) {
        BoardID = board->ID;
        if (!Site)
            Site = board->Site;
        if (!BBS)
            BBS = board->BBS;
    }
    ForgetLogFile();
}

QString TThreadItem::GetKey() const
{
    const QStringView key = KeyOf(DatName);
    return key.size() == DatName.size() ? DatName : key.toString();
}

QStringView TThreadItem::KeyView() const
{
    return KeyOf(DatName);
}

bool TThreadItem::IsSameThread(const TThreadItem &other) const
{
    return Site == other.Site && BoardID == other.BoardID && KeyView() == other.KeyView();
}

TBoard *TThreadItem::GetBoard() const
{
    if (board)
        return board;
    if (!Site || !Site->Boards)
        return nullptr;
    return Site->Boards->FindByID(BoardID);
}

QString TThreadItem::GetLogFile() const
{
    QMutexLocker lock(&resolveLock);
    if (!resolved) {
        resolvedLog = ResolveLogFile();
        resolved = true;
    }
    return resolvedLog;
}

QString TThreadItem::GetInfFile() const
{
    return SiblingOfLog(QStringLiteral(".inf"));
}

QString TThreadItem::GetIdxFile() const
{
    return SiblingOfLog(QStringLiteral(".idx"));
}

QString TThreadItem::GetBakFile() const
{
    return SiblingOfLog(QStringLiteral(".bak"));
}

QString TThreadItem::SiblingOfLog(const QString &extension) const
{
    const QString log = GetLogFile();
    return log.isEmpty() ? QString() : WithExtension(log, extension);
}

bool TThreadItem::LogExists() const
{
    const QString log = GetLogFile();
    return !log.isEmpty() && (TSaveQueue::Instance().Pending(log) || QFileInfo(log).isFile());
}

void TThreadItem::FinishSaving() const
{
    TSaveQueue::Instance().Wait(GetLogFile());
}

QString TThreadItem::InfPathOf(const QString &logPath)
{
    return WithExtension(logPath, QStringLiteral(".inf"));
}

QStringList TThreadItem::LogFilesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    names.removeIf([](const QString &name) { return name.compare(QLatin1String("subject.dat"), Qt::CaseInsensitive) == 0; });
    return names;
}

QString TThreadItem::ResolveLogFile() const
{
    if (!logFile.isEmpty())
        return logFile;
    const TBoard *found = GetBoard();
    if (!found || DatName.isEmpty())
        return QString();
    QString dir = found->GetLogDir();
    QStringList seen{dir};
    for (int hop = 0; hop < MaxRedirects; ++hop) {
        const QString next = RedirectOf(InfPathOf(dir + DatName));
        if (next.isEmpty() || seen.contains(next))
            break;
        seen.append(next);
        dir = next;
    }
    return dir + DatName;
}

void TThreadItem::ForgetLogFile()
{
    QMutexLocker lock(&resolveLock);
    resolved = false;
    resolvedLog.clear();
}

void TThreadItem::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TThreadItem::ReloadInfo()
{
    const int listed = AGECOUNT;
    LoadInfo();
    if (listed > 0)
        AGECOUNT = listed;
}

QSet<int> TThreadItem::LoadInfo()
{
    ForgetLogFile();
    FinishSaving();
    const QString path = GetInfFile();
    TIniFile inf;
    if (!path.isEmpty() && QFile::exists(path)) {
        inf.SetFileName(path);
        inf.Load();
    }
    ReadInfo(inf);
    return ErasedIn(inf);
}

void TThreadItem::TakeInfoOf(const TThreadItem &other)
{
    if (!other.bookmarksRead) {
        LoadInfo();   // the other does not know the bookmarks stored with the thread
        return;
    }
    TIniFile inf;
    other.WriteInfo(inf);
    ForgetLogFile();
    ReadInfo(inf);
}

void TThreadItem::ReadInfo(const TIniFile &inf)
{
    for (const TInfKey &key : InfKeys())
        key.read(*this, inf, key.name);
    Live = !KAKOLOG;
    PRIORITY = qBound(0, PRIORITY, 9999);
    ReadBookmarks(inf);
    Changed();
}

bool TThreadItem::SaveInfo()
{
    const QString path = GetInfFile();
    if (path.isEmpty())
        return false;
    FinishSaving();
    try {
        TIniFile inf(path);
        WriteInfo(inf);
        inf.UpdateFile();
        if (WritesIdx()) {
            TIniFile idx(GetIdxFile());
            WriteIdx(idx);
            idx.UpdateFile();
        }
    } catch (const EFileError &) {
        return false;
    }
    Changed();
    return true;
}

void TThreadItem::WriteInfo(TIniFile &inf) const
{
    for (const TInfKey &key : InfKeys())
        key.write(*this, inf, key.name);
    WriteBookmarks(inf);
}

bool TThreadItem::WritesIdx()
{
    return TavuConfig && TavuConfig->LOGMODE == 1;
}

void TThreadItem::WriteIdx(TIniFile &idx) const
{
    WriteText(idx, LOG, QStringLiteral("TITLE"), TITLE);
    idx.WriteInteger(LOG, QStringLiteral("COUNT"), COUNT);
    idx.WriteInteger(LOG, QStringLiteral("READ"), READ);
    idx.WriteInteger(LOG, QStringLiteral("READPOINT"), READPOINT);
    idx.WriteString(LOG, QStringLiteral("LAST_MODIFIED"), LAST_MODIFIED);
    idx.WriteInteger(LOG, QStringLiteral("SIZE"), SIZE);
}

void TThreadItem::ReadBookmarks(const TIniFile &inf)
{
    Bookmarks.Clear();
    const int count = inf.ReadInteger(BOOKMARK, QStringLiteral("COUNT"), 0);
    // an entry without its RESNO (a truncated file) is passed over; what is there is kept
    for (const int n : inf.ReadKeyNumbers(BOOKMARK, QStringLiteral("RESNO"), count)) {
        const QString no = QString::number(n);
        auto *bookmark = new TBookmarkRes;
        bookmark->ResNo = inf.ReadInteger(BOOKMARK, QStringLiteral("RESNO") + no, 0);
        bookmark->Name = ReadText(inf, BOOKMARK, QStringLiteral("NAME") + no);
        bookmark->Date = ReadText(inf, BOOKMARK, QStringLiteral("DATE") + no);
        bookmark->Body = ReadText(inf, BOOKMARK, QStringLiteral("BODY") + no);
        bookmark->Category = ReadText(inf, BOOKMARK, QStringLiteral("CATEGORY") + no);
        bookmark->PlainName = ReadText(inf, BOOKMARK, QStringLiteral("PLAINNAME") + no);
        bookmark->Memo = ReadText(inf, BOOKMARK, QStringLiteral("MEMO") + no);
        bookmark->Item = this;
        Bookmarks.Add(bookmark);
    }
    bookmarksRead = true;
}

void TThreadItem::WriteBookmarks(TIniFile &inf) const
{
    // An item that never read its .inf must not wipe the bookmarks stored there.
    if (!bookmarksRead && Bookmarks.Count() == 0)
        return;
    inf.EraseSection(BOOKMARK);
    if (Bookmarks.Count() == 0)
        return;
    inf.WriteInteger(BOOKMARK, QStringLiteral("COUNT"), Bookmarks.Count());
    for (int i = 0; i < Bookmarks.Count(); ++i) {
        const TBookmarkRes *bookmark = Bookmarks.Get(i);
        const QString no = QString::number(i + 1);
        inf.WriteInteger(BOOKMARK, QStringLiteral("RESNO") + no, bookmark->ResNo);
        WriteText(inf, BOOKMARK, QStringLiteral("NAME") + no, bookmark->Name);
        WriteText(inf, BOOKMARK, QStringLiteral("DATE") + no, bookmark->Date);
        WriteText(inf, BOOKMARK, QStringLiteral("BODY") + no, bookmark->Body);
        WriteText(inf, BOOKMARK, QStringLiteral("CATEGORY") + no, bookmark->Category);
        WriteText(inf, BOOKMARK, QStringLiteral("PLAINNAME") + no, bookmark->PlainName);
        WriteText(inf, BOOKMARK, QStringLiteral("MEMO") + no, bookmark->Memo);
    }
}

QSet<int> TThreadItem::OpenInf()
{
    ForgetLogFile();
    FinishSaving();
    const QString path = GetInfFile();
    const TIniFile inf(path.isEmpty() ? QString() : path);
    ReadBookmarks(inf);
    Changed();
    return ErasedIn(inf);
}

QSet<int> TThreadItem::ReadErasedRes() const
{
    FinishSaving();
    const QString path = GetInfFile();
    if (path.isEmpty() || !QFile::exists(path))
        return {};
    return ErasedIn(TIniFile(path));
}

QSet<int> TThreadItem::ErasedIn(const TIniFile &inf)
{
    QSet<int> erased;
    for (const QString &key : inf.ReadSection(ERASE)) {
        if (!key.startsWith(QStringLiteral("RES"), Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const int number = key.mid(3).toInt(&ok);
        if (ok && inf.ReadBool(ERASE, key))
            erased.insert(number);
    }
    return erased;
}

void TThreadItem::LoadResList(TResList &list) const
{
    const QString log = GetLogFile();
    if (log.isEmpty())
        return;
    FinishSaving();
    CutTornAppend();
    const int first = list.Count();
    list.LoadDat(FileUtil::ReadFile(log));
    const QSet<int> erased = ReadErasedRes();
    for (int i = first; i < list.Count(); ++i) {
        TRes *res = list.Get(i);
        res->Erased = erased.contains(res->Number);
    }
}

namespace {

// Bytes of the first `count` lines with a line end of `lineEnd` bytes each.
qint64 BytesOfLines(const QList<QByteArray> &lines, qsizetype count, int lineEnd)
{
    qint64 bytes = 0;
    for (qsizetype i = 0; i < count; ++i)
        bytes += lines[i].size() + lineEnd;
    return bytes;
}

}  // namespace

bool TThreadItem::RepairInfoFromLog(const QList<QByteArray> &storedLines, bool serverBytes)
{
    const qsizetype lines = storedLines.size();
    if (lines == COUNT)
        return false;
    const bool countedLinesStored = COUNT > 0 && COUNT < lines;
    // The line end is the one with which the counted lines (or all of them) make SIZE.
    for (const int lineEnd : serverBytes ? QList<int>{1, 2} : QList<int>{}) {
        const qint64 allLines = BytesOfLines(storedLines, lines, lineEnd);
        if (SIZE == allLines || (countedLinesStored && SIZE == BytesOfLines(storedLines, COUNT, lineEnd))) {
            SIZE = allLines;
            COUNT = int(lines);
            return true;
        }
    }
    SIZE = 0;
    LAST_MODIFIED.clear();
    ETAG.clear();
    COUNT = int(lines);
    return true;
}

bool TThreadItem::CutTornAppend() const
{
    FinishSaving();
    const QString path = GetLogFile();
    QFile log(path);
    if (COUNT <= 0 || path.isEmpty() || !log.open(QIODevice::ReadOnly) || log.size() == 0)
        return false;
    if (!log.seek(log.size() - 1) || log.read(1) == "\n" || !log.seek(0))
        return false;
    const QByteArray bytes = log.readAll();
    const QByteArray whole = bytes.left(bytes.lastIndexOf('\n') + 1);
    if (whole.count('\n') < COUNT)
        return false;
    try {
        FileUtil::WriteFileAtomic(path, whole);
    } catch (const EFileError &) {
        return false;
    }
    return true;
}

void TThreadItem::SetKakolog(bool on)
{
    KAKOLOG = on;
    Live = !on;
    Changed();
}

void TThreadItem::SetPriority(int value)
{
    PRIORITY = qBound(0, value, 9999);
    Changed();
}

void TThreadItem::SetRead(int count)
{
    READ = count;
    Changed();
}

void TThreadItem::SetLastLoad(const QString &text)
{
    LAST_LOAD = text;
    Changed();
}

void TThreadItem::SetLastLoadNow()
{
    SetLastLoad(QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
}

void TThreadItem::RaiseListedCount()
{
    AGECOUNT = std::max(AGECOUNT, COUNT);
}

void TThreadItem::DeleteLog(int flags)
{
    const QString log = GetLogFile();
    if (log.isEmpty())
        return;
    FinishSaving();
    RemoveFile(log);
    RemoveFile(GetIdxFile());
    if (flags & KeepInf) {
        MoveValidatorsToBak();
    } else {
        RemoveFile(GetInfFile());
        RemoveFile(GetBakFile());
        RemoveRedirects();
        ForgetLogFile();
    }
    COUNT = 0;
    READ = 0;
    NewCount = -1;
    SIZE = 0;
    LAST_MODIFIED.clear();
    ETAG.clear();
    LAST_LOAD.clear();
    Changed();
}

void TThreadItem::MoveValidatorsToBak() const
{
    const QString path = GetInfFile();
    if (!QFile::exists(path))
        return;
    TIniFile inf(path);
    for (const QString &key : {QStringLiteral("LAST_MODIFIED"), QStringLiteral("SIZE"),
                               QStringLiteral("COUNT"), QStringLiteral("READ")})
        inf.WriteString(BAK, key, inf.ReadString(LOG, key));
    for (const QString &key : {QStringLiteral("COUNT"), QStringLiteral("READ"), QStringLiteral("SIZE")})
        inf.WriteInteger(LOG, key, 0);
    for (const QString &key : {QStringLiteral("LAST_MODIFIED"), QStringLiteral("ETAG"),
                               QStringLiteral("LAST_LOAD")})
        inf.WriteString(LOG, key, QString());
    inf.UpdateFile();
}

void TThreadItem::RemoveRedirects() const
{
    const TBoard *found = logFile.isEmpty() ? GetBoard() : nullptr;
    if (!found || DatName.isEmpty())
        return;
    QString dir = found->GetLogDir();
    for (int hop = 0; hop < MaxRedirects; ++hop) {
        const QString inf = InfPathOf(dir + DatName);
        const QString next = RedirectOf(inf);
        if (next.isEmpty())
            break;
        RemoveFile(inf);
        dir = next;
    }
}

bool TThreadItem::MoveToLocalFolder(const QString &folder)
{
    const QString target = FileUtil::WithSlash(QDir::fromNativeSeparators(folder));
    const QString log = GetLogFile();
    const QString formerDir = log.left(log.lastIndexOf(u'/') + 1);
    FinishSaving();
    if (!LogExists() || QDir(formerDir) == QDir(target) || !FileUtil::ForceDirectories(target))
        return false;
    const QString inf = GetInfFile();
    const QString newLog = target + QFileInfo(log).fileName();
    const QString newInf = InfPathOf(newLog);
    if (QFile::exists(newLog) || QFile::exists(newInf))
        return false;
    if (!QFile::rename(log, newLog))
        return false;
    if (QFile::exists(inf) && !QFile::rename(inf, newInf)) {
        QFile::rename(newLog, log);
        return false;
    }
    try {
        WriteMoveMarks(inf, newInf, target);
    } catch (const EFileError &) {
        // Without its redirect the log would be lost to its board: it goes back.
        QFile::remove(inf);
        QFile::rename(newInf, inf);
        QFile::rename(newLog, log);
        return false;
    }
    // The memo and the copy follow only a log that has moved for good.
    for (const QString &extension : {QStringLiteral(".txt"), QStringLiteral(".bak")})
        QFile::rename(WithExtension(log, extension), WithExtension(newLog, extension));   // a failure is skipped
    ForgetLogFile();
    if (KAKOLOG)
        SetKakolog(false);
    LOCALLOG = true;
    SaveInfo();
    return true;
}

void TThreadItem::WriteMoveMarks(const QString &formerInf, const QString &movedInf, const QString &folder) const
{
    TIniFile redirect;
    redirect.SetFileName(formerInf);
    redirect.WriteString(INFO, QStringLiteral("LOCAL"), folder);
    redirect.UpdateFile();
    TIniFile moved(movedInf);
    if (moved.SectionExists(QStringLiteral("ORG")))
        return;   // moved before: the first place is kept
    moved.WriteString(QStringLiteral("ORG"), QStringLiteral("SITEID"), Site ? Site->SITEID : QString());
    moved.WriteString(QStringLiteral("ORG"), QStringLiteral("BOARDID"), BoardID);
    moved.UpdateFile();
}
