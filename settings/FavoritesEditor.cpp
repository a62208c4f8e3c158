#include "settings/FavoritesEditor.h"

#include "boards/FavoritesScript.h"
#include "controls/BoardTree.h"
#include "controls/Dialogs.h"
#include "controls/DragDrop.h"
#include "controls/ExtListView.h"
#include "controls/UserFiles.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Colors.h"
#include "core/Exceptions.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "core/ThreadListDownloader.h"
#include "services/FavoriteFolders.h"
#include "settings/LocalDialog.h"
#include "settings/PropertyWindow.h"

#include <QAction>
#include <QDropEvent>
#include <QMimeData>
#include <QCloseEvent>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QColor Color(TColor color)
{
    return QColor::fromRgba(ColorToQColor(color));
}

struct TActionEntry {
    const char *name;
    const char *caption;
    const char *shortcut;
};

const TActionEntry kActions[] = {
    {"actSelectAll", "すべて選択(&A)", "Ctrl+A"},
    {"actSelectKakoLog", "過去ログをすべて選択(&L)", "Ctrl+K"},
    {"actSelectOver1000", "レス数1000以上をすべて選択(&T)", "Ctrl+T"},
    {"actDelete", "ログを削除(&X)", "Ctrl+Del"},
    {"actErase", "お気に入りから解除(&E)", "Del"},
    {"actSetKakoLog", "過去ログ扱いにする(&K)", "Ctrl+Shift+K"},
    {"actThreadMoveUp", "上へ移動(&U)", "Ctrl+Up"},
    {"actThreadMoveDown", "下へ移動(&D)", "Ctrl+Down"},
    {"actMoveToLocal", "選択スレッドをローカルフォルダへ移動(&L)...", "Ctrl+L"},
    {"actProperty", "プロパティ(&P)...", "Ctrl+Return"},
    {"actFolderNew", "フォルダ作成(&N)...", ""},
    {"actFolderEdit", "編集(&E)...", ""},
    {"actFolderDelete", "削除(&D)", ""},
    {"actFolderMoveUp", "上へ移動(&U)", ""},
    {"actFolderMoveDown", "下に移動(&D)", ""},
    {"actWebEditTitle", "タイトルの変更(&T)...", ""},
    {"actWebEditUrl", "URLの変更(&U)...", ""},
};

}  // namespace

