#pragma once
// TPropertyCommands: the property window of the current thread (actThreadProperty), of the first
// selected thread of the thread list (actThreadListProperty) and of the board tree's board
// (actBoardProperty). A thread brought back from a local folder in the window leaves the shown
// lists of that folder at once.

#include <QObject>

class TBoard;
class TThreadItem;
class TBoardServices;
class TThreadListServices;
class TBoardTreeServices;
class TTabServices;
class TWindowFrameServices;

class TPropertyCommands : public QObject {
    Q_OBJECT
public:
    TPropertyCommands(TWindowFrameServices &frame, TTabServices &tabs, TBoardServices &boards,
                      TThreadListServices &threadList,
                      TBoardTreeServices &boardTree, QObject *parent);

    void actThreadPropertyExecute();
    void actThreadListPropertyExecute();
    void actBoardPropertyExecute();

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TBoardServices &boards;
    TThreadListServices &threadList;
    TBoardTreeServices &boardTree;

    void ShowThread(TThreadItem *item);
    // Takes the thread off the lists of the folder it left.
    void LeaveFolderLists(const TBoard *folder, const QString &key);
};
