#pragma once
// TShortcutAddCommands: the current thread (actThreadAddShortcut), the selected threads of the thread
// list (actThreadListAddShortcut) or the board tree's board (actBoardAddShortcut) put on the shortcut
// bar through the shortcut dialog; threads that are all on the bar already are taken off instead.

#include <QList>
#include <QObject>

class TBoard;
class TThreadItem;
class TBoardServices;
class TThreadListServices;
class TBoardTreeServices;
class TTabServices;
class TWindowFrameServices;

class TShortcutAddCommands : public QObject {
    Q_OBJECT
public:
    TShortcutAddCommands(TWindowFrameServices &frame, TTabServices &tabs, TBoardServices &boards,
                         TThreadListServices &threadList,
                         TBoardTreeServices &boardTree, QObject *parent);

    void actThreadAddShortcutExecute();
    void actThreadListAddShortcutExecute();
    void actBoardAddShortcutExecute();
    // The board of the current thread-list tab.
    void actThreadListBoardAddToShortcutExecute();

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TBoardServices &boards;
    TThreadListServices &threadList;
    TBoardTreeServices &boardTree;

    void AddOrRemove(const QList<TThreadItem *> &items);
    bool AddBoard(const TBoard *board);
};
