#pragma once
// The main-window commands that run the site and board dialogs: the board editor behind adding and
// changing boards, the site selection (actBBSSelect), the site order (actBBSOrder) and the move of
// thread logs to the local folder (actThreadListMoveToLocal).

#include <QStringList>

class QWidget;
class TSiteList;
class TBoardServices;
class TThreadListServices;
class TBoardTreeServices;
class TWindowFrameServices;

namespace SiteDialogCommands {

// Installs the board editor and binds the three commands.
void Bind(TWindowFrameServices &frame, TBoardServices &boards, TThreadListServices &threadList,
          TBoardTreeServices &boardTree);
// Makes TBoardEditor (a child of parent) the editor of BoardTree::AddSiteBoard and
// BoardTree::ModifySiteBoard.
void InstallBoardEditor(QWidget *parent = nullptr);

// actBBSSelect: the site selection dialog; both OK and Cancel leave bbs.txt and the sites' shown
// flags in step and show the first site of the refilled site box.
void BBSSelectExecute(TWindowFrameServices &frame, TBoardTreeServices &boardTree);
// actBBSOrder: the site order dialog; on OK the site box and the BBS toolbar are rebuilt.
void BBSOrderExecute(TWindowFrameServices &frame, TBoardServices &boards, TBoardTreeServices &boardTree);
// actThreadListMoveToLocal: the selected threads of the shown board tab go to a local folder; the
// rows of the threads moved leave the list.
void MoveToLocalExecute(TWindowFrameServices &frame, TThreadListServices &threadList);

// The SITEIDs bbs.txt gets after the site selection: the sites of the former list that are still
// shown, in their order, then the other shown sites and the favorites, local, user and RSS sites,
// in registry order.
QStringList ShownSiteIds(const TSiteList &sites, const QStringList &former);

}  // namespace SiteDialogCommands
