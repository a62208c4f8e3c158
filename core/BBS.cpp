#include "core/BBS.h"

#include "core/Board.h"
#include "core/FileUtil.h"
#include "core/MonaUtils.h"
#include "core/ResDownloader.h"
#include "core/ResUploader.h"
#include "core/Site.h"
#include "core/ThreadItem.h"
#include "core/ThreadListDownloader.h"
#include "core/ThreadUploader.h"

#include <QFile>
#include <QRegularExpression>
#include <QTimer>

namespace {
const QString ScriptSection = QStringLiteral("SCRIPT");
const QString AnyHost = QStringLiteral("*");

// A capability byte as stored (decimal); out of range values keep their low byte.
quint8 ReadFlagByte(const TIniFile &ini, const QString &key)
{
    return static_cast<quint8>(ini.ReadInteger(ScriptSection, key, 0) & 0xFF);
}

QString ReadHostOrAny(const TIniFile &ini, const QString &section, const QString &host)
{
    QString value = host.isEmpty() ? QString() : ini.ReadString(section, host);
    if (value.isEmpty())
        value = ini.ReadString(section, AnyHost);
    return value;
}
}  // namespace

TBBS::TBBS(const QString &id, const QString &folder)
    : ID(id), Folder(FileUtil::WithSlash(folder))
{
    const QString path = Folder + QStringLiteral("bbs.ini");
    hasIni = QFile::exists(path);
    if (!hasIni)
        return;
    ini.SetFileName(path);
    ini.Load();
    Name = ini.ReadString(ScriptSection, QStringLiteral("NAME"), id);
    CharSet = ini.ReadInteger(ScriptSection, QStringLiteral("CHARSET"), 0);
    ResFlags = ReadFlagByte(ini, QStringLiteral("RES"));
    ThreadFlags = ReadFlagByte(ini, QStringLiteral("THREAD"));
    Param.PARAM_BBS = ini.ReadString(ScriptSection, QStringLiteral("PARAM_BBS"));
    Param.PARAM_NOFIRST = ini.ReadString(ScriptSection, QStringLiteral("PARAM_NOFIRST"));
    Param.PARAM_DAT = ini.ReadString(ScriptSection, QStringLiteral("PARAM_DAT"));
    Param.PARAM_START = ini.ReadString(ScriptSection, QStringLiteral("PARAM_START"));
    Param.PARAM_END = ini.ReadString(ScriptSection, QStringLiteral("PARAM_END"));
    Param.PARAM_RES = ini.ReadString(ScriptSection, QStringLiteral("PARAM_RES"));
    Param.PARAM_TRUE = ini.ReadString(ScriptSection, QStringLiteral("PARAM_TRUE"));
    Param.PARAM_FALSE = ini.ReadString(ScriptSection, QStringLiteral("PARAM_FALSE"));
}

TBBS::~TBBS() = default;

QString TBBS::GetTemplate(const QString &section, const QString &host, const TSite *site) const
{
    QString value;
    if (site)
        value = ReadHostOrAny(site->Ini(), section, host);
    if (value.isEmpty())
        value = ReadHostOrAny(ini, section, host);
    return value;
}

