#pragma once
// The commands of the thread-list tabs and their rows that no dialog stands behind: copying the
// selected threads' and the selected board's addresses and names, moving between the tabs,
// deleting the logs of the selected threads and showing only the threads whose logs are stored.

#include "commands/CopyFormats.h"

#include <QObject>

class TBoardServices;
class TThreadListServices;
class TBoardTreeServices;
class TTabServices;
class TWindowFrameServices;

class TThreadListCommands : public QObject {
    Q_OBJECT
public:
    explicit TThreadListCommands(TWindowFrameServices &frame, TTabServices &tabs, TBoardServices &boards,
                                 TThreadListServices &threadList,
                                 TBoardTreeServices &boardTree,
                                 QObject *parent = nullptr);

    void actThreadListCopyUrlExecute(CopyFormats::TThreadCopy kind);
    void actBoardCopyUrlExecute(CopyFormats::TThreadCopy kind);
    void actThreadListNextTabExecute(int step);
    void actThreadListDeleteLogExecute();
    void actThreadListShowLocalExecute();

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TBoardServices &boards;
    TThreadListServices &threadList;
    TBoardTreeServices &boardTree;
};
