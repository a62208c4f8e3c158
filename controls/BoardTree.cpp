// The board tree and the site list of the board pane.

#include "controls/BoardTree.h"

#include "controls/BarsAndMenus.h"
#include "controls/BoardTreeImages.h"
#include "controls/TabButton.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Colors.h"
#include "core/Exceptions.h"
#include "core/IniFile.h"
#include "core/MonaUtils.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/TextList.h"

#include <QComboBox>
#include <QLayout>
#include <QStyle>
#include <QToolBar>
#include <QImage>
#include <QPixmap>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace BoardTree {

namespace {

const QString TopKey = QStringLiteral("TOP");
const QString SelectedKey = QStringLiteral("SELECTED");

QString BoardCnfFile()
{
    return TavuConfig->GetProfileDir() + QStringLiteral("boardcnf.ini");
}

bool NameMatches(const QString &name, const QString &filter)
{
    return filter.isEmpty()
        || MonaUtils::ToHalfWidth(name).contains(MonaUtils::ToHalfWidth(filter), Qt::CaseInsensitive);
}

// A node is drawn on its kind's background (BOARDLISTBKCOLOR, CATEGORYBKCOLOR) in BOARDTEXTCOLOR.
void PaintNode(QTreeWidgetItem *node, TColor background)
{
    node->setBackground(0, QColor::fromRgba(ColorToQColor(background)));
    node->setForeground(0, QColor::fromRgba(ColorToQColor(TavuConfig->BOARDTEXTCOLOR)));
}

QTreeWidgetItem *NewBoardNode(QTreeWidgetItem *category, TBoard *board)
{
    auto *node = new QTreeWidgetItem(category, {board->Name});
    node->setData(0, Qt::UserRole, QVariant::fromValue<void *>(board));
    node->setIcon(0, BoardTreeImages::BoardIcon(*board));
    PaintNode(node, TavuConfig->BOARDLISTBKCOLOR);
    return node;
}

QTreeWidgetItem *NewCategoryNode(QTreeWidget *tree, QTreeWidgetItem *parent, const QString &name)
{
    auto *node = parent ? new QTreeWidgetItem(parent, {name}) : new QTreeWidgetItem(tree, {name});
    node->setIcon(0, BoardTreeImages::CategoryIcon(false));
    PaintNode(node, TavuConfig->CATEGORYBKCOLOR);
    return node;
}

void SetExpandedWithChildren(QTreeWidgetItem *node, bool expanded)
{
    node->setExpanded(expanded);
    for (int i = 0; i < node->childCount(); ++i)
        SetExpandedWithChildren(node->child(i), expanded);
}

// The category's stored state: collapsed when its key is set, else expanded (and selected when
// categories open by themselves).
void FinishCategoryNode(QTreeWidget *tree, QTreeWidgetItem *node, const TIniFile &ini, const QString &section)
{
    if (!node)
        return;
    const bool collapsed = ini.ReadBool(section, node->text(0), false);
    SetExpandedWithChildren(node, !collapsed);
    node->setIcon(0, BoardTreeImages::CategoryIcon(!collapsed));
    if (!collapsed && TavuConfig->BOARDLISTAUTOEXPAND)
        tree->setCurrentItem(node);
}

// Every node of the tree in tree order.
void WalkNodes(QTreeWidgetItem *node, const std::function<void(QTreeWidgetItem *)> &visit)
{
    visit(node);
    for (int i = 0; i < node->childCount(); ++i)
        WalkNodes(node->child(i), visit);
}

void WalkTree(QTreeWidget *tree, const std::function<void(QTreeWidgetItem *)> &visit)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        WalkNodes(tree->topLevelItem(i), visit);
}

QTreeWidgetItem *FindNode(QTreeWidget *tree, const std::function<bool(QTreeWidgetItem *)> &match)
{
    QTreeWidgetItem *found = nullptr;
    WalkTree(tree, [&](QTreeWidgetItem *node) {
        if (!found && match(node))
            found = node;
    });
    return found;
}

QTreeWidgetItem *FindNodeByText(QTreeWidget *tree, const QString &text)
{
    if (text.isEmpty())
        return nullptr;
    return FindNode(tree, [&text](QTreeWidgetItem *node) { return node->text(0) == text; });
}