QString TBBS::FillTemplate(const QString &text, const QMap<QString, QString> &values)
{
    // One pass from left to right, so a value that itself holds a placeholder is not filled again.
    QString result;
    result.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        bool replaced = false;
        if (text.at(i) == QLatin1Char('<')) {
            for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
                if (QStringView(text).mid(i).startsWith(it.key(), Qt::CaseInsensitive)) {
                    result += it.value();
                    i += it.key().size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            result += text.at(i++);
    }
    return result;
}

QMap<QString, QString> TBBS::TemplateValues(const TBoard *board, const QString &key) const
{
    QMap<QString, QString> values{
        {QStringLiteral("<PARAM_BBS>"), Param.PARAM_BBS},
        {QStringLiteral("<PARAM_NOFIRST>"), Param.PARAM_NOFIRST},
        {QStringLiteral("<PARAM_DAT>"), Param.PARAM_DAT},
        {QStringLiteral("<PARAM_START>"), Param.PARAM_START},
        {QStringLiteral("<PARAM_END>"), Param.PARAM_END},
        {QStringLiteral("<PARAM_RES>"), Param.PARAM_RES},
        {QStringLiteral("<PARAM_TRUE>"), Param.PARAM_TRUE},
        {QStringLiteral("<PARAM_FALSE>"), Param.PARAM_FALSE},
        {QStringLiteral("<key>"), key},
        {QStringLiteral("<dat>"), key},
    };
    if (board) {
        values.insert(QStringLiteral("<host>"), HostOf(board));
        values.insert(QStringLiteral("<bbs>"), board->BBSName);
        values.insert(QStringLiteral("<boardpath>"), board->HostPath);
        values.insert(QStringLiteral("<dir>"), board->GetDir());
    }
    return values;
}

QString TBBS::BoardUrl(const QString &section, const TBoard *board, const QString &key) const
{
    const QString text = GetTemplate(section, board ? HostOf(board) : QString(), board ? board->Site : nullptr);
    return FillTemplate(text, TemplateValues(board, key));
}

QString TBBS::HostOf(const TBoard *board)
{
    return board ? board->GetHost().toLower() : QString();
}


// ---- what the type is ----

bool TBBS::IsThreadListPaged() const { return false; }
bool TBBS::IsWebPage() const { return false; }
bool TBBS::IsRemote() const { return true; }

// ---- URLs ----

namespace {

// The read template taken apart: the text up to and including the read script, and the placeholders
// that follow the script in the path form of a thread URL.
struct TReadTemplate {
    QString ScriptBase;       // "http://<host>/test/read.cgi"
    QString ScriptName;       // "read.cgi"; empty when the template names no script
    QStringList PathOrder;    // "<dir>", "<bbs>", "<dat>" in path order
};

TReadTemplate SplitReadTemplate(const QString &text)
{
    TReadTemplate t;
    const qsizetype scheme = text.indexOf(QLatin1String("://"));
    qsizetype pos = text.indexOf(QLatin1Char('/'), scheme < 0 ? 0 : scheme + 3);
    while (pos >= 0) {
        qsizetype end = pos + 1;
        while (end < text.size() && text[end] != u'/' && text[end] != u'?')
            ++end;
        const QString segment = text.mid(pos + 1, end - pos - 1);
        if (segment.contains(u'.') && !segment.contains(u'<')) {
            t.ScriptBase = text.left(end);
            t.ScriptName = segment;
            const QString rest = text.mid(end);
            if (rest.startsWith(u'/')) {
                for (const QString &part : rest.split(u'/', Qt::SkipEmptyParts)) {
                    const QString p = part.toLower();
                    if (p == QLatin1String("<dir>") || p == QLatin1String("<bbs>"))
                        t.PathOrder << p;
                    else if (p == QLatin1String("<dat>") || p == QLatin1String("<key>"))
                        t.PathOrder << QStringLiteral("<dat>");
                }
            }
            if (!t.PathOrder.contains(QLatin1String("<dat>")))
                t.PathOrder = QStringList{QStringLiteral("<bbs>"), QStringLiteral("<dat>")};
            return t;
        }
        pos = end < text.size() && text[end] == u'/' ? end : -1;
    }
    return t;
}

// A range text of a read URL: "n", "n-m", "n-", "-m" or "lN", each with an optional "n" after it
// (response 1 left out). "lN" (the last N) keeps no start or end.
bool ParseRange(const QString &range, QString &start, QString &end, bool &noFirst)
{
    static const QRegularExpression form(QStringLiteral("^(?:l(\\d+)|(\\d*)(?:(-)(\\d*))?)(n?)$"));
    const QRegularExpressionMatch m = form.match(range);
    if (!m.hasMatch())
        return false;
    noFirst = !m.captured(5).isEmpty();
    if (!m.captured(1).isEmpty())
        return true;
    start = m.captured(2);
    end = m.captured(3).isEmpty() ? start : m.captured(4);
    return true;
}

// "scheme://host" of a URL with the host in lower case, and the rest.
QString LowerHost(const QString &url)
{
    const qsizetype scheme = url.indexOf(QLatin1String("://"));
    if (scheme < 0)
        return url;
    qsizetype end = scheme + 3;
    while (end < url.size() && url[end] != u'/' && url[end] != u'?' && url[end] != u'#')
        ++end;
    return url.left(scheme + 3) + url.mid(scheme + 3, end - scheme - 3).toLower() + url.mid(end);
}

}  // namespace

bool TBBS::ParseThreadUrl(const QString &url, TThreadUrlParts &parts) const
{
    const TReadTemplate t = SplitReadTemplate(GetTemplate(QStringLiteral("READCGI"), MonaUtils::ExtractUrlHost(url)));
    if (t.ScriptName.isEmpty() || !url.contains(QLatin1String("://")))
        return false;
    const qsizetype hostEnd = url.indexOf(u'/', url.indexOf(QLatin1String("://")) + 3);
    const QString script = u'/' + t.ScriptName;
    qsizetype at = hostEnd < 0 ? -1 : url.indexOf(script, hostEnd, Qt::CaseInsensitive);
    qsizetype after = at + script.size();
    while (at >= 0 && after < url.size() && url[after] != u'/' && url[after] != u'?') {
        at = url.indexOf(script, after, Qt::CaseInsensitive);
        after = at + script.size();
    }
    if (at < 0)
        return false;

    parts = TThreadUrlParts();
    parts.Base = LowerHost(url.left(after));
    const bool withDir = t.PathOrder.contains(QLatin1String("<dir>"));
    if (after < url.size() && url[after] == u'?') {
        parts.BBS = MonaUtils::GetQueryValue(url, Param.PARAM_BBS);
        parts.Key = MonaUtils::GetQueryValue(url, Param.PARAM_DAT);
        parts.Start = MonaUtils::GetQueryValue(url, Param.PARAM_START);
        parts.End = MonaUtils::GetQueryValue(url, Param.PARAM_END);
        parts.NoFirst = !Param.PARAM_NOFIRST.isEmpty()
                        && MonaUtils::GetQueryValue(url, Param.PARAM_NOFIRST) == Param.PARAM_TRUE;
        if (withDir)
            parts.Dir = MonaUtils::GetQueryValue(url, QStringLiteral("DIR"));
    } else {
        QString rest = url.mid(after + 1);
        for (QChar stop : {u'?', u'#'}) {
            const qsizetype p = rest.indexOf(stop);
            if (p >= 0)
                rest.truncate(p);
        }
        const QStringList segments = rest.split(u'/');
        for (qsizetype i = 0; i < t.PathOrder.size() && i < segments.size(); ++i) {
            const QString &name = t.PathOrder[i];
            (name == QLatin1String("<dir>") ? parts.Dir : name == QLatin1String("<bbs>") ? parts.BBS : parts.Key) =
                segments[i];
        }
        const QString range = segments.value(t.PathOrder.size());
        if (!range.isEmpty() && !ParseRange(range, parts.Start, parts.End, parts.NoFirst))
            return false;
    }
    return !parts.BBS.isEmpty() && !parts.Key.isEmpty() && (!withDir || !parts.Dir.isEmpty());
}

namespace {
// The range parameters of a query-form read URL, each led by "&".
QString RangeQuery(const TScriptParam &param, const QString &start, const QString &end, bool noFirst)
{
    QString query;
    if (!start.isEmpty())
        query += u'&' + param.PARAM_START + u'=' + start;
    if (!end.isEmpty())
        query += u'&' + param.PARAM_END + u'=' + end;
    if (noFirst)
        query += u'&' + param.PARAM_NOFIRST + u'=' + param.PARAM_TRUE;
    return query;
}

QString CanonicalThreadUrl(const TScriptParam &param, const TThreadUrlParts &parts)
{
    QString url = parts.Base + u'?';
    if (!parts.Dir.isEmpty())
        url += QStringLiteral("DIR=") + parts.Dir + u'&';
    url += param.PARAM_BBS + u'=' + parts.BBS + u'&' + param.PARAM_DAT + u'=' + parts.Key;
    return url + RangeQuery(param, parts.Start, parts.End, parts.NoFirst);
}
}  // namespace

QString TBBS::NormalizeUrl(const QString &url) const
{
    TThreadUrlParts parts;
    return ParseThreadUrl(url, parts) ? CanonicalThreadUrl(Param, parts) : url;
}

QString TBBS::GetReadCgiBaseUrl(const TBoard *board) const
{
    return GetTemplate(QStringLiteral("READCGI"), HostOf(board), board ? board->Site : nullptr);
}

QString TBBS::GetReadCgiUrl(const TBoard *board, const QString &key) const
{
    const TReadTemplate t = SplitReadTemplate(GetReadCgiBaseUrl(board));
    if (t.ScriptName.isEmpty())
        return QString();
    TThreadUrlParts parts;
    parts.Base = FillTemplate(t.ScriptBase, TemplateValues(board, key));
    if (board && t.PathOrder.contains(QLatin1String("<dir>")))
        parts.Dir = board->GetDir();
    parts.BBS = board ? board->BBSName : QString();
    parts.Key = key;
    return CanonicalThreadUrl(Param, parts);
}

QString TBBS::GetThreadUrl(const TThreadItem *item) const
{
    return item ? BoardUrl(QStringLiteral("DAT"), item->GetBoard(), item->GetKey()) : QString();
}

QString TBBS::GetReadUrl(const TThreadItem *item, const QString &range) const
{
    const TBoard *board = item ? item->GetBoard() : nullptr;
    if (!board)
        return QString();
    const QString url = BoardUrl(QStringLiteral("READCGI"), board, item->GetKey());
    if (range.isEmpty() || url.isEmpty())
        return url;
    if (!url.contains(u'?'))
        return FileUtil::WithSlash(url) + range;
    QString start, end;
    bool noFirst = false;
    if (!ParseRange(range, start, end, noFirst))
        return url;
    return url + RangeQuery(Param, start, end, noFirst);
}

QString TBBS::GetReadUrlRange(const TThreadItem *item, int first, int last, bool noFirst) const
{
    QString range;
    if (first > 0 && last == first)
        range = QString::number(first);
    else if (first > 0 || last > 0)
        range = (first > 0 ? QString::number(first) : QString()) + u'-' + (last > 0 ? QString::number(last) : QString());
    if (noFirst && !range.isEmpty())
        range += u'n';
    return GetReadUrl(item, range);
}

QString TBBS::GetBrowserUrl(const TThreadItem *item) const
{
    return GetReadUrl(item);
}

QString TBBS::GetNewThreadCgiUrl(const TBoard *board) const
{
    return BoardUrl(QStringLiteral("NEWTHREADCGI"), board);
}

QString TBBS::GetSendCgiUrl(const TBoard *board, const QString &key) const
{
    return BoardUrl(QStringLiteral("SENDCGI"), board, key);
}

// ---- downloads and posts a type without a handler cannot do ----

QString TBBS::UnsupportedMessage()
{
    return QStringLiteral("この板の種類では実行できません。");
}

void TBBS::Report(bool synchronous, std::function<void()> report)
{
    if (synchronous)
        report();
    else
        QTimer::singleShot(0, std::move(report));
}

void TBBS::DownloadThreadList(TThreadListDownloader *job, bool reload, bool synchronous)
{
    Report(synchronous, [job] {
        if (job->OnError)
            job->OnError(job, -1, UnsupportedMessage(), QString());
        if (job->OnDone)
            job->OnDone(job, true);
    });
}

void TBBS::DownloadThreadListNextPage(TThreadListDownloader *job, int page)
{
    // A listing that is not paged has no further page.
    job->Page = page;
    Report(false, [job] {
        if (job->OnDone)
            job->OnDone(job, false);
    });
}

void TBBS::DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous)
{
    Report(synchronous, [job] {
        job->DeliverError(-1, UnsupportedMessage(), QString());
        job->DeliverDone(true);
    });
}

void TBBS::PostRes(TResUploader *job)
{
    Report(false, [job] {
        if (job->OnCancel)
            job->OnCancel(job, UnsupportedMessage());
    });
}

void TBBS::PostNewThread(TThreadUploader *job)
{
    PostRes(job);
}
