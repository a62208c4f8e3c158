#pragma once
// TSiteBoardsMenu: the board menu (V2) at the end of the main menu's "ボード一覧": the boards of the
// site the board tree shows, each category announced by a separator and its name. Choosing a board
// opens its thread list. The menu is filled each time it opens.

#include <QObject>

class QMenu;
class TBoardTreeServices;
class TBarServices;
class TReadingServices;

class TSiteBoardsMenu : public QObject {
    Q_OBJECT
public:
    TSiteBoardsMenu(TReadingServices &reading, TBoardTreeServices &boards, TBarServices &bars,
                    QObject *parent = nullptr);

    QMenu *V2 = nullptr;
    void V2Click();

private:
    TReadingServices &reading;
    TBoardTreeServices &boards;
    TBarServices &bars;
};
