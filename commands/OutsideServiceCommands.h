#pragma once
// The commands that reach services beyond the board itself: the board settings viewer
// (act2chShowSettingTxt), the outside thread search (act2chAmezoScape), the Megabbs new-thread lists (actMegabbsNewThreads,
// actMegabbsNewThreads2), the 15ch ranking (act15chRanking, act15ch156), the vote (act2chHeee) and
// the information tree (actHelpVarneloDirect).

#include "tools/IchigobbsRankingDialog.h"

#include <QObject>
#include <QPointer>

class TBoard;
class TWindowServices;

class TOutsideServiceCommands : public QObject {
    Q_OBJECT
public:
    explicit TOutsideServiceCommands(TWindowServices &services, QObject *parent = nullptr);

    void act2chShowSettingTxtExecute();
    void act2chAmezoScapeExecute();
    // first: the first new-thread server, else the second.
    void actMegabbsNewThreadsExecute(bool first);
    void act15chRankingExecute();
    void act2chHeeeExecute();
    void actHelpVarneloDirectExecute();
    TIchigobbsRankingDialog *RankingWindow() const { return ranking; }

private:
    TWindowServices &services;
    QPointer<TIchigobbsRankingDialog> ranking;
    bool voting = false;

    bool RefuseOffline() const;
};
