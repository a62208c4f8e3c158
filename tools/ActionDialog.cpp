#include "tools/ActionDialog.h"

#include "controls/TavuSplitter.h"

#include "controls/Dialogs.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Exceptions.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuAction.h"
#include "core/TavuActionList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "services/RuleEditing.h"
#include "tools/ActionDialog2.h"
#include "tools/NGWordDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum { RuleRole = Qt::UserRole, ThreadRole = Qt::UserRole + 1, SiteRole = Qt::UserRole + 2,
       BoardRole = Qt::UserRole + 3 };
constexpr int HitCountColumn = 4;
constexpr int StoredColumnWidths = 4;
constexpr int DesignedPanelWidth = 200;   // the rule panel when it has no stored width

// A rule row; the hit count sorts as a number.
class TRuleRow : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        if (column == HitCountColumn)
            return text(column).toInt() < other.text(column).toInt();
        return text(column).localeAwareCompare(other.text(column)) < 0;
    }
};

QTreeWidget *NewList(const QStringList &headers)
{
    auto *view = new QTreeWidget;
    view->setHeaderLabels(headers);
    view->setRootIsDecorated(false);
    view->setAllColumnsShowFocus(true);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    return view;
}

void AddRuleRow(QTreeWidget *view, TTavuAction *rule, bool threadRule, bool full, bool dimmed)
{
    auto *row = new TRuleRow(view);
    row->setText(0, RuleEditing::ActionName(rule->Action));
    row->setText(1, RuleEditing::ConditionName(rule->Condition));
    row->setText(2, rule->Value1);
    row->setText(3, rule->Value2);
    if (full) {
        row->setText(4, QString::number(rule->HitCount));
        row->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
        row->setText(5, rule->LastHitDate);
        row->setText(6, rule->Comment);
        row->setText(7, rule->RegistDate);
    }
    row->setData(0, RuleRole, QVariant::fromValue(static_cast<void *>(rule)));
    row->setData(0, ThreadRole, threadRule);
    if (dimmed) {
        for (int column = 0; column < view->columnCount(); ++column)
            row->setForeground(column, QApplication::palette().color(QPalette::Disabled, QPalette::Text));
    }
}

TTavuAction *RuleOfRow(const QTreeWidgetItem *row, bool *threadRule)
{
    if (!row)
        return nullptr;
    if (threadRule)
        *threadRule = row->data(0, ThreadRole).toBool();
    return static_cast<TTavuAction *>(row->data(0, RuleRole).value<void *>());
}

}  // namespace

TActionDialog::TActionDialog(QWidget *parent)
    : TFoldingWindow(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("アクション設定"));
    if (TavuConfig && TavuConfig->DESKTOP_ACTWIN_EXPAND)
        setWindowFlag(Qt::WindowStaysOnTopHint);
    CreateActions();
    PageControl = new QTabWidget;
    PageControl->addTab(CreateKindPage(), QStringLiteral("アクション別表示"));
    PageControl->addTab(CreateBoardPage(), QStringLiteral("板別表示"));
    setCentralWidget(PageControl);
    statusBar();
    resize(640, 480);
}

TActionDialog::~TActionDialog() = default;

