#pragma once
// Erasing by query and restoring: actThreadQueryAbone / actThreadListQueryAbone (TAboneDialog over
// the posts of the current thread tab or the selected threads) and actThreadRebone /
// actThreadListRebone (TReboneDialog over the erased posts of the current thread tab or the erased
// threads of the current list's board). An erase only marks: every log keeps its text, so a
// restore brings back exactly what was there.

#include <QObject>

class TThreadListServices;
class TTabServices;
class TThreadViewServices;
class TWindowFrameServices;

class TEraseCommands : public QObject {
    Q_OBJECT
public:
    explicit TEraseCommands(TWindowFrameServices &frame, TTabServices &tabs, TThreadViewServices &views,
                            TThreadListServices &threadList, QObject *parent = nullptr);

    void actThreadQueryAboneExecute();
    void actThreadListQueryAboneExecute();
    void actThreadReboneExecute();
    void actThreadListReboneExecute();

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TThreadViewServices &views;
    TThreadListServices &threadList;
};
