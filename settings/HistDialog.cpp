#include "settings/HistDialog.h"

#include "controls/Dialogs.h"
#include "controls/RollUp.h"
#include "controls/WindowBounds.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "services/HistoryModel.h"
#include "settings/PropertyWindow.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

THistDialog::THistDialog(const QString &profileDir, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), sendLogFile(profileDir + QStringLiteral("sendlog.txt"))
{
    setObjectName(QStringLiteral("HistDialog"));
    setWindowTitle(QStringLiteral("履歴"));
    ReadHistory = new THistoryModel(profileDir + QStringLiteral("readhist.txt"), this);
    SendHistory = new THistoryModel(profileDir + QStringLiteral("sendhist.txt"), this);

    auto *layout = new QVBoxLayout(this);
    PageControl = new QTabWidget(this);
    auto *historyPage = new QWidget(PageControl);
    auto *historyLayout = new QVBoxLayout(historyPage);
    TabControl1 = new QTabBar(historyPage);
    TabControl1->addTab(QStringLiteral("全取得スレッド"));
    TabControl1->addTab(QStringLiteral("書き込み履歴"));
    ListView1 = new QTreeView(historyPage);
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setModel(ReadHistory);
    ListView1->header()->setSectionsClickable(true);
    ListView1->header()->setSortIndicatorShown(false);
    // The title takes the room the other columns leave; the short DAT column at the end does not.
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionResizeMode(THistoryModel::colTitle, QHeaderView::Stretch);
    historyLayout->addWidget(TabControl1);
    historyLayout->addWidget(ListView1, 1);
    Memo1 = new QPlainTextEdit(PageControl);
    Memo1->setReadOnly(true);
    PageControl->addTab(historyPage, QStringLiteral("履歴"));
    PageControl->addTab(Memo1, QStringLiteral("ログ"));
    layout->addWidget(PageControl, 1);
    StatusBar1 = new QLabel(this);
    layout->addWidget(StatusBar1);

    rollUp = std::make_unique<TRollUp>(this, QList<QWidget *>{PageControl, StatusBar1});
    CreateActions();
    LoadSendLog();
    ShowCount();
    connect(TabControl1, &QTabBar::currentChanged, this, &THistDialog::TabControl1Change);
    connect(ListView1->header(), &QHeaderView::sectionClicked, this, &THistDialog::ListView1ColumnClick);
    connect(ListView1, &QTreeView::doubleClicked, this, &THistDialog::actOpenExecute);
}

void THistDialog::CreateActions()
{
    auto *menu = new QMenu(this);
    auto add = [this, menu](const QString &caption, const QKeySequence &key, void (THistDialog::*handler)()) {
        auto *action = menu->addAction(caption, this, handler);
        action->setShortcut(key);
        addAction(action);
    };
    add(QStringLiteral("開く(&O)"), QKeySequence(Qt::Key_Return), &THistDialog::actOpenExecute);
    add(QStringLiteral("プロパティ(&P)..."), QKeySequence(Qt::CTRL | Qt::Key_Return), &THistDialog::actPropertyExecute);
    add(QStringLiteral("削除(&D)"), QKeySequence::Delete, &THistDialog::actDeleteExecute);
    add(QStringLiteral("最新の情報に更新(&R)"), QKeySequence::Refresh, &THistDialog::actReloadExecute);
    add(QStringLiteral("検索(&F)..."), QKeySequence::Find, &THistDialog::actFindExecute);
    add(QStringLiteral("次を検索(&N)"), QKeySequence::FindNext, &THistDialog::actFindNextExecute);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint &pos) { menu->popup(ListView1->viewport()->mapToGlobal(pos)); });
}

THistDialog::~THistDialog() = default;

THistoryModel *THistDialog::ShownModel() const
{
    return TabControl1->currentIndex() == 1 ? SendHistory : ReadHistory;
}

void THistDialog::ReloadHistory()
{
    ReadHistory->Reload();
    SendHistory->Reload();
    LoadSendLog();
    ShowCount();
}

void THistDialog::LoadSendLog()
{
    if (QFile::exists(sendLogFile))
        Memo1->setPlainText(jconvert::SjisToUnicode(FileUtil::ReadFile(sendLogFile)));
}

