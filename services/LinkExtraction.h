#pragma once
// The link extraction behind TExtractLinkDialog, without the window: the queued post lists, the
// links found in them, which links a view shows, the ticking rules, the link page and handing the
// ticked URLs to a download target.
//
// A download target other than the clipboard is started as a program with one argument per URL
// (never through a shell), so no URL can become a command or an option of another.

#include "services/ResSearch.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class TRes;
class TResList;
class TThreadItem;

// One entry of linktype.txt: "caption|ext;ext;...".
struct TLinkType {
    QString Caption;
    QStringList Extensions;
    static TLinkType FromLine(const QString &line);
};

// One entry of the target list: the clipboard or a downloader of downapp.txt.
struct TDownloadTarget {
    QString Caption;
    QString Command;   // "clipboard" or the program
};

// What the list shows (the three check boxes and the radio group).
struct TLinkFilter {
    bool NewOnly = false;
    bool BookmarkedOnly = false;
    bool ByPlace = false;
    bool InsideBoards = true;   // with ByPlace: only links into a known site, else only outside ones
};

class TLinkExtraction {
public:
    TLinkExtraction();
    ~TLinkExtraction();

    // Sources: a thread's stored log, or copies of given posts of one thread.
    void AddThread(TThreadItem *item);
    void AddResList(TThreadItem *item, const QList<TRes *> &posts);
    int SourceCount() const { return int(sources.size()); }
    void ExtractLinks();
    const QList<ResSearch::TLinkItem> &Links() const { return links; }

    // The links the view shows, as indexes into Links(), in the view's order (by thread title when
    // more than one source is queued, else by post number).
    QList<int> Visible(const TLinkFilter &filter) const;

    // Ticking rules over the given rows.
    static QList<int> MatchingType(const QList<ResSearch::TLinkItem> &links, const QList<int> &rows, const TLinkType &type);
    static QList<int> MatchingText(const QList<ResSearch::TLinkItem> &links, const QList<int> &rows, const QString &text);

    // Targets: the clipboard, then every downloader of the profile's downapp.txt.
    static QList<TDownloadTarget> LoadTargets(const QString &profileDir);
    // Hands the URLs to the target; false (with the reason) when the program could not be started.
    static bool Dispatch(const TDownloadTarget &target, const QStringList &urls, QString *error = nullptr);

    // The "リンク一覧" page: the template once per URL, every "%s" replaced by the escaped URL.
    static QString LinkPage(const QString &linkTemplate, const QStringList &urls);
    static QString LoadLinkTemplate(const QString &profileDir);   // creates linkprv.txt when missing

private:
    std::vector<std::unique_ptr<TResList>> sources;
    QList<ResSearch::TLinkItem> links;
};