void TActionDialog::CreateActions()
{
    const auto make = [this](const QString &name, const QString &caption, const QKeySequence &key,
                             void (TActionDialog::*handler)()) {
        auto *action = new QAction(caption, this);
        action->setObjectName(name);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, handler);
        addAction(action);
        return action;
    };
    actAdd = make(QStringLiteral("actAdd"), QStringLiteral("新規追加(&N)..."), QKeySequence(Qt::Key_Insert),
                  &TActionDialog::actAddExecute);
    actEdit = make(QStringLiteral("actEdit"), QStringLiteral("編集(&E)..."), QKeySequence(Qt::Key_Return),
                   &TActionDialog::actEditExecute);
    actDelete = make(QStringLiteral("actDelete"), QStringLiteral("削除(&D)"), QKeySequence(Qt::Key_Delete),
                     &TActionDialog::actDeleteExecute);
    actRefresh = make(QStringLiteral("actRefresh"), QStringLiteral("現在開いているスレッドに適用する"),
                      QKeySequence(), &TActionDialog::actRefreshExecute);
    actAddBatch = make(QStringLiteral("actAddBatch"), QStringLiteral("NGワードの一括登録..."), QKeySequence(),
                       &TActionDialog::actAddBatchExecute);

    QToolBar *bar = addToolBar(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->addActions({actAdd, actEdit, actDelete});
    bar->addSeparator();
    bar->addActions({actRefresh, actAddBatch});
    PopupMenu = new QMenu(this);
    PopupMenu->addActions({actAdd, actEdit, actDelete});
    PopupMenu->addSeparator();
    PopupMenu->addActions({actRefresh, actAddBatch});
}

QWidget *TActionDialog::CreateKindPage()
{
    KindTabs = new QTabBar;
    KindTabs->addTab(QStringLiteral("レス"));
    KindTabs->addTab(QStringLiteral("スレッド"));
    connect(KindTabs, &QTabBar::currentChanged, this, &TActionDialog::ShowRules);

    RuleView = NewList({QStringLiteral("動作"), QStringLiteral("条件"), QStringLiteral("値１"), QStringLiteral("値２"),
                        QStringLiteral("ヒット回数"), QStringLiteral("最終ヒット日時"), QStringLiteral("コメント"),
                        QStringLiteral("登録日")});
    RuleView->headerItem()->setTextAlignment(HitCountColumn, Qt::AlignRight);
    RuleView->setSortingEnabled(true);
    RuleView->sortByColumn(-1, Qt::AscendingOrder);
    connect(RuleView, &QTreeWidget::itemDoubleClicked, this, &TActionDialog::actEditExecute);
    connect(RuleView, &QTreeWidget::currentItemChanged, this, &TActionDialog::ShowSelectedRule);
    connect(RuleView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu->popup(RuleView->viewport()->mapToGlobal(at)); });

    RuleBoardView = NewList({QStringLiteral("BBS"), QStringLiteral("板")});
    RuleTargetView = NewList({QStringLiteral("対象")});
    auto *side = new QSplitter(Qt::Vertical);
    side->addWidget(RuleBoardView);
    side->addWidget(RuleTargetView);

    // The rule's boards and targets collapse into the splitter's grip.
    Splitter1 = new TTavuSplitter(Qt::Horizontal);
    Splitter1->PaneIndex = 1;
    Splitter1->addWidget(RuleView);
    Splitter1->addWidget(side);
    Splitter1->setStretchFactor(0, 1);

    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(KindTabs);
    layout->addWidget(Splitter1);
    return page;
}

QWidget *TActionDialog::CreateBoardPage()
{
    BoardTree = new QTreeWidget;
    BoardTree->setHeaderHidden(true);
    connect(BoardTree, &QTreeWidget::currentItemChanged, this, &TActionDialog::ShowBoardRules);

    BoardCombo = new QComboBox;
    connect(BoardCombo, &QComboBox::activated, this, &TActionDialog::BoardComboChange);
    HideAllBoardsCheck = new QCheckBox(QStringLiteral("すべての板に設定されているNGワードは表示しない"));
    connect(HideAllBoardsCheck, &QCheckBox::toggled, this, &TActionDialog::ShowBoardRules);
    BoardRuleView = NewList({QStringLiteral("動作"), QStringLiteral("条件"), QStringLiteral("値１"),
                             QStringLiteral("値２")});
    connect(BoardRuleView, &QTreeWidget::itemDoubleClicked, this, &TActionDialog::actEditExecute);
    connect(BoardRuleView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu->popup(BoardRuleView->viewport()->mapToGlobal(at)); });

    auto *right = new QWidget;
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(BoardCombo);
    rightLayout->addWidget(HideAllBoardsCheck);
    rightLayout->addWidget(BoardRuleView);

    Splitter2 = new QSplitter;
    Splitter2->addWidget(BoardTree);
    Splitter2->addWidget(right);
    Splitter2->setStretchFactor(0, 1);
    return Splitter2;
}

