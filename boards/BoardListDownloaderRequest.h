#pragma once
// TBoardListDownloaderRequest: the download of one board-list update. The site's board-list page is
// fetched without validators (its copy kept as boardlist.txt in the site's log folder) and each of
// its lines, converted from the site's code, goes through the site's board script ParseBoard.ruro
// (docs/formats.md). Each board the script reports becomes a TBoard of the site, collected in
// the record's board list when the site claims its URL; comparing the list with the site's boards
// is the caller's.
//
// Board ids come from a server and name log folders: a board whose id is not a safe name is passed
// over with a notice, and so is a second board of an id already collected. A script error ends the
// download: it is reported once, with the script's line, and the done report follows.

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

#include "boards/RuroBas.h"

class TBoardListDownloader;
class TSite;
class TTavuHttp;

class TBoardListDownloaderRequest : public QObject {
    Q_OBJECT
public:
    // job: the record of the update (its Site, BBS and CodePage set; its Boards collect the boards).
    explicit TBoardListDownloaderRequest(TBoardListDownloader *job, QObject *parent = nullptr);
    ~TBoardListDownloaderRequest() override;

    static QString ScriptName() { return QStringLiteral("ParseBoard.ruro"); }
    // The site's board script (its layers searched); empty when it has none.
    static QString ScriptPath(const TSite *site);
    // The host path of a board URL when the script gives none: the URL without its scheme, cut
    // before the last "/<id>/" ("http://host/dir/abc/" with id abc gives "host/dir").
    static QString HostPathOf(const QString &url, const QString &id);

    // Loads the script and starts the download; the reports come from the event loop. False, with
    // nothing started, when the site has no script.
    bool Start(const QString &url);
    void Abort();
    bool IsBusy() const;

    // One line of the page, as text: the script runs over it (public for the page's reader).
    void HandleBoardLine(const QString &line);

    std::function<void(qint64 received, qint64 total)> OnProgress;
    std::function<void(const QString &message)> OnNotice;           // a board passed over
    std::function<void(int code, const QString &message)> OnError;  // code 0: aborted
    std::function<void(bool failed)> OnDone;

private:
    TBoardListDownloader *job;
    TRuroBas script;
    QPointer<TTavuHttp> http;
    bool scriptFailed = false;

    void RunScript(const QString &line);
    void TakeBoard();
    void Notice(const QString &message);
};
