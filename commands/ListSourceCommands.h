#pragma once
// TListSourceCommands: thread lists made from sources other than a board listing, each in a result
// tab of its own: every thread read ("全取得スレ", readhist.txt), every thread posted to
// ("全書き込みスレ", sendhist.txt), and a favourites folder, checked for updates or patrolled.

#include <QObject>
#include <QString>

class TThreadItemList;
class TThreadListServices;
class TBoardTreeServices;
class TReadingServices;
class TTabServices;
class TWindowFrameServices;

class TListSourceCommands : public QObject {
    Q_OBJECT
public:
    TListSourceCommands(TWindowFrameServices &frame, TTabServices &tabs, TReadingServices &reading,
                        TThreadListServices &threadList, TBoardTreeServices &boardTree, QObject *parent = nullptr);

    // The threads of a history file (site id, board id, key, title, time; TAB-separated), each
    // once, in file order; those whose site, board or log is gone are left out.
    static TThreadItemList *ReadHistory(const QString &fileName);
    void ShowHistory(const QString &fileName, const QString &caption);
    // The selected favourites folder's threads (or the selected board's tab) checked for updates,
    // or patrolled. Needs save mode and the online state.
    void actBoardFavRoundExecute(bool patrol);

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TReadingServices &reading;
    TThreadListServices &threadList;
    TBoardTreeServices &boardTree;
};
