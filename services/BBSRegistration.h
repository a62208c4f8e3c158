#pragma once
// What the board registration wizard (TBBSWizard) decides, without its window: the board id and host
// path a board URL gives, the URL templates of a board type for it, the type guessed from the host,
// the CGI folder read from the board's index page, and the registration itself (the new board in the
// user site's board.dat, the templates that differ from the type's in its site.ini).

#include <QString>
#include <QStringList>

class TBBS;
class TBoard;
class TSite;
class TSiteList;

namespace BBSRegistration {

// The five template sections, in the order the wizard shows and writes them.
const QStringList &TemplateSections();   // "SUBJECT", "DAT", "READCGI", "SENDCGI", "NEWTHREADCGI"

// The board id (<bbs>) and the host path of a board URL: ".../dir/abc/" and ".../dir/abc/index.html"
// both give "abc" and "host/dir".
void SplitBoardUrl(const QString &url, QString &boardId, QString &hostPath);

// The type's template of a section for the URL's host (bbs.ini keyed by the host, else "*"), with
// <host>, <bbs>, <boardpath> and the type's <PARAM_...> names filled.
QString GetTemplate(const TBBS *type, const QString &url, const QString &boardId, const QString &section,
                    const QString &hostPath);

// The type id the URL's host suggests; empty when the host says nothing.
QString PresetTypeId(const QString &url);
// False for the types whose CGI folder is fixed ("HTMLから取得" is then disabled).
bool CanReadIndexPage(const TBBS *type);
// The page the analysis fetches first: 2ch and 12ch boards have their light index2.html.
QString IndexPageUrl(const TBBS *type, const QString &boardUrl);

// The script name the analysis looks for: the last part of the read CGI template, else of the post
// CGI template, without its query.
QString CgiName(const QString &readCgi, const QString &sendCgi);

// The result of reading the CGI folder from an index page.
enum TAnalysis { anNothing, anFailed, anFound };
// Finds the link to the script name in the page and gives its folder (up to and including its last
// "/" or ":"). anNothing: the page gave an empty link; anFailed: the link is not usable.
TAnalysis AnalyseIndexPage(const QString &page, const QString &boardUrl, const QString &cgiName, QString &folder);
// A template field moved to the folder: folder + its last part, its "<PARAM_BBS>=<board id>" put back
// as "<PARAM_BBS>=<bbs>". Fields without ".cgi" stay as they are.
QString MoveToFolder(const QString &field, const QString &folder, const QString &paramBbs, const QString &boardId);

// What the wizard collected.
struct TRequest {
    QString Url;
    QString Name;
    QString Category;
    TBBS *Type = nullptr;
    int CodePage = 0;            // 0 Shift_JIS, 1 EUC-JP
    QStringList Templates;       // one per section of TemplateSections(), as the user left them
};

// The id the new board gets in the site: the remote id, or the remote id with 1, 2, ... when a
// board before it in the site has the candidate.
QString UniqueBoardId(const TSite *site, const QString &remoteId);

// Adds the board to the user site, writes its board.dat and, when no site claims the URL, the
// templates that differ from the type's into its site.ini. Raises EVarnelo when a file cannot be
// written. Returns the new board (owned by the site).
TBoard *RegisterBoard(TSite *userSite, const TSiteList &sites, const TRequest &request, const QString &logRoot);

}  // namespace BBSRegistration
