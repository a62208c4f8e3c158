#pragma once
// TThreadListTabCommands: the commands of the thread-list tab the view shows and of its rows:
// sorting by a column, showing more of its list, cancelling and repeating its download, closing and locking tabs,
// marking the selected threads (bold, reversed, coloured, erased, past log), the filter into a tab
// of its own, and saving and loading the set of open board tabs (tabthread.txt).

#include "core/Colors.h"

#include <QObject>

class TThreadItem;
class TTavuListDoc;
class TWindowServices;

class TThreadListTabCommands : public QObject {
    Q_OBJECT
public:
    explicit TThreadListTabCommands(TWindowServices &services, QObject *parent = nullptr);

    void actThreadListLoadNextExecute();
    void actThreadListLoadAllExecute();
    void actThreadListCancelDownloadExecute();
    void actThreadListReloadExecute();
    void actThreadListCloseExecute();
    // Closes the other tabs (allTabs: every tab), except those locked, those still loading and
    // those whose last download failed.
    void actThreadListCloseAllExecute(bool allTabs);
    void actThreadListLockExecute();
    // The mark of the action (actThreadListBold, ...Reverse, ...Color, ...Abone, ...SetKakoLog) on
    // every selected thread, stored in its .inf.
    void actThreadListBoldExecute(const QString &actionName);
    void actThreadListFilterExecute();
    void actThreadListSaveTabExecute();
    void actThreadListLoadTabExecute();
    // A click on a column header sorts the whole list by that column (a headline does not sort).
    void SortByColumn(int column);

private:
    TWindowServices &services;

    void HideHint();
    void SetThreadMark(TTavuListDoc *doc, TThreadItem *item, const QString &actionName, TColor color);
};