TActionDialog2 *TActionDialog::RuleDialog()
{
    if (!ruleDialog) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ruleDialog = new TActionDialog2(this);
        ruleDialog->ViewedBoard = [this] { return ViewedBoard ? ViewedBoard() : nullptr; };
        QApplication::restoreOverrideCursor();
    }
    return ruleDialog;
}

// ---- lists ----

bool TActionDialog::ThreadKindInFront() const
{
    return KindTabs->currentIndex() == 1;
}

TTavuActionList *TActionDialog::ListInFront() const
{
    return ThreadKindInFront() ? threadRules : resRules;
}

TTavuActionList *TActionDialog::ListOf(const TTavuAction *rule) const
{
    if (resRules && resRules->IndexOf(rule) >= 0)
        return resRules;
    if (threadRules && threadRules->IndexOf(rule) >= 0)
        return threadRules;
    return nullptr;
}

void TActionDialog::RefreshView()
{
    FillBoardTree();
    ShowRules();
}

void TActionDialog::ShowRules()
{
    RuleView->clear();
    RuleBoardView->clear();
    RuleTargetView->clear();
    const TTavuActionList *list = ListInFront();
    const bool thread = ThreadKindInFront();
    int shown = 0;
    for (int i = 0; list && i < list->Count(); ++i) {
        TTavuAction *rule = list->Get(i);
        if (rule->Enabled) {
            AddRuleRow(RuleView, rule, thread, true, false);
            ++shown;
        }
    }
    statusBar()->showMessage(QStringLiteral("%1 件").arg(shown));
    ShowBoardRules();
}

void TActionDialog::ShowSelectedRule()
{
    RuleBoardView->clear();
    RuleTargetView->clear();
    const TTavuAction *rule = RuleOfRow(RuleView->currentItem(), nullptr);
    if (!rule)
        return;
    const TSiteList *sites = TavuEnviron ? TavuEnviron->SiteList() : nullptr;
    for (int i = 0; i < rule->Boards.Count(); ++i) {
        const TTargetBoard *entry = rule->Boards.Get(i);
        const TSite *site = sites ? sites->FindBySiteID(entry->SiteID) : nullptr;
        const TBoard *board = site && !entry->AllBoards ? site->Boards->FindByID(entry->BoardID) : nullptr;
        new QTreeWidgetItem(RuleBoardView, {site ? site->NAME : entry->SiteID,
                                            entry->AllBoards ? QStringLiteral("(全板)")
                                                             : board ? board->Name : entry->BoardID});
    }
    for (const QString &target : RuleEditing::TargetNames(rule->Target))
        new QTreeWidgetItem(RuleTargetView, {target});
}

// ---- boards ----

QTreeWidgetItem *TActionDialog::AddBoardNode(QTreeWidgetItem *parent, const QString &text, const QString &siteId,
                                             const QString &boardId)
{
    auto *node = parent ? new QTreeWidgetItem(parent, {text}) : new QTreeWidgetItem(BoardTree, {text});
    node->setData(0, SiteRole, siteId);
    node->setData(0, BoardRole, boardId);
    return node;
}

