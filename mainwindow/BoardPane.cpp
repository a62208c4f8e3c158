// The board pane: the site shown, its board tree, and opening the board chosen in it.

#include "mainwindow/BoardPane.h"

#include "controls/BoardTree.h"
#include "controls/BoardTreeImages.h"
#include "controls/SiteComboBox.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/TavuConfig.h"
#include "mainwindow/PaneWidgets.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QTreeWidget>
#include <QVBoxLayout>

TBoardPane::TBoardPane(TWindowFrameServices &frame, TReadingServices &reading, QWidget *parent)
    : QWidget(parent), frame(frame), reading(reading)
{
    setObjectName(QStringLiteral("BoardListPanel"));
    QVBoxLayout *layout = PaneWidgets::TightColumn(this);
    SiteComboBox = new TSiteComboBox(this);
    SiteComboBox->setObjectName(QStringLiteral("SiteComboBox"));
    BoardFilterCombo = new QComboBox(this);
    BoardFilterCombo->setObjectName(QStringLiteral("BoardFilterCombo"));
    BoardFilterCombo->setEditable(true);
    BoardFilterCombo->hide();
    BoardListView = new QTreeWidget(this);
    BoardListView->setObjectName(QStringLiteral("BoardListView"));
    BoardListView->setHeaderHidden(true);
    BoardListView->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(SiteComboBox);
    layout->addWidget(BoardFilterCombo);
    layout->addWidget(BoardListView, 1);
    connect(SiteComboBox, &QComboBox::currentIndexChanged, this, &TBoardPane::SiteComboBoxChange);
    BindBoardTree();
}

// A board opens with a single or a double click, as BOARDLISTSETTING says; with a single click a
// category opens and closes with it too. Selecting a closed category closes the others first when
// BOARDLISTAUTOEXPAND says so (for a click, at its end).
void TBoardPane::BindBoardTree()
{
    connect(BoardListView, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *node) {
        BoardTree::CategorySelected(BoardListView, node);
        if (TavuConfig->BOARDLISTSETTING != 0)
            return;
        if (BoardTree::NodeBoard(node) || BoardTree::NodeSite(node))
            BoardTreeChange();
        else if (node->childCount() > 0)
            node->setExpanded(!node->isExpanded());
    });
    connect(BoardListView, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *node) {
        if (TavuConfig->BOARDLISTSETTING == 1 && (BoardTree::NodeBoard(node) || BoardTree::NodeSite(node)))
            BoardTreeChange();
    });
    connect(BoardListView, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *node) {
        // A category selected by a click closes the others once the click is done: closing them
        // now would move the rows under the pointer while the tree still handles the press.
        if (!(QGuiApplication::mouseButtons() & Qt::LeftButton))
            BoardTree::CategorySelected(BoardListView, node);
        emit CurrentNodeChanged();
    });
    for (auto signal : {&QTreeWidget::itemExpanded, &QTreeWidget::itemCollapsed}) {
        connect(BoardListView, signal, this, [](QTreeWidgetItem *node) {
            if (!BoardTree::NodeBoard(node) && !BoardTree::NodeSite(node))
                node->setIcon(0, BoardTreeImages::CategoryIcon(node->isExpanded()));
        });
    }
}

// ---- the site shown ----

void TBoardPane::SelectSite(TSite *site)
{
    if (site == currentSite)
        return;
    for (int i = 0; i < SiteComboBox->count(); ++i) {
        if (SiteComboBox->itemData(i).value<void *>() == site) {
            const QSignalBlocker blocker(SiteComboBox);
            SiteComboBox->setCurrentIndex(i);
            SiteComboBoxChange();
            return;
        }
    }
}

void TBoardPane::SiteComboBoxChange()
{
    auto *site = static_cast<TSite *>(SiteComboBox->currentData().value<void *>());
    if (!site)
        return;
    BoardTree::SaveTreeState(BoardListView, currentSite);
    currentSite = site;
    BoardTree::FillBoardTree(BoardListView, site, BoardFilterCombo->currentText());
    emit SiteShown(site);
}

void TBoardPane::ShowSiteBoards(TSite *site)
{
    if (site != currentSite) {
        SelectSite(site);
        return;
    }
    BoardTree::SaveTreeState(BoardListView, site);
    BoardTree::FillBoardTree(BoardListView, site, BoardFilterCombo->currentText());
}

void TBoardPane::FillSiteBox()
{
    BoardTree::LoadBBSTree(SiteComboBox);
}

void TBoardPane::ShowFirstSite()
{
    BoardTree::LoadBBSTree(SiteComboBox);
    if (SiteComboBox->count() == 0)
        return;
    {
        const QSignalBlocker blocker(SiteComboBox);
        SiteComboBox->setCurrentIndex(0);
    }
    SiteComboBoxChange();
}