void RestoreTopAndSelected(QTreeWidget *tree, const TIniFile &ini, const QString &section)
{
    if (QTreeWidgetItem *top = FindNodeByText(tree, ini.ReadString(section, TopKey)))
        tree->scrollToItem(top, QAbstractItemView::PositionAtTop);
    if (QTreeWidgetItem *selected = FindNodeByText(tree, ini.ReadString(section, SelectedKey))) {
        tree->setCurrentItem(selected);
        if (selected->parent())
            selected->parent()->setExpanded(true);
    }
}

// Adds the boards of the site below parent (a site node) or at the top level of the tree, one
// category node per run of boards of one category. finish is called on each category node once
// its boards are in.
void AddBoards(QTreeWidget *tree, QTreeWidgetItem *parent, TSite *site, const QString &filter,
               const std::function<void(QTreeWidgetItem *)> &finish)
{
    QTreeWidgetItem *category = nullptr;
    QString categoryName;
    for (int i = 0; i < site->Boards->Count(); ++i) {
        TBoard *board = site->Boards->Get(i);
        if (!NameMatches(board->Name, filter))
            continue;
        if (!category || board->Category != categoryName) {
            if (category)
                finish(category);
            categoryName = board->Category;
            category = NewCategoryNode(tree, parent, categoryName);
        }
        NewBoardNode(category, board);
    }
    if (category)
        finish(category);
}

// The site's picture: icon.bmp of its folder, transparent where it has the colour of its pixel at
// column 0, row 15; the default site picture without one.
QIcon SitePicture(const TSite *site)
{
    const QString file = site->FindFile(QStringLiteral("icon.bmp"));
    const QImage image = file.isEmpty() ? QImage() : QImage(file);
    if (image.isNull())
        return BoardTreeImages::DefaultSiteIcon();
    QPixmap pixmap = QPixmap::fromImage(image);
    if (image.width() > 0 && image.height() > 15)
        pixmap.setMask(pixmap.createMaskFromColor(image.pixelColor(0, 15)));
    return QIcon(pixmap);
}

}  // namespace

TBoard *NodeBoard(const QTreeWidgetItem *node)
{
    return node ? static_cast<TBoard *>(node->data(0, Qt::UserRole).value<void *>()) : nullptr;
}

TSite *NodeSite(const QTreeWidgetItem *node)
{
    return node ? static_cast<TSite *>(node->data(0, SiteRole).value<void *>()) : nullptr;
}

void FillBoardTree(QTreeWidget *tree, TSite *site, const QString &filter)
{
    const QSignalBlocker blocker(tree);
    tree->setUpdatesEnabled(false);
    tree->clear();
    if (site) {
        const TIniFile ini(BoardCnfFile());
        AddBoards(tree, nullptr, site, filter,
                  [&](QTreeWidgetItem *category) { FinishCategoryNode(tree, category, ini, site->SITEID); });
        if (tree->topLevelItemCount() > 0)
            RestoreTopAndSelected(tree, ini, site->SITEID);
    }
    tree->setUpdatesEnabled(true);
}

void FillSiteBoards(QTreeWidget *tree, QTreeWidgetItem *siteNode)
{
    TSite *site = NodeSite(siteNode);
    if (!site)
        return;
    AddBoards(tree, siteNode, site, QString(), [](QTreeWidgetItem *) {});
}

void SaveTreeState(QTreeWidget *tree, const TSite *site)
{
    if (!tree || !site || tree->topLevelItemCount() == 0)
        return;
    TIniFile ini(BoardCnfFile());
    const QString &section = site->SITEID;
    ini.EraseSection(section);
    WalkTree(tree, [&](QTreeWidgetItem *node) {
        if (node->childCount() > 0 && !node->isExpanded())
            ini.WriteString(section, node->text(0), QStringLiteral("1"));
    });
    const QTreeWidgetItem *top = tree->itemAt(0, 0);   // none while the tree was never shown
    ini.WriteString(section, TopKey, (top ? top : tree->topLevelItem(0))->text(0));
    if (const QTreeWidgetItem *selected = tree->currentItem())
        ini.WriteString(section, SelectedKey, selected->text(0));
    else
        ini.DeleteKey(section, SelectedKey);
    try {
        ini.UpdateFile();
    } catch (const EVarnelo &e) {
        EventLog::AddLog(e.Message);
    }
}