void TActionDialog::FillBoardTree()
{
    BoardTree->clear();
    BoardCombo->clear();
    AddBoardNode(nullptr, QStringLiteral("[すべて]"), TTargetBoard::AllSites(), TTargetBoard::AllSites());
    const QIcon ruled = style()->standardIcon(QStyle::SP_DialogApplyButton);
    const QIcon plain = style()->standardIcon(QStyle::SP_FileIcon);
    const TSiteList *sites = TavuEnviron ? TavuEnviron->SiteList() : nullptr;
    for (int i = 0; sites && i < sites->Count(); ++i) {
        const TSite *site = sites->Get(i);
        QTreeWidgetItem *siteNode = AddBoardNode(nullptr, site->NAME, QString(), QString());
        QTreeWidgetItem *category = nullptr;
        for (int j = 0; j < site->Boards->Count(); ++j) {
            const TBoard *board = site->Boards->Get(j);
            if (!category || category->text(0) != board->Category)
                category = AddBoardNode(siteNode, board->Category, QString(), QString());
            QTreeWidgetItem *node = AddBoardNode(category, board->Name, site->SITEID, board->ID);
            const bool hasRules = RuleEditing::BoardHasRules(resRules, threadRules, site->SITEID, board->ID);
            node->setIcon(0, hasRules ? ruled : plain);
            if (hasRules)
                BoardCombo->addItem(board->Name + QStringLiteral("＠") + site->NAME,
                                    QVariant::fromValue(static_cast<void *>(node)));
        }
    }
}

void TActionDialog::BoardComboChange(int index)
{
    auto *node = static_cast<QTreeWidgetItem *>(BoardCombo->itemData(index).value<void *>());
    if (node)
        BoardTree->setCurrentItem(node);
}

void TActionDialog::ShowBoardRules()
{
    BoardRuleView->clear();
    const QTreeWidgetItem *node = BoardTree->currentItem();
    const QString siteId = node ? node->data(0, SiteRole).toString() : QString();
    if (siteId.isEmpty())
        return;
    const QString boardId = node->data(0, BoardRole).toString();
    const bool root = siteId == TTargetBoard::AllSites();
    const auto rows = RuleEditing::RulesForBoard(resRules, threadRules, siteId, boardId,
                                                 HideAllBoardsCheck->isChecked());
    for (const RuleEditing::TBoardRuleRow &row : rows)
        AddRuleRow(BoardRuleView, row.Rule, row.ThreadRule, false, row.AllBoards && !root);
}

// ---- commands ----

TTavuAction *TActionDialog::SelectedRule(bool *threadRule) const
{
    const QTreeWidget *view = PageControl->currentIndex() == 0 ? RuleView : BoardRuleView;
    return RuleOfRow(view->currentItem(), threadRule);
}

void TActionDialog::actAddExecute()
{
    QString siteId;
    QString boardId;
    if (PageControl->currentIndex() == 0) {
        const TBoard *board = ViewedBoard ? ViewedBoard() : nullptr;
        if (board && board->Site) {
            siteId = board->Site->SITEID;
            boardId = board->ID;
        }
    } else if (const QTreeWidgetItem *node = BoardTree->currentItem()) {
        siteId = node->data(0, SiteRole).toString();
        boardId = node->data(0, BoardRole).toString();
    }
    const bool thread = ThreadKindInFront();
    TTavuActionList *list = ListInFront();
    if (!list)
        return;
    auto rule = std::make_unique<TTavuAction>();
    TActionDialog2 *dialog = RuleDialog();
    dialog->SetupNew(rule.get(), thread, siteId, boardId);
    if (Dialogs::ExecDialog(*dialog) != QDialog::Accepted)
        return;   // the new rule is freed
    list->Add(std::move(rule));
    RefreshView();
}

void TActionDialog::actEditExecute()
{
    bool thread = false;
    TTavuAction *rule = SelectedRule(&thread);
    if (!rule)
        return;
    TActionDialog2 *dialog = RuleDialog();
    dialog->SetupEdit(rule, thread);
    if (Dialogs::ExecDialog(*dialog) == QDialog::Accepted)
        RefreshView();
}

void TActionDialog::actDeleteExecute()
{
    TTavuAction *rule = SelectedRule();
    TTavuActionList *list = rule ? ListOf(rule) : nullptr;
    if (!list || !Dialogs::AskYesNo(QStringLiteral("削除しますか？"), Dialogs::mkWarning))
        return;
    rule->Boards.Clear();
    list->Delete(list->IndexOf(rule));
    RefreshView();
}

