#include "services/BBSRegistration.h"

#include "core/BBS.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/IniFile.h"
#include "core/MonaUtils.h"
#include "core/Site.h"
#include "core/SiteList.h"

#include <QMap>

namespace BBSRegistration {

namespace {

// The index after the last "/" or ":" of the text (0 when it has neither).
qsizetype AfterLastDelimiter(const QString &text)
{
    return std::max(text.lastIndexOf(QLatin1Char('/')), text.lastIndexOf(QLatin1Char(':'))) + 1;
}

QString LastPart(const QString &text)
{
    return text.mid(AfterLastDelimiter(text));
}

// The board URL without its page name and its final "/".
QString BoardFolder(const QString &url)
{
    QString s = url;
    if (LastPart(s).contains(QLatin1Char('.')))
        s = s.left(AfterLastDelimiter(s));
    if (s.endsWith(QLatin1Char('/')))
        s.chop(1);
    return s;
}

bool HasTypeId(const TBBS *type, std::initializer_list<const char *> ids)
{
    for (const char *id : ids) {
        if (type && type->ID.compare(QLatin1String(id), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void WriteDifferingTemplates(TSite *userSite, const TRequest &request, const QString &boardId,
                             const QString &hostPath)
{
    TIniFile ini(userSite->PrepareOwnFile(QStringLiteral("site.ini")));
    const QString host = MonaUtils::ExtractUrlHost(request.Url);
    bool changed = false;
    for (int i = 0; i < TemplateSections().size(); ++i) {
        const QString &section = TemplateSections().at(i);
        const QString field = request.Templates.value(i);
        if (field.isEmpty() || field == GetTemplate(request.Type, request.Url, boardId, section, hostPath))
            continue;
        ini.WriteString(section, host, field);
        changed = true;
    }
    if (!changed)
        return;
    ini.UpdateFile();
    userSite->Load();
}

}  // namespace

const QStringList &TemplateSections()
{
    static const QStringList sections{QStringLiteral("SUBJECT"), QStringLiteral("DAT"), QStringLiteral("READCGI"),
                                      QStringLiteral("SENDCGI"), QStringLiteral("NEWTHREADCGI")};
    return sections;
}

void SplitBoardUrl(const QString &url, QString &boardId, QString &hostPath)
{
    const QString s = BoardFolder(url);
    const qsizetype split = AfterLastDelimiter(s);
    hostPath = s.left(split).mid(7);
    hostPath.chop(1);
    boardId = s.mid(split);
}

QString GetTemplate(const TBBS *type, const QString &url, const QString &boardId, const QString &section,
                    const QString &hostPath)
{
    if (!type)
        return QString();
    const QString host = MonaUtils::ExtractUrlHost(url);
    // The type's parameter names, without <key> and <dat>: those stay for the board type to fill.
    QMap<QString, QString> values = type->TemplateValues(nullptr);
    values.remove(QStringLiteral("<key>"));
    values.remove(QStringLiteral("<dat>"));
    values.insert(QStringLiteral("<host>"), host);
    values.insert(QStringLiteral("<bbs>"), boardId);
    values.insert(QStringLiteral("<boardpath>"), hostPath);
    return TBBS::FillTemplate(type->GetTemplate(section, host.toLower()), values);
}

QString PresetTypeId(const QString &url)
{
    if (url.contains(QLatin1String("jbbs.net")) || url.contains(QLatin1String("jbbs.com")))
        return QStringLiteral("jbbsscript");
    if (url.contains(QLatin1String("jbbs.shitaraba.com")) || url.contains(QLatin1String("jbbs.shitaraba.net"))
        || url.contains(QLatin1String("jbbs.livedoor.jp")))
        return QStringLiteral("shitarabajbbs");
    if (url.contains(QLatin1String("12ch.net")))
        return QStringLiteral("12chscript");
    return QString();
}

bool CanReadIndexPage(const TBBS *type)
{
    return type && !HasTypeId(type, {"2chscript", "dolibscript", "machibbsscript", "2chkakolog", "jbbsscript"});
}

QString IndexPageUrl(const TBBS *type, const QString &boardUrl)
{
    if (!HasTypeId(type, {"2chscript", "12chscript"}))
        return boardUrl;
    if (boardUrl.endsWith(QLatin1Char('/')))
        return boardUrl + QStringLiteral("index2.html");
    if (LastPart(boardUrl) == QLatin1String("index.html"))
        return boardUrl.left(AfterLastDelimiter(boardUrl)) + QStringLiteral("index2.html");
    return boardUrl;
}

QString CgiName(const QString &readCgi, const QString &sendCgi)
{
    const QString source = !readCgi.isEmpty() ? readCgi : sendCgi;
    QString name = LastPart(source);
    const qsizetype query = name.indexOf(QLatin1Char('?'));
    return query < 0 ? name : name.left(query);
}

TAnalysis AnalyseIndexPage(const QString &page, const QString &boardUrl, const QString &cgiName, QString &folder)
{
    QString link = page;
    const qsizetype at = cgiName.isEmpty() ? -1 : page.indexOf(cgiName);
    if (at >= 0) {
        const QString text = page.left(at + cgiName.size());
        qsizetype start = 0;
        for (qsizetype i = text.size() - 1; i >= 0; --i) {
            const QChar c = text.at(i);
            if (c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char(' ') || c == QLatin1Char('=')) {
                start = i + 1;
                break;
            }
        }
        link = text.mid(start);
        if (!link.contains(QLatin1String("http://")))
            link = MonaUtils::ResolveRelativeUrl(boardUrl, link);
    }
    if (link.isEmpty())
        return anNothing;
    if (link.contains(QLatin1Char('<')) || link.contains(QLatin1Char('>')))
        return anFailed;
    folder = link.left(AfterLastDelimiter(link));
    return anFound;
}

QString MoveToFolder(const QString &field, const QString &folder, const QString &paramBbs, const QString &boardId)
{
    if (!field.contains(QLatin1String(".cgi")))
        return field;
    QString moved = folder + LastPart(field);
    if (!paramBbs.isEmpty())
        moved.replace(paramBbs + QLatin1Char('=') + boardId, paramBbs + QStringLiteral("=<bbs>"), Qt::CaseInsensitive);
    return moved;
}

QString UniqueBoardId(const TSite *site, const QString &remoteId)
{
    QString candidate = remoteId;
    int n = 1;
    for (int i = 0; i < site->Boards->Count(); ++i) {
        if (site->Boards->Get(i)->ID == candidate)
            candidate = remoteId + QString::number(n++);
    }
    return candidate;
}

TBoard *RegisterBoard(TSite *userSite, const TSiteList &sites, const TRequest &request, const QString &logRoot)
{
    QString remoteId, hostPath;
    SplitBoardUrl(request.Url, remoteId, hostPath);
    auto *board = new TBoard;
    board->Site = userSite;
    board->Name = request.Name;
    board->HostPath = hostPath;
    board->BBSName = remoteId;
    board->URL = request.Url;
    board->Category = request.Category;
    board->BBS = request.Type;
    board->CodePage = request.CodePage;
    board->Kind = TBoard::KIND_NORMAL;
    board->ID = UniqueBoardId(userSite, remoteId);
    board->LogFolder = logRoot + QStringLiteral("user/") + board->ID + QLatin1Char('/');
    userSite->Boards->InsertInCategory(board);
    userSite->SaveBoards();
    if (!sites.FindByUrl(request.Url))
        WriteDifferingTemplates(userSite, request, remoteId, hostPath);
    return board;
}

}  // namespace BBSRegistration
