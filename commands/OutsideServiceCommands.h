#pragma once
// The commands that reach services beyond the board itself: the board settings viewer
// (act2chShowSettingTxt), the outside thread search (act2chAmezoScape), the Megabbs new-thread lists (actMegabbsNewThreads,
// actMegabbsNewThreads2) and the 15ch ranking (act15chRanking, act15ch156).

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
    TIchigobbsRankingDialog *RankingWindow() const { return ranking; }

private:
    TWindowServices &services;
    QPointer<TIchigobbsRankingDialog> ranking;

    bool RefuseOffline() const;
};
