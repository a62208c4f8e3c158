#pragma once
// TWindowLists: the lists the main window keeps in the profile between runs, and the column list of
// its thread-list view. The recent boards (recbrd.txt) and threads (recthrd.txt), the URL history
// (urllog.txt, handed to the address box, which keeps it while the program runs), the bookmark list
// (bookmark.txt, copied to bookmark.bak once it has been read) and the thread-list columns
// (column.txt, copied from the def folder when the profile has none), with each column's width
// kept in the configuration under its key ("NO" for the first column).
//
// The bookmark list is what the units ask for as the bookmark index (TBookmarkServices,
// controls/WindowServices.h).
//
// A list file that exists but cannot be read is told in the log; the list keeps it from being
// written over. A list that cannot be written is told in the log too.

#include "controls/WindowServices.h"
#include "core/TextList.h"

#include <QString>
#include <QStringList>

class TqorExtListView;

class TWindowLists : public TBookmarkServices {
public:
    TTextList BookmarkList;     // bookmark.txt: "SITEID/board id/thread key=title"
    TTextList RecentBoards;     // recbrd.txt
    TTextList RecentThreads;    // recthrd.txt
    QStringList ThreadListColumns;   // column.txt: the keys of the columns after the first

    // Profile files of the window.
    static QString ResRulesFile();     // ngres.txt
    static QString ThreadRulesFile();  // ngthread.txt
    static QString BookmarkFile();     // bookmark.txt

    TTextList &BookmarkIndex() override { return BookmarkList; }
    QString BookmarkIndexFile() const override { return BookmarkFile(); }

    // Reads the recent lists and the bookmark list (each only when its file exists); gives the
    // lines of the URL history.
    QStringList Load();
    // Reads column.txt into the column keys and builds the view's columns in its order.
    void LoadColumnList(TqorExtListView *view);
    // Gives each column of the view the width stored under its key, when one is stored.
    void ApplyColumnWidths(TqorExtListView *view) const;
    // Stores the width of each column of the view under its key.
    void StoreColumnWidths(const TqorExtListView *view) const;
    // column.txt changed: the columns are built again in its order, each with the width it had.
    void ReloadThreadListColumns(TqorExtListView *view);

    void SaveBookmarkList() const;
    // The bookmark list, then the recent boards and threads (read at the next start).
    void Save() const;

private:
    static bool LoadList(TTextList &list, const QString &fileName);
    static void SaveList(const TTextList &list, const QString &fileName);
};