void TBoardPane::ShowNewBoardsOf(TSite *site, bool filtered)
{
    if (site && currentSite == site)
        BoardTree::FillBoardTree(BoardListView, site, filtered ? BoardFilterCombo->currentText() : QString());
}

QList<TSite *> TBoardPane::OfferedSites() const
{
    QList<TSite *> sites;
    for (int i = 0; i < SiteComboBox->count(); ++i) {
        if (auto *site = static_cast<TSite *>(SiteComboBox->itemData(i).value<void *>()))
            sites.append(site);
    }
    return sites;
}

void TBoardPane::SaveBoardTreeState()
{
    BoardTree::SaveTreeState(BoardListView, currentSite);
}

// ---- the board tree ----

TBoard *TBoardPane::SelectedTreeBoard() const
{
    return BoardTree::NodeBoard(BoardListView->currentItem());
}

bool TBoardPane::HasCurrentTreeNode() const
{
    return BoardListView->currentItem() != nullptr;
}

bool TBoardPane::IsPaneShown(const char *action) const
{
    const QAction *pane = frame.Action(QString::fromUtf8(action));
    return pane && pane->isChecked();
}

void TBoardPane::SwitchPaneFromBoardList(bool wanted)
{
    if (!wanted || !TavuConfig->CHANGEPANE_BOARDLIST)
        return;
    QAction *change = frame.Action(QStringLiteral("actShowPaneChange"));
    if (change && change->isEnabled())
        change->trigger();
}

void TBoardPane::BoardTreeChange()
{
    QTreeWidgetItem *node = BoardListView->currentItem();
    if (TBoard *board = BoardTree::NodeBoard(node)) {
        if (board->Kind == TBoard::KIND_WWW) {
            reading.OpenWebPage(board->URL, board->Name);
            SwitchPaneFromBoardList(IsPaneShown("actShowThreadList2") && !IsPaneShown("actShowBrowser"));
            return;
        }
        reading.OpenBoard(board, false);
        if ((board->Kind == TBoard::KIND_NORMAL || board->Kind == TBoard::KIND_RSS) && TavuConfig->CACHED) {
            board->Opened = true;
            node->setIcon(0, BoardTreeImages::BoardIcon(*board));
        }
        SwitchPaneFromBoardList(!IsPaneShown("actShowThreadList2"));
        return;
    }
    if (BoardTree::NodeSite(node) && node->childCount() == 0) {
        BoardTree::FillSiteBoards(BoardListView, node);
        if (TavuConfig->BOARDLISTSETTING == 1)
            node->setExpanded(true);
    }
}

void TBoardPane::SelectBoardInTree(const TBoard *board)
{
    if (!board)
        return;
    if (board->Site != currentSite)
        SelectSite(board->Site);
    BoardTree::SelectBoardNode(BoardListView, board);
}

void TBoardPane::JumpToBoardInTree(const TBoard *board)
{
    if (TavuConfig->JUMPSHORTCUT)
        SelectBoardInTree(board);
}

bool TBoardPane::FindTreeNode(const QString &text, bool fromNext)
{
    QTreeWidgetItem *node = BoardTree::FindNextNode(BoardListView, text, fromNext);
    if (!node)
        return false;
    BoardListView->setCurrentItem(node);
    BoardListView->scrollToItem(node);
    return true;
}

void TBoardPane::RefreshTreeNodeIcon()
{
    QTreeWidgetItem *node = BoardListView->currentItem();
    if (const TBoard *board = BoardTree::NodeBoard(node))
        node->setIcon(0, BoardTreeImages::BoardIcon(*board));
}

bool TBoardPane::BoardListsBusy()
{
    return BoardTree::BoardListsBusy();
}

void TBoardPane::ShowBoardFilter(bool shown)
{
    BoardFilterCombo->setVisible(shown);
    if (BoardFilterCombo->isVisible())
        BoardFilterCombo->setFocus();
}

void TBoardPane::ExpandBoardTree(bool expand)
{
    BoardListView->setUpdatesEnabled(false);
    if (expand)
        BoardListView->expandAll();
    else
        BoardListView->collapseAll();
    BoardListView->setUpdatesEnabled(true);
}

QWidget *TBoardPane::TabDropTarget() const
{
    BoardListView->setAcceptDrops(true);
    BoardListView->viewport()->setAcceptDrops(true);
    return BoardListView->viewport();
}

bool TBoardPane::TreeNodeAt(const QPoint &point, TBoard *&board) const
{
    const QTreeWidgetItem *node = BoardListView->itemAt(point);
    board = BoardTree::NodeBoard(node);
    return node != nullptr;
}
