#pragma once
// THistoryModel: one history file of the profile (readhist.txt or sendhist.txt) as a table for the
// history window. A line holds site id, board id, thread key, title and time, joined by TAB; the
// newest is first. The columns are "最終読込日", "タイトル", "ボード", "BBS", "DAT"; a board and a
// site that are still known show their names, others their raw ids.
//
// The lines are held as read; a row's cells are made only when it is drawn, so a file of tens of
// thousands of lines opens at once. Sorting, searching and deleting work on the lines; a deletion
// is written back to the file at once. No window.

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

struct THistoryEntry {
    QString SiteId;
    QString BoardId;
    QString Key;
    QString Title;
    QString Time;

    static THistoryEntry FromLine(const QString &line);
    // The title as the user reads it: the line keeps the entities of the thread's title as the
    // server wrote it ("&lt;", "&amp;"), this gives their characters.
    QString ShownTitle() const;
};

class THistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { colTime, colTitle, colBoard, colSite, colKey, ColumnCount };

    explicit THistoryModel(const QString &fileName, QObject *parent = nullptr);

    // Reads the file again (missing: empty); the sort direction starts anew.
    void Reload();
    int Count() const { return int(lines.size()); }
    THistoryEntry Entry(int row) const { return THistoryEntry::FromLine(lines.at(row)); }

    // Sorts by the column; the direction flips with each call (one direction for all columns).
    // "ボード" breaks ties by title, "BBS" by board and title.
    void SortBy(int column);
    // The first row below start whose title contains the text, ignoring case; -1 when none.
    int FindNext(const QString &text, int start) const;
    // Removes the rows and writes the file. False when the file could not be written.
    bool DeleteRows(QList<int> rows);

    // The distinct threads of history lines, newest first, at most count of them.
    static QList<THistoryEntry> RecentEntries(const QStringList &lines, int count);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString fileName;
    QStringList lines;
    bool ascending = false;

    QString Cell(const THistoryEntry &entry, int column) const;
};
