#pragma once
// TAmezoSearch: the request and the reply of the outside full-text thread search over the boards
// of the site "2ch". The reply (EUC-JP) lists each hit as
//     <dt>...<a ...>title</a>...<dd><a href="thread URL">...
// A hit on a board the site does not know is skipped and takes no number.

#include <QString>
#include <QStringList>

class TSite;
class TThreadItemList;

class TAmezoSearch {
public:
    // The board families and the sort orders offered, in the order of the dialog's lists.
    static QStringList BoardKinds();
    static QStringList SortTypes();
    // The search's names for them; an index out of range gives the first.
    static QString IndexName(int boardKind);
    static QString SortName(int sortType);

    static QString BuildUrl(const QString &cgiUrl, const QString &keyword, int boardKind, int sortType);

    // Appends the hits of a reply (the body of a 200 answer to url) to items. False with the error
    // text for the log pane when it is not a result page; items is then left as it was.
    static bool ReadReply(const QString &url, const QByteArray &body, TThreadItemList *items, QString &error);
    // The hits of known boards appended to items; -1 when the page is not a result page (no hit
    // and no end of the document).
    static int Parse(const QString &page, TSite *site, TThreadItemList *items);
};