void SelectBoardNode(QTreeWidget *tree, const TBoard *board)
{
    if (TavuConfig->BOARDLISTAUTOEXPAND)
        tree->collapseAll();
    QTreeWidgetItem *node = FindNode(tree, [board](QTreeWidgetItem *n) { return NodeBoard(n) == board; });
    if (!node)
        return;
    tree->setCurrentItem(node);
    if (node->parent())
        SetExpandedWithChildren(node->parent(), true);
}

void CategorySelected(QTreeWidget *tree, const QTreeWidgetItem *node)
{
    if (!TavuConfig->BOARDLISTAUTOEXPAND || !node || NodeBoard(node) || NodeSite(node) || node->isExpanded())
        return;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        SetExpandedWithChildren(tree->topLevelItem(i), false);
}

void PaintBoardTree(QTreeWidget *tree)
{
    WalkTree(tree, [](QTreeWidgetItem *node) {
        if (NodeBoard(node))
            PaintNode(node, TavuConfig->BOARDLISTBKCOLOR);
        else if (!NodeSite(node))
            PaintNode(node, TavuConfig->CATEGORYBKCOLOR);
    });
}

QTreeWidgetItem *FindNextNode(QTreeWidget *tree, const QString &text, bool fromNext)
{
    const QString wanted = text.toLower();
    QTreeWidgetItemIterator it(tree);
    if (fromNext && tree->currentItem()) {
        while (*it && *it != tree->currentItem())
            ++it;
        if (*it)
            ++it;
    }
    for (; *it; ++it) {
        if ((*it)->text(0).toLower().contains(wanted))
            return *it;
    }
    return nullptr;
}

void LoadBBSTree(QComboBox *siteBox)
{
    const QSignalBlocker blocker(siteBox);
    siteBox->clear();
    TTextList lines;
    if (!TavuEnviron || !lines.LoadFromFile(TavuConfig->GetProfileDir() + QStringLiteral("bbs.txt")))
        return;
    for (const QString &line : lines.Lines) {
        TSite *site = TavuEnviron->SiteList()->FindBySiteID(line.trimmed());
        if (!site)
            continue;
        site->Listed = true;
        if (site->ImageIndex < 0)
            site->ImageIndex = BoardTreeImages::AddSiteImage(SitePicture(site));
        siteBox->addItem(BoardTreeImages::SiteImages().value(site->ImageIndex), site->NAME,
                         QVariant::fromValue<void *>(site));
    }
}

// ---- tab bars ----

bool FindDownButton(QToolBar *bar, QToolButton *&button)
{
    button = nullptr;
    for (QAction *action : bar->actions()) {
        auto *candidate = qobject_cast<TTavuToolButton *>(bar->widgetForAction(action));
        if (candidate && candidate->isChecked()) {
            button = candidate;
            return true;
        }
    }
    return false;
}

// The width that shows every button of the bar whole: the buttons and the bar's own margins and
// spacing.
int GetBarWidth(QToolBar *bar)
{
    int width = 0;
    int items = 0;
    for (QAction *action : bar->actions()) {
        if (QWidget *widget = bar->widgetForAction(action)) {
            width += std::max(widget->sizeHint().width(), widget->minimumWidth());
            ++items;
        }
    }
    const QMargins margins = bar->contentsMargins() + (bar->layout() ? bar->layout()->contentsMargins() : QMargins());
    const int spacing = bar->layout() ? bar->layout()->spacing() : 0;
    const int handle = bar->isMovable() ? bar->style()->pixelMetric(QStyle::PM_ToolBarHandleExtent, nullptr, bar) : 0;
    return width + margins.left() + margins.right() + std::max(items - 1, 0) * std::max(spacing, 0) + handle;
}

void UpdateBarWidth(QToolBar *bar)
{
    bar->setMinimumWidth(0);
    bar->setMaximumWidth(std::max(GetBarWidth(bar), 1));
}

}  // namespace BoardTree
