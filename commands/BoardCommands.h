#pragma once
// TBoardCommands: the board commands of the board pane that work on the selected board or on the
// boards opened in this run: adding, changing and deleting a board of the site, deleting a board's
// logs, finding a board, the menu of visited boards, and opening the web page of a board (or of the
// thread selected in the thread list) inside the program or outside.

#include <QObject>

class TBoard;
class TGaishutuMenuItem;
class TWindowServices;

class TBoardCommands : public QObject {
    Q_OBJECT
public:
    TBoardCommands(TWindowServices &services, QObject *parent = nullptr);

    // Adds a board to the shown site, the selected board's values as defaults (on a site of the
    // user's own board types the wizard of board types opens instead); changes the selected board;
    // deletes it after closing its tabs.
    void actBoardAddBoardExecute();
    void actBoardEditBoardExecute();
    void actBoardDeleteBoardExecute();
    // Deletes every log of the selected board after the user agreed. The board's open tabs, which
    // show those logs, are closed first, so none writes a log back into the emptied folder.
    void actBoardDeleteLogExecute();
    // Asks for a text and selects the next node of the board tree whose text holds it.
    void actBoardFindExecute();
    // The boards opened in this run, per offered site, as a menu under its tool button (or at the
    // cursor when the command comes from elsewhere); an entry opens its board.
    void actBoardGaishutuExecute();
    void OpenVisitedBoard(const TGaishutuMenuItem *entry);
    // The board's web page outside (the default browser) or as a page in the program (as
    // OPENINVARNELO says).
    void OpenBoardPage(const TBoard *board, bool outside);
    void OpenSelectedThreadPage(bool outside);

private:
    TWindowServices &services;

    TBoard *SelectedBoard() const;
};