TFavoritesEditor::TFavoritesEditor(QWidget *parent)
    : QDialog(parent),
      site(TavuEnviron ? TavuEnviron->FavoritesSite() : nullptr)
{
    setObjectName(QStringLiteral("FavoritesEditor"));
    setWindowTitle(QStringLiteral("お気に入りエディタ"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *splitter = new QSplitter(this);
    TreeView1 = new QTreeWidget(splitter);
    TreeView1->setHeaderHidden(true);
    qorExtListView1 = new TqorExtListView(splitter);
    for (QWidget *widget : {static_cast<QAbstractItemView *>(TreeView1), static_cast<QAbstractItemView *>(qorExtListView1)}) {
        widget->setAcceptDrops(true);
        static_cast<QAbstractItemView *>(widget)->viewport()->setAcceptDrops(true);
        static_cast<QAbstractItemView *>(widget)->viewport()->installEventFilter(this);
    }
    splitter->setStretchFactor(1, 1);
    StatusBar1 = new QStatusBar(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(StatusBar1);

    TqorExtListView *view = qorExtListView1;
    view->SetVirtualMode(true);
    view->SetStyle(lvOwnerDrawFixed);
    view->SetExtendedStyles(lvxFullRowSelect);
    view->SetRowSelect(true);
    view->SetMultiSelect(true);
    view->SetReadOnly(true);
    view->SetAutoColumnSort(acsNoSort);
    for (const QString &caption : ColumnCaptions())
        view->AddColumn(caption, 100);
    view->OnDrawItem = [](TCustomEnhListView *, QPainter *, int, const QRect &, TOwnerDrawState,
                          bool &defaultDrawing, bool &fullRowSelect) {
        defaultDrawing = true;
        fullRowSelect = true;
    };
    view->OnDrawSubItem = [this](TCustomEnhListView *, QPainter *canvas, int row, int column, const QRect &rect,
                                 TOwnerDrawState state, bool &defaultDrawing) {
        DrawCell(canvas, row, column, rect, state.testFlag(odSelected));
        defaultDrawing = false;
    };
    view->OnVMGetItemInfo = [this](TCustomExtListView *, TVMItemInfo &info) {
        if (info.Item < threads.Count())
            info.Text = CellText(threads.Get(info.Item), info.SubItem);
    };
    view->OnColumnClick = [this](TCustomEnhListView *, int column) { SortByColumn(column); };

    CreateActions();
    CreateMenus();
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, &TFavoritesEditor::TreeView1Change);
    RestoreLayout();
    FillTree();
    QTimer::singleShot(100, this, [this] {
        RestoreColumnWidths();
        TreeView1Change();
    });
}

TFavoritesEditor::~TFavoritesEditor()
{
    StoreLayout();
}

// ---- columns ----

const QStringList &TFavoritesEditor::ColumnCaptions()
{
    static const QStringList captions{
        QStringLiteral("No"), QStringLiteral("タイトル"), QStringLiteral("既得"),
        QStringLiteral("最終読込時"), QStringLiteral("最終書込時"), QStringLiteral("コメント"),
        QStringLiteral("ボード"), QStringLiteral("BBS"), QStringLiteral("DAT")};
    return captions;
}

// Each column sorts by what it shows.
int TFavoritesEditor::ColumnSortKey(int column)
{
    static const int keys[] = {TThreadItemList::SortNumber, TThreadItemList::SortTitle, TThreadItemList::SortRead,
                               TThreadItemList::SortLastLoad, TThreadItemList::SortLastSent,
                               TThreadItemList::SortComment, TThreadItemList::SortBoard, TThreadItemList::SortSite,
                               TThreadItemList::SortDat};
    return column >= 0 && column < int(std::size(keys)) ? keys[column] : 0;
}

QString TFavoritesEditor::CellText(const TThreadItem *item, int column)
{
    switch (column) {
    case 0: return QStringLiteral("%1").arg(item->Number, 4, 10, QLatin1Char('0'));
    case 1: return item->ShownTitle();
    case 2: return QString::number(item->READ);
    case 3: return item->LAST_LOAD;
    case 4: return item->LAST_SENT;
    case 5: return item->COMMENT;
    case 6: return item->BoardID;
    case 7: return item->Site ? item->Site->NAME : QString();
    case 8: return item->DatName;
    default: return QString();
    }
}

void TFavoritesEditor::DrawCell(QPainter *canvas, int row, int column, const QRect &rect, bool selected) const
{
    if (row >= threads.Count())
        return;
    const TThreadItem *item = threads.Get(row);
    const TColor own = item->COLOR;
    TColor background = item->BBS ? clWindow : clBtnFace;   // a thread of no known board type
    TColor text = own;
    if (item->REVERSE && !selected) {
        background = own == clWindowText ? clWindowText : own;
        text = clWindow;
    }
    if (selected) {
        background = clHighlight;
        text = clHighlightText;
    }
    canvas->fillRect(rect, Color(background));
    QFont font = canvas->font();
    font.setBold(item->BOLD);
    canvas->setFont(font);
    canvas->setPen(Color(text));
    const QRect inner = rect.adjusted(3, 0, -3, 0);
    canvas->drawText(inner, Qt::AlignVCenter | Qt::AlignLeft,
                     canvas->fontMetrics().elidedText(CellText(item, column), Qt::ElideRight, inner.width()));
}

// ---- set-up and layout ----

void TFavoritesEditor::CreateActions()
{
    const std::function<void()> handlers[] = {
        [this] { SelectRowsWhere([](const TThreadItem *) { return true; }); },
        [this] { SelectRowsWhere([](const TThreadItem *item) { return item->KAKOLOG; }); },
        [this] { SelectRowsWhere([](const TThreadItem *item) { return std::max(item->AGECOUNT, item->COUNT) >= 1000; }); },
        [this] { RemoveSelected(true); },
        [this] { RemoveSelected(false); },
        [this] { ToggleKakoLog(); },
        [this] { MoveSelected(-1); },
        [this] { MoveSelected(1); },
        [this] { MoveToLocal(); },
        [this] { ShowProperty(); },
        [this] { FolderNew(); },
        [this] { FolderEdit(); },
        [this] { FolderDelete(); },
        [this] { FolderMove(-1); },
        [this] { FolderMove(1); },
        [this] { WebEdit(true); },
        [this] { WebEdit(false); },
    };
    int i = 0;
    for (const TActionEntry &entry : kActions) {
        auto *action = new QAction(QString::fromUtf8(entry.caption), this);
        action->setObjectName(QString::fromUtf8(entry.name));
        if (*entry.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
        const std::function<void()> &handler = handlers[i++];
        if (handler)
            connect(action, &QAction::triggered, this, handler);
        else
            action->setEnabled(false);
        addAction(action);
        actions.insert(action->objectName(), action);
    }
    actions.value(QStringLiteral("actWebEditTitle"))->setEnabled(false);
    actions.value(QStringLiteral("actWebEditUrl"))->setEnabled(false);
}

void TFavoritesEditor::CreateMenus()
{
    const auto addAll = [this](QMenu *menu, const QStringList &names) {
        for (const QString &name : names)
            if (name == QStringLiteral("-"))
                menu->addSeparator();
            else
                menu->addAction(actions.value(name));
    };
    auto *bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    addAll(bar->addMenu(QStringLiteral("スレッド(&T)")),
           {"actSelectAll", "actSelectKakoLog", "actSelectOver1000", "-", "actThreadMoveUp", "actThreadMoveDown",
            "-", "actSetKakoLog", "actMoveToLocal", "-", "actErase", "actDelete", "-", "actProperty"});
    auto *folders = bar->addMenu(QStringLiteral("フォルダ(&F)"));
    addAll(folders, {"actFolderNew", "actFolderEdit", "actFolderDelete", "-", "actFolderMoveUp",
                     "actFolderMoveDown", "-", "actWebEditTitle", "actWebEditUrl"});

    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TreeView1, &QWidget::customContextMenuRequested, this, [this, folders](const QPoint &pos) {
        const QTreeWidgetItem *node = TreeView1->currentItem();
        const bool below = node && node->parent();
        for (const char *name : {"actFolderEdit", "actFolderDelete", "actFolderMoveUp", "actFolderMoveDown"})
            actions.value(QString::fromLatin1(name))->setEnabled(below);
        folders->exec(TreeView1->viewport()->mapToGlobal(pos));
        for (const char *name : {"actFolderEdit", "actFolderDelete", "actFolderMoveUp", "actFolderMoveDown"})
            actions.value(QString::fromLatin1(name))->setEnabled(true);
    });
}

void TFavoritesEditor::RestoreLayout()
{
    if (!TavuConfig)
        return;
    setGeometry(TavuConfig->DESKTOP_FAVLEFT, TavuConfig->DESKTOP_FAVTOP, TavuConfig->DESKTOP_FAVWIDTH,
                TavuConfig->DESKTOP_FAVHEIGHT);
    if (TavuConfig->DESKTOP_FAVWINDOWSTATE == 2)
        setWindowState(Qt::WindowMaximized);
    auto *splitter = static_cast<QSplitter *>(TreeView1->parentWidget());
    splitter->setSizes({TavuConfig->DESKTOP_FAVPANEWIDTH, std::max(1, width() - TavuConfig->DESKTOP_FAVPANEWIDTH)});
}

void TFavoritesEditor::RestoreColumnWidths()
{
    for (int column = 0; column < ColumnCaptions().size(); ++column) {
        const int width = TavuConfig ? TavuConfig->GetFavColumnWidth(column) : -1;
        if (width != -1)
            qorExtListView1->setColumnWidth(column, width);
    }
}

void TFavoritesEditor::StoreLayout()
{
    if (!TavuConfig)
        return;
    const QRect bounds = normalGeometry().isValid() ? normalGeometry() : geometry();
    TavuConfig->DESKTOP_FAVLEFT = bounds.left();
    TavuConfig->DESKTOP_FAVTOP = bounds.top();
    TavuConfig->DESKTOP_FAVWIDTH = bounds.width();
    TavuConfig->DESKTOP_FAVHEIGHT = bounds.height();
    TavuConfig->DESKTOP_FAVWINDOWSTATE = isMaximized() ? 2 : 0;
    TavuConfig->DESKTOP_FAVPANEWIDTH = TreeView1->width();
    for (int column = 0; column < ColumnCaptions().size(); ++column)
        TavuConfig->SetFavColumnWidth(column, qorExtListView1->columnWidth(column));
}

// ---- tree and list ----

void TFavoritesEditor::FillTree()
{
    const QSignalBlocker blocker(TreeView1);
    if (site)
        BoardTree::FillBoardTree(TreeView1, site);
    else
        TreeView1->clear();
    TreeView1->expandAll();
}

TBoard *TFavoritesEditor::SelectedBoard() const
{
    return BoardTree::NodeBoard(TreeView1->currentItem());
}

void TFavoritesEditor::RefreshList()
{
    qorExtListView1->SetItemCountEx(threads.Count());
    qorExtListView1->viewport()->update();
    StatusBar1->showMessage(QStringLiteral("%1 件").arg(threads.Count()));
}

void TFavoritesEditor::TreeView1Change()
{
    SaveFolder();
    qorExtListView1->clearSelection();
    threads.Clear();
    folder = nullptr;
    modified = false;
    actions.value(QStringLiteral("actWebEditTitle"))->setEnabled(false);
    actions.value(QStringLiteral("actWebEditUrl"))->setEnabled(false);
    TBoard *board = SelectedBoard();
    if (board && board->Kind == TBoard::KIND_FAVORITES) {
        folder = board;
        LoadFolderThreads();
    } else if (board && board->Kind == TBoard::KIND_WWW) {
        actions.value(QStringLiteral("actWebEditTitle"))->setEnabled(true);
        actions.value(QStringLiteral("actWebEditUrl"))->setEnabled(true);
    }
    RefreshList();
}

// The folder's threads as its board type lists them; a folder that cannot be read is reported and
// stays empty.
void TFavoritesEditor::LoadFolderThreads()
{
    if (!folder->BBS)
        return TFavoritesScript::CollectFolderThreads(folder, &threads);
    TThreadListDownloader job;
    job.BBS = folder->BBS;
    job.Site = folder->Site;
    job.Board = folder;
    job.Items = &threads;
    job.OnThreadItem = [this](TThreadListDownloader *, TThreadItem *item) { threads.Add(item); };
    job.OnError = [this](TThreadListDownloader *, int code, const QString &message, const QString &) {
        if (code == 0)
            return;
        Dialogs::ShowMessage(Dialogs::mkError, QString::number(code) + QStringLiteral("\r\n") + message
                                                   + QStringLiteral("\r\n\r\nスレッド一覧ダウンロードエラー\r\n") + folder->Name,
                             Dialogs::mbOK);
    };
    folder->BBS->DownloadThreadList(&job, false, true);
}

void TFavoritesEditor::SaveFolder()
{
    if (!folder || !modified || threads.Count() == 0)
        return;
    try {
        FavoriteFolders::WriteFolder(folder, threads);
        modified = false;
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
}

void TFavoritesEditor::SortByColumn(int column)
{
    const int key = ColumnSortKey(column);
    if (key == 0)
        return;
    qorExtListView1->clearSelection();
    sortAscending = column == sortColumn ? !sortAscending : true;
    sortColumn = column;
    threads.Sort(key, sortAscending);
    RefreshList();
}

QList<int> TFavoritesEditor::SelectedRows() const
{
    QList<int> rows;
    for (int row : qorExtListView1->SelectedRows())
        if (row < threads.Count())
            rows << row;
    return rows;
}

void TFavoritesEditor::SelectRowsWhere(const std::function<bool(const TThreadItem *)> &test)
{
    QItemSelection selection;
    for (int row = 0; row < threads.Count(); ++row)
        if (test(threads.Get(row)))
            selection.select(qorExtListView1->model()->index(row, 0), qorExtListView1->model()->index(row, 0));
    qorExtListView1->selectionModel()->select(selection,
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// ---- thread actions ----

void TFavoritesEditor::RemoveSelected(bool deleteLogs)
{
    const QList<int> rows = SelectedRows();
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        TThreadItem *item = threads.Get(*row);
        UserFiles::RemoveFromFavoriteFiles(item);
        if (deleteLogs)
            item->DeleteLog();
        else
            item->SaveInfo();
        threads.Delete(*row);
    }
    if (rows.isEmpty())
        return;
    qorExtListView1->clearSelection();
    modified = true;
    RefreshList();
}

void TFavoritesEditor::MoveSelectedTo(int row)
{
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty())
        return;
    if (row < 0 || row > threads.Count())
        row = threads.Count();
    // The rows keep their order and go in front of the row dropped on.
    QList<TThreadItem *> moved;
    for (int selected : rows)
        moved << threads.Get(selected);
    const TThreadItem *before = row < threads.Count() ? threads.Get(row) : nullptr;
    while (before && moved.contains(before)) {
        ++row;
        before = row < threads.Count() ? threads.Get(row) : nullptr;
    }
    for (TThreadItem *item : moved)
        threads.Move(threads.IndexOf(item), threads.Count() - 1);
    int at = before ? threads.IndexOf(before) : threads.Count() - int(moved.size());
    QItemSelection selection;
    for (TThreadItem *item : moved) {
        threads.Move(threads.IndexOf(item), at);
        const QModelIndex index = qorExtListView1->model()->index(at++, 0);
        selection.select(index, index);
    }
    qorExtListView1->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    modified = true;
    RefreshList();
}

void TFavoritesEditor::MoveSelectedToFolder(const TBoard *target)
{
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty() || !target || target == folder || target->Kind != TBoard::KIND_FAVORITES)
        return;
    QList<TThreadItem *> moved;
    for (int row : rows) {
        moved << threads.Get(row);
        moved.last()->AddRef();
    }
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        UserFiles::RemoveFromFavoriteFiles(threads.Get(*row));
        threads.Delete(*row);
    }
    try {
        FavoriteFolders::AddThreads(target, moved, true);
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
    for (TThreadItem *item : moved)
        item->Release();
    qorExtListView1->clearSelection();
    modified = true;
    RefreshList();
}

// ---- drag and drop ----

namespace {

const QString ThreadRowsMime = QStringLiteral("application/x-varnelo-favorite-threads");
const QString FolderMime = QStringLiteral("application/x-varnelo-favorite-folder");

bool IsFolder(const TBoard *board)
{
    return board && board->Kind == TBoard::KIND_FAVORITES;
}

}  // namespace

void TFavoritesEditor::StartDrag(bool folder)
{
    const bool something = folder ? IsFolder(SelectedBoard()) : !SelectedRows().isEmpty();
    if (!something)
        return;
    DragDrop::Run(folder ? static_cast<QWidget *>(TreeView1) : qorExtListView1, folder ? FolderMime : ThreadRowsMime,
                  Qt::MoveAction);
}

bool TFavoritesEditor::HandleDrop(QObject *target, QDropEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (event->mimeData()->hasFormat(FolderMime) && target == TreeView1->viewport()) {
        MoveSelectedFolderTo(TreeView1->itemAt(at));
    } else if (!event->mimeData()->hasFormat(ThreadRowsMime)) {
        return false;
    } else if (target == qorExtListView1->viewport()) {
        const QModelIndex index = qorExtListView1->indexAt(at);
        MoveSelectedTo(index.isValid() ? index.row() : -1);
    } else {
        MoveSelectedToFolder(BoardTree::NodeBoard(TreeView1->itemAt(at)));
    }
    event->acceptProposedAction();
    return true;
}

bool TFavoritesEditor::eventFilter(QObject *watched, QEvent *event)
{
    const bool list = watched == qorExtListView1->viewport();
    if (!list && watched != TreeView1->viewport())
        return QDialog::eventFilter(watched, event);
    if (dragStart.Begins(event)) {
        StartDrag(!list);
        return true;
    }
    const auto accepts = [&](const QMimeData &data) {
        return data.hasFormat(ThreadRowsMime) || (!list && data.hasFormat(FolderMime));
    };
    return DragDrop::FilterTargetEvent(event, accepts, [&](QDropEvent *drop) { return HandleDrop(watched, drop); })
           || QDialog::eventFilter(watched, event);
}

void TFavoritesEditor::ShowProperty()
{
    const QModelIndex focused = qorExtListView1->currentIndex();
    if (!focused.isValid() || focused.row() >= threads.Count())
        return;
    TPropertyWindow window(this);
    window.SetThreadItem(threads.Get(focused.row()));
    Dialogs::ExecDialog(window);
    qorExtListView1->viewport()->update();
}

void TFavoritesEditor::ToggleKakoLog()
{
    for (int row : SelectedRows()) {
        TThreadItem *item = threads.Get(row);
        item->SetKakolog(!item->KAKOLOG);
        item->SaveInfo();
        modified = true;
    }
    qorExtListView1->viewport()->update();
}

void TFavoritesEditor::MoveSelected(int step)
{
    QList<int> rows = SelectedRows();
    if (rows.isEmpty() || (step < 0 && rows.first() == 0) || (step > 0 && rows.last() == threads.Count() - 1))
        return;
    if (step > 0)
        std::reverse(rows.begin(), rows.end());
    QItemSelection selection;
    for (int row : rows) {
        threads.Move(row, row + step);
        const QModelIndex index = qorExtListView1->model()->index(row + step, 0);
        selection.select(index, index);
    }
    qorExtListView1->selectionModel()->select(selection,
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    modified = true;
    RefreshList();
}

void TFavoritesEditor::MoveToLocal()
{
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty())
        return;
    TLocalDialog dialog(this);
    for (int row : rows)
        dialog.Items.Add(threads.Get(row));
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted)
        RemoveSelected(false);
}

// ---- folder actions ----

// Every folder action may reload the site's boards: the shown folder is written first and shown
// again afterwards from the refilled tree.
void TFavoritesEditor::FolderNew()
{
    if (!site)
        return;
    const TBoard *board = SelectedBoard();
    const QTreeWidgetItem *node = TreeView1->currentItem();
    const QString category = board ? board->Category : (node ? node->text(0) : QString());
    SaveFolder();
    if (BoardTree::AddSiteBoard(site, category, board ? board->Name : QString(), board ? board->URL : QString()))
        AfterSiteChange();
}

void TFavoritesEditor::FolderEdit()
{
    TBoard *board = SelectedBoard();
    if (!board || board->Kind != TBoard::KIND_FAVORITES) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("それは修正できません。"));
        return;
    }
    SaveFolder();
    if (BoardTree::ModifySiteBoard(site, board))
        AfterSiteChange();
}