void TActionDialog::actRefreshExecute()
{
    if (ApplyToOpenThread)
        ApplyToOpenThread();
}

void TActionDialog::actAddBatchExecute()
{
    if (!resRules)
        return;
    TNGWordDialog dialog(this);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    auto rules = RuleEditing::MakeBatchRules(dialog.Memo->toPlainText(), dialog.PopupHideCheck->isChecked(),
                                             dialog.ChainCheck->isChecked(), QDateTime::currentDateTime());
    for (auto &rule : rules)
        resRules->Add(std::move(rule));
    RefreshView();
}

// ---- life ----

void TActionDialog::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!TavuConfig)
        return;
    const TTavuConfig &config = *TavuConfig;
    setGeometry(config.DESKTOP_ACTWIN_LEFT, config.DESKTOP_ACTWIN_TOP, config.DESKTOP_ACTWIN_WIDTH,
                config.DESKTOP_ACTWIN_HEIGHT);
    // A stored width of 0 starts the rule's panel collapsed; its grip opens it to the designed width.
    const int total = Splitter1->width();
    const int pane1 = config.DESKTOP_ACTWIN_PANE1 > 1 ? config.DESKTOP_ACTWIN_PANE1 : DesignedPanelWidth;
    Splitter1->setSizes({qMax(0, total - pane1), pane1});
    if (config.DESKTOP_ACTWIN_PANE1 <= 1)
        Splitter1->Close();
    const int total2 = Splitter2->width();
    Splitter2->setSizes({qMax(0, total2 - config.DESKTOP_ACTWIN_PANE2), config.DESKTOP_ACTWIN_PANE2});
    for (int column = 0; column < RuleView->columnCount(); ++column)
        RuleView->setColumnWidth(column, config.GetActionColWidth(column));
}

void TActionDialog::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    if (!TavuConfig)
        return;
    TTavuConfig &config = *TavuConfig;
    const QRect bounds = collapsed ? QRect(geometry().topLeft(), QSize(width(), savedHeight)) : geometry();
    config.DESKTOP_ACTWIN_LEFT = bounds.left();
    config.DESKTOP_ACTWIN_TOP = bounds.top();
    config.DESKTOP_ACTWIN_WIDTH = bounds.width();
    config.DESKTOP_ACTWIN_HEIGHT = bounds.height();
    const auto panel = [](int width) { return width < 2 ? 0 : width; };
    config.DESKTOP_ACTWIN_PANE1 = panel(Splitter1->sizes().value(1));
    config.DESKTOP_ACTWIN_PANE2 = panel(Splitter2->sizes().value(1));
    for (int column = 0; column < StoredColumnWidths; ++column)
        config.SetActionColWidth(column, RuleView->columnWidth(column));
}

void TActionDialog::closeEvent(QCloseEvent *event)
{
    SaveLists();
    QMainWindow::closeEvent(event);
}

void TActionDialog::SaveLists()
{
    try {
        if (resRules && !ResRulesPath.isEmpty())
            resRules->SaveToFile(ResRulesPath);
        if (threadRules && !ThreadRulesPath.isEmpty())
            threadRules->SaveToFile(ThreadRulesPath);
    } catch (const EVarnelo &error) {
        Dialogs::ShowMessage(Dialogs::mkError, error.Message);
    }
}

void TActionDialog::FormActivate()
{
    setWindowOpacity(1.0);
    Expand();
}

void TActionDialog::FormDeactivate()
{
    // The window's own dialogs taking the focus do not count.
    if (OwnWindowActive())
        return;
    if (TavuConfig && TavuConfig->DESKTOP_ACTWIN_TRANS)
        setWindowOpacity(0.5);
    if (TavuConfig && TavuConfig->DESKTOP_ACTWIN_EXPAND)
        Collapse();
}
