#include "commands/SiteBoardsMenu.h"

#include "controls/BoardTreeImages.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"

#include <QAction>
#include <QMenu>

TSiteBoardsMenu::TSiteBoardsMenu(TReadingServices &reading, TBoardTreeServices &boards, TBarServices &bars,
                                 QObject *parent)
    : QObject(parent), reading(reading), boards(boards), bars(bars)
{
    QMenu *boardMenu = bars.Menu(QStringLiteral("BoardMenu"));
    if (!boardMenu)
        return;
    V2 = new QMenu(QStringLiteral("このサイトのボード(&V)"), boardMenu);
    V2->setObjectName(QStringLiteral("V2"));
    boardMenu->addSeparator();
    boardMenu->addMenu(V2);
    connect(V2, &QMenu::aboutToShow, this, &TSiteBoardsMenu::V2Click);
}

void TSiteBoardsMenu::V2Click()
{
    V2->clear();
    const TSite *site = boards.CurrentSite();
    if (!site)
        return;
    QString category;
    for (int i = 0; i < site->Boards->Count(); ++i) {
        TBoard *board = site->Boards->Get(i);
        if (i == 0 || board->Category != category) {
            category = board->Category;
            V2->addSeparator();
            V2->addAction(BoardTreeImages::CategoryIcon(false), category)->setEnabled(false);
        }
        V2->addAction(BoardTreeImages::BoardIcon(*board), board->Name, this, [this, board] { reading.OpenBoard(board, false); });
    }
}