void TFavoritesEditor::FolderDelete()
{
    TBoard *board = SelectedBoard();
    if (!board)
        return;
    SaveFolder();
    if (BoardTree::DeleteSiteBoard(site, board))
        AfterSiteChange();
}

// The site's boards were read again: every board pointer held is stale.
void TFavoritesEditor::AfterSiteChange()
{
    folder = nullptr;
    modified = false;
    threads.Clear();
    FillTree();
    TreeView1Change();
}

void TFavoritesEditor::FolderMove(int step)
{
    TBoard *board = SelectedBoard();
    if (!board)
        return;
    const int index = site->Boards->IndexOf(board);
    if (!FavoriteFolders::MoveBoard(*site->Boards, index, index + step))
        return;
    try {
        site->SaveBoards();
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
    FillTree();
    SelectBoardNode(board);
}

void TFavoritesEditor::SelectBoardNode(const TBoard *board)
{
    for (QTreeWidgetItemIterator it(TreeView1); *it; ++it)
        if (BoardTree::NodeBoard(*it) == board)
            TreeView1->setCurrentItem(*it);
}

void TFavoritesEditor::MoveSelectedFolderTo(const QTreeWidgetItem *node)
{
    TBoard *moved = SelectedBoard();
    if (!IsFolder(moved) || !node)
        return;
    const int from = site->Boards->IndexOf(moved);
    if (const TBoard *target = BoardTree::NodeBoard(node)) {
        if (target == moved || !IsFolder(target))
            return;
        FavoriteFolders::MoveBoard(*site->Boards, from, site->Boards->IndexOf(target));
    } else if (!BoardTree::NodeSite(node)) {
        FavoriteFolders::MoveBoardToCategory(*site->Boards, from, node->text(0));
    } else {
        return;
    }
    FillTree();
    SelectBoardNode(moved);
}

void TFavoritesEditor::WebEdit(bool title)
{
    TBoard *board = SelectedBoard();
    if (!board || board->Kind != TBoard::KIND_WWW)
        return;
    QInputDialog input(this);
    input.setWindowTitle(QStringLiteral("編集"));
    input.setLabelText(title ? QStringLiteral("タイトル") : QStringLiteral("URL"));
    input.setTextValue(title ? board->Name : board->URL);
    if (Dialogs::ExecDialog(input) != QDialog::Accepted)
        return;
    if (title) {
        board->Name = input.textValue();
        TreeView1->currentItem()->setText(0, board->Name);
    } else {
        board->URL = input.textValue();
        board->HostPath = board->URL;
    }
}

// ---- closing ----

void TFavoritesEditor::CloseEditor()
{
    if (closed)
        return;
    closed = true;
    SaveFolder();
    if (!site)
        return;
    try {
        site->SaveBoards();
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
}

void TFavoritesEditor::closeEvent(QCloseEvent *event)
{
    CloseEditor();
    QDialog::closeEvent(event);
}

void TFavoritesEditor::done(int result)
{
    CloseEditor();
    QDialog::done(result);
}
