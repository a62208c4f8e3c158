#include "services/ComposerFiles.h"

#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/TavuConfig.h"
#include "core/TextList.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <filesystem>
#include <system_error>

namespace ComposerFiles {

namespace {

const QString Tab = QStringLiteral("\t");

// A field of a TAB-separated record: TABs and line breaks become blanks.
QString RecordField(QString text)
{
    for (QChar &c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return text;
}

QString JoinRecord(const QStringList &fields)
{
    QStringList cleaned;
    cleaned.reserve(fields.size());
    for (const QString &field : fields)
        cleaned.append(RecordField(field));
    return cleaned.join(Tab);
}

QString Flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QStringList SplitBody(const QString &body)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    return body.split(lineBreak);
}

}  // namespace

QString ProfileFile(const QString &name)
{
    return TavuConfig->GetProfileDir() + name;
}

QStringList LoadLines(const QString &name)
{
    TTextList list;
    list.LoadFromFile(ProfileFile(name));
    return list.Lines;
}

void SaveLines(const QString &name, const QStringList &lines)
{
    TTextList::RewriteFile(ProfileFile(name), lines);
}

// ---- handle.txt ----

QString BoardHandleKey(const QString &siteId, const QString &boardId, bool mail)
{
    return siteId + QLatin1Char('_') + boardId + (mail ? QStringLiteral("_MAIL") : QStringLiteral("_HANDLE"));
}

TBoardHandle LookupBoardHandle(const QString &siteId, const QString &boardId)
{
    const TTextList file(LoadLines(HandleFile()));
    TBoardHandle handle{siteId, boardId, {}, {}};
    handle.Handle = file.Value(BoardHandleKey(siteId, boardId, false));
    handle.Mail = file.Value(BoardHandleKey(siteId, boardId, true));
    return handle;
}

void SaveBoardHandles(const QList<TBoardHandle> &handles)
{
    QStringList lines;
    for (const TBoardHandle &h : handles) {
        if (!h.Handle.isEmpty())
            lines.append(BoardHandleKey(h.SiteID, h.BoardID, false) + QLatin1Char('=') + RecordField(h.Handle));
        if (!h.Mail.isEmpty())
            lines.append(BoardHandleKey(h.SiteID, h.BoardID, true) + QLatin1Char('=') + RecordField(h.Mail));
    }
    SaveLines(HandleFile(), lines);
}

// ---- thrdhnd.txt ----

QList<TThreadHandle> LoadThreadHandles()
{
    QList<TThreadHandle> handles;
    for (const QString &line : LoadLines(ThreadHandleFile())) {
        const QStringList fields = line.split(Tab);
        handles.append({fields.value(0), fields.value(1), fields.value(2)});
    }
    return handles;
}

void SaveThreadHandles(const QList<TThreadHandle> &handles)
{
    QStringList lines;
    for (const TThreadHandle &h : handles)
        lines.append(JoinRecord({h.Text, h.Handle, h.Mail}));
    SaveLines(ThreadHandleFile(), lines);
}

QList<TThreadHandle> MatchThreadHandles(const QList<TThreadHandle> &handles, const QString &title)
{
    QList<TThreadHandle> matches;
    for (const TThreadHandle &h : handles) {
        if (!h.Text.isEmpty() && title.contains(h.Text, Qt::CaseSensitive))
            matches.append(h);
    }
    return matches;
}

// ---- namelog.txt, maillog.txt ----

bool PushHistory(QStringList &history, const QString &entry)
{
    if (entry.isEmpty())
        return false;
    for (qsizetype i = history.size() - 1; i >= 0; --i) {
        if (history[i].compare(entry, Qt::CaseInsensitive) == 0)
            history.removeAt(i);
    }
    history.prepend(entry);
    return true;
}

void RecordHistory(const QString &name, const QString &entry)
{
    QStringList history = LoadLines(name);
    if (PushHistory(history, RecordField(entry)))
        SaveLines(name, history);
}

// ---- sendname.txt ----

QString ThreadIdentity(const QString &siteId, const QString &boardId, const QString &key)
{
    return siteId + QLatin1Char('_') + boardId + QLatin1Char('_') + key;
}

void AppendSendName(const TSendName &entry)
{
    QStringList lines = LoadLines(SendNameFile());
    lines.append(JoinRecord({entry.Identity, entry.Name, entry.Mail, Flag(entry.Sage), Flag(entry.Pre),
                             Flag(entry.Touhaba)}));
    if (lines.size() > MaxSendNameLines)
        lines.erase(lines.begin(), lines.begin() + (lines.size() - MaxSendNameLines));
    SaveLines(SendNameFile(), lines);
}

QList<TSendName> LookupSendNames(const QString &identity)
{
    QList<TSendName> matches;
    const QString one = QStringLiteral("1");
    for (const QString &line : LoadLines(SendNameFile())) {
        const QStringList f = line.split(Tab);
        if (f.value(0) != identity)
            continue;
        matches.append({f.value(0), f.value(1), f.value(2), f.value(3) == one, f.value(4) == one,
                        f.value(5) == one});
    }
    return matches;
}

// ---- sendlog.txt, thrdlog.txt ----

QStringList PostLogBlock(const TPostLogEntry &entry)
{
    QStringList block;
    block << QStringLiteral(" ") << QStringLiteral("スレ名：") + entry.Title;
    if (entry.HasPassword)
        block << QStringLiteral("(P  W)：") + entry.Password;
    block << QStringLiteral("板　名：") + entry.BoardName + QStringLiteral("＠") + entry.SiteName
          << QStringLiteral("投稿者：") + entry.Name << QStringLiteral("メール：") + entry.Mail
          << QStringLiteral("投稿日：") + entry.Time.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"))
          << QStringLiteral("本　文： ") << QStringLiteral(" ");
    block << SplitBody(entry.Body);
    block << QStringLiteral(" ") << QStringLiteral("---------- ");
    return block;
}

void PrependPostLog(const QString &path, const TPostLogEntry &entry)
{
    QByteArray old;
    if (FileUtil::ReadWholeFile(path, old) == FileUtil::TReadResult::Failed)
        throw EFileError(QStringLiteral("書き込みログを読み込めませんでした：%1").arg(path));
    FileUtil::WriteFileAtomic(path, jconvert::UnicodeToSjis(TTextList(PostLogBlock(entry)).Text()) + old);
}

TPostLogPage ReadPostLogForPage(const QString &path, QString &text)
{
    text.clear();
    if (QFileInfo(path).size() > MaxPostLogPageBytes)
        return TPostLogPage::TooLarge;
    QByteArray bytes;
    if (FileUtil::ReadWholeFile(path, bytes) == FileUtil::TReadResult::Failed)
        return TPostLogPage::Unreadable;
    text = jconvert::SjisToUnicode(bytes);
    return TPostLogPage::Read;
}

QString OverfullLogName(const QString &path)
{
    const QFileInfo info(path);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".bak");
}

QString RenameOverfullLog(const QString &path)
{
    // one rename that replaces the older copy only once the log has taken its place
    const QString bak = OverfullLogName(path);
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(path).toStdString(), QFile::encodeName(bak).toStdString(), error);
    if (error)
        throw EFileError(QStringLiteral("書き込みログを別名で保存できませんでした：%1 → %2").arg(path, bak));
    return bak;
}

// ---- aalist.txt ----

QStringList BuiltinAAList()
{
    return {QStringLiteral("（ ´∀｀）"), QStringLiteral("（ ・∀・ ）　"), QStringLiteral("( ﾟДﾟ)"),
            QStringLiteral("ヽ(`Д´)ﾉ"), QStringLiteral("（･∀･）ｲｲ!!"), QStringLiteral("(￣ー￣)ﾆﾔﾘｯ ")};
}

QStringList LoadAAList()
{
    TTextList list;
    if (list.LoadFromFile(ProfileFile(AAListFile())))
        return list.Lines;
    return BuiltinAAList();
}

}  // namespace ComposerFiles
