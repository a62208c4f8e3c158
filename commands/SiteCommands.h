#pragma once
// TSiteCommands: the commands that bring sites and boards in from outside: the board registration
// wizard (actBBSWizard, also behind "板の追加" on the user site), the feed wizard (actRSSWizard), the
// site set-up from a URL (actBBSSetup) and the import of a 2channel.brd board list
// (actBoardImportKatjuBoard), each showing the site that received the boards; and the search of the
// board tree (actBoardFind) and the Be boards of the 2ch site (actBe2chBoardEdit).

#include <QObject>

class TBoardTreeServices;
class TWindowFrameServices;

class TSiteCommands : public QObject {
    Q_OBJECT
public:
    TSiteCommands(TWindowFrameServices &frame, TBoardTreeServices &boards, QObject *parent);

    void actBBSWizardExecute();
    void actRSSWizardExecute();
    void actBBSSetupExecute();
    void actBoardImportKatjuBoardExecute();
    void actBe2chBoardEditExecute();

private:
    TWindowFrameServices &frame;
    TBoardTreeServices &boards;
};
