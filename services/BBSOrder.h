#pragma once
// The order of the shown sites (bbs.txt: one SITEID a line) and the buttons of the BBS toolbar
// (bbsbar.txt: SITEID TAB caption), as the site order dialog edits them. Lines naming no known
// site are dropped when the files are read, and so vanish at the next save.

#include <QList>
#include <QString>

class TSite;
class TSiteList;

class TBBSOrder {
public:
    struct TBarEntry {
        TSite *Site = nullptr;
        QString Caption;
        bool Ticked = false;   // the site has a toolbar button
    };

    QList<TSite *> Shown;     // bbs.txt, in order
    QList<TBarEntry> Bar;     // the ticked entries of bbsbar.txt in order, then every other site

    // Reads both files of the profile folder.
    void Load(const QString &profileDir, const TSiteList &sites);
    // Writes both files (atomically). Raises EFileError when one cannot be written.
    void Save(const QString &profileDir) const;

    // Swaps the entry at index with its neighbour in the direction of step (-1 up, 1 down) and
    // returns the entry's new index; nothing happens at the ends.
    template <typename T>
    static int MoveEntry(QList<T> &list, int index, int step)
    {
        const int to = index + step;
        if (index < 0 || index >= list.size() || to < 0 || to >= list.size())
            return index;
        list.swapItemsAt(index, to);
        return to;
    }
};
