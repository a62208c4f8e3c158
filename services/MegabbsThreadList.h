#pragma once
// TMegabbsThreadList: the "new threads" page of the Megabbs boards, turned into thread items of the
// site "megabbs". Each link line of the page reads
//     <a href="...readres.cgi?bo=<board>&vi=<key>&...">Title (count)</a>
// A link to a board the site does not know keeps its place in the numbering but adds no item.

#include <QString>

class TSite;
class TThreadItemList;

class TMegabbsThreadList {
public:
    // Fetches the page and appends its threads to items. False with the error text for the log pane
    // when the page could not be read or holds no thread link at all (a changed page); items is
    // then left as it was.
    static bool Load(const QString &url, TThreadItemList *items, QString &error);
    // The page's threads of known boards appended to items; -1 when no line is a thread link.
    static int Parse(const QString &page, TSite *site, TThreadItemList *items);
};