void THistDialog::ShowCount()
{
    StatusBar1->setText(QStringLiteral("%1件").arg(ShownModel()->Count()));
}

void THistDialog::TabControl1Change()
{
    ListView1->setModel(ShownModel());
    ShowCount();
}

void THistDialog::ListView1ColumnClick(int column)
{
    ShownModel()->SortBy(column);
}

void THistDialog::actOpenExecute()
{
    const QModelIndex current = ListView1->currentIndex();
    if (current.isValid() && OpenEntry)
        OpenEntry(ShownModel()->Entry(current.row()));
}

void THistDialog::actPropertyExecute()
{
    const QModelIndex current = ListView1->currentIndex();
    if (!current.isValid())
        return;
    const THistoryEntry &entry = ShownModel()->Entry(current.row());
    auto *item = new TThreadItem;
    if (item->SetLocation(entry.SiteId, entry.BoardId, entry.Key, entry.Title))
        item->LoadInfo();   // the marks and counts of its .inf
    TPropertyWindow window(this);
    window.SetThreadItem(item);   // the window holds the item until it closes
    item->Release();
    Dialogs::ExecDialog(window);
}

void THistDialog::actDeleteExecute()
{
    QList<int> rows;
    for (const QModelIndex &index : ListView1->selectionModel()->selectedRows())
        rows.append(index.row());
    if (rows.isEmpty())
        return;
    ShownModel()->DeleteRows(rows);
    ShowCount();
}

void THistDialog::actReloadExecute()
{
    ReloadHistory();
}

void THistDialog::actFindExecute()
{
    QInputDialog input(this);
    input.setWindowTitle(QStringLiteral("検索"));
    input.setLabelText(QStringLiteral("タイトル"));
    input.setTextValue(FindText);
    if (Dialogs::ExecDialog(input) != QDialog::Accepted)
        return;
    FindText = input.textValue();
    ListView1->setCurrentIndex(QModelIndex());
    actFindNextExecute();
}

void THistDialog::actFindNextExecute()
{
    if (FindText.isEmpty() || ShownModel()->Count() == 0)
        return;
    const QModelIndex current = ListView1->currentIndex();
    const int start = current.isValid() ? current.row() : -1;
    const int row = ShownModel()->FindNext(FindText, start);
    if (row < 0) {
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("見つかりませんでした。"));
        return;
    }
    const QModelIndex found = ShownModel()->index(row, 0);
    ListView1->selectionModel()->setCurrentIndex(found, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ListView1->scrollTo(found);
}

TWindowBounds THistDialog::Bounds() const
{
    return {TavuConfig->DESKTOP_HISTDIALOG_WINDOWSTATE, TavuConfig->DESKTOP_HISTDIALOG_LEFT, TavuConfig->DESKTOP_HISTDIALOG_TOP,
            TavuConfig->DESKTOP_HISTDIALOG_WIDTH, TavuConfig->DESKTOP_HISTDIALOG_HEIGHT};
}

void THistDialog::showEvent(QShowEvent *event)
{
    if (TavuConfig) {
        Bounds().Restore(this);
        for (int column = 0; column < THistoryModel::ColumnCount; ++column)
            ListView1->setColumnWidth(column, TavuConfig->GetHistColumnWidth(column));
        // The date is never cut.
        ListView1->resizeColumnToContents(THistoryModel::colTime);
        ListView1->setColumnWidth(THistoryModel::colTime, std::max(ListView1->columnWidth(THistoryModel::colTime),
                                                                   TavuConfig->GetHistColumnWidth(THistoryModel::colTime)));
    }
    QDialog::showEvent(event);
}

void THistDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        rollUp->ActivationChanged();
}

void THistDialog::closeEvent(QCloseEvent *event)
{
    rollUp->Unroll();
    if (TavuConfig) {
        Bounds().Store(this);
        for (int column = 0; column < THistoryModel::ColumnCount; ++column)
            TavuConfig->SetHistColumnWidth(column, ListView1->columnWidth(column));
    }
    QDialog::closeEvent(event);
}
