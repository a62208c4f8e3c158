#include "settings/BookmarkEditor.h"

#include "controls/Dialogs.h"
#include "core/Board.h"
#include "core/Bookmark.h"
#include "core/MonaUtils.h"
#include "core/Site.h"
#include "core/ThreadItem.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "settings/BookmarkCategoryRows.h"
#include "settings/BookmarkPage.h"
#include "settings/BookmarkShelf.h"

#include <QAction>
#include <QDropEvent>
#include <QInputDialog>
#include <QListWidget>
#include <QMenu>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

TBookmarkEditor::TBookmarkEditor(TTextList &index, const QString &indexFile, const QString &categoryFile,
                                 QWidget *parent)
    : QDialog(parent), shelf(std::make_unique<TBookmarkShelf>(index, indexFile)),
      rows(std::make_unique<TBookmarkCategoryRows>(*shelf)), categoryFile(categoryFile)
{
    setObjectName(QStringLiteral("BookmarkEditor"));
    setWindowTitle(QStringLiteral("しおりエディタ"));
    resize(720, 520);
    auto *layout = new QVBoxLayout(this);
    auto *split = new QSplitter(Qt::Vertical, this);
    layout->addWidget(split);
    auto *top = new QSplitter(Qt::Horizontal, split);

    CategoryList = new QListWidget(top);
    CategoryList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    CategoryList->setDragDropMode(QAbstractItemView::DragDrop);
    CategoryList->viewport()->installEventFilter(this);
    ListView1 = new QTreeWidget(top);
    ListView1->setHeaderLabels({QStringLiteral("BBS"), QStringLiteral("ボード"), QStringLiteral("タイトル"),
                                QStringLiteral("レス"), QStringLiteral("内容")});
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setDragDropMode(QAbstractItemView::DragOnly);
    top->setStretchFactor(1, 3);

    Panel5 = new QWidget(split);
    auto *pane = new QVBoxLayout(Panel5);
    pane->setContentsMargins(0, 0, 0, 0);
    Browser = BookmarkPage::NewBrowser(Panel5);
    pane->addWidget(Browser);
    connect(Browser->Browser(), &TEmbeddedWB::BeforeNavigate, this, [](const QUrl &, bool &cancel) { cancel = true; });

    CreateActions();
    shelf->LoadThreads();
    rows->Load(categoryFile);
    FillCategoryList();

    connect(CategoryList, &QListWidget::itemClicked, this, &TBookmarkEditor::CategoryListClick);
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &TBookmarkEditor::ListView1SelectItem);
}

TBookmarkEditor::~TBookmarkEditor()
{
    rows->Save(categoryFile);
}

void TBookmarkEditor::CreateActions()
{
    actCategoryNew = new QAction(QStringLiteral("カテゴリの新規作成(&N)..."), this);
    actCategoryRename = new QAction(QStringLiteral("カテゴリ名の変更(&R)..."), this);
    actCategoryDelete = new QAction(QStringLiteral("カテゴリの削除(&D)"), this);
    actBookmarkDelete = new QAction(QStringLiteral("しおりを削除(&D)"), this);
    connect(actCategoryNew, &QAction::triggered, this, &TBookmarkEditor::actCategoryNewExecute);
    connect(actCategoryRename, &QAction::triggered, this, &TBookmarkEditor::actCategoryRenameExecute);
    connect(actCategoryDelete, &QAction::triggered, this, &TBookmarkEditor::actCategoryDeleteExecute);
    connect(actBookmarkDelete, &QAction::triggered, this, &TBookmarkEditor::actBookmarkDeleteExecute);

    PopupMenu2 = new QMenu(this);
    PopupMenu2->addActions({actCategoryNew, actCategoryRename, actCategoryDelete});
    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(actBookmarkDelete);
    CategoryList->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(CategoryList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu2->popup(CategoryList->viewport()->mapToGlobal(pos)); });
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->popup(ListView1->viewport()->mapToGlobal(pos)); });
}

void TBookmarkEditor::FillCategoryList()
{
    const int current = CategoryList->currentRow();
    CategoryList->clear();
    for (int row = 0; row < rows->Count(); ++row)
        CategoryList->addItem(rows->Name(row));
    if (current >= 0 && current < rows->Count())
        CategoryList->setCurrentRow(current);
}

void TBookmarkEditor::CategoryListClick()
{
    ListView1->clear();
    const int row = CategoryList->currentRow();
    if (row < 0)
        return;
    ListView1->setUpdatesEnabled(false);
    for (const TBookmarkRes *bookmark : rows->Bookmarks(row)) {
        const TThreadItem *item = bookmark->Item;
        const TBoard *board = item->GetBoard();
        new QTreeWidgetItem(ListView1, {item->Site ? item->Site->NAME : QString(), board ? board->Name : item->BoardID,
                                        item->ShownTitle(), QString::number(bookmark->ResNo),
                                        MonaUtils::HtmlToPlainText(bookmark->Body)});
    }
    ListView1->setUpdatesEnabled(true);
}

void TBookmarkEditor::ListView1SelectItem()
{
    const int row = CategoryList->currentRow();
    QTreeWidgetItem *current = ListView1->currentItem();
    if (row < 0 || !current)
        return;
    TBookmarkRes *bookmark = rows->Bookmarks(row).value(ListView1->indexOfTopLevelItem(current));
    if (bookmark)
        BookmarkPage::Show(Browser, {{bookmark->Item, {bookmark}}});
}

QList<int> TBookmarkEditor::SelectedCategories() const
{
    QList<int> selected;
    for (const QListWidgetItem *item : CategoryList->selectedItems())
        selected.append(CategoryList->row(item));
    std::sort(selected.begin(), selected.end());
    return selected;
}

QList<int> TBookmarkEditor::SelectedBookmarks() const
{
    QList<int> selected;
    for (QTreeWidgetItem *item : ListView1->selectedItems())
        selected.append(ListView1->indexOfTopLevelItem(item));
    return selected;
}

void TBookmarkEditor::DropBookmarks(int targetRow)
{
    const int fromRow = CategoryList->currentRow();
    if (fromRow < 0 || targetRow < 0 || targetRow >= rows->Count())
        return;
    rows->MoveBookmarks(fromRow, SelectedBookmarks(), targetRow);
    CategoryListClick();
}

void TBookmarkEditor::DropCategories(int targetRow)
{
    const QList<int> moved = rows->MoveRows(SelectedCategories(), targetRow);
    FillCategoryList();
    CategoryList->clearSelection();
    for (int row : moved)
        CategoryList->item(row)->setSelected(true);
    if (!moved.isEmpty())
        CategoryList->setCurrentRow(moved.first(), QItemSelectionModel::Current);
}

bool TBookmarkEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != CategoryList->viewport())
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto *drag = static_cast<QDropEvent *>(event);
        if (drag->source() == CategoryList || drag->source() == ListView1)
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    if (event->type() == QEvent::Drop)
        return HandleDrop(static_cast<QDropEvent *>(event));
    return QDialog::eventFilter(watched, event);
}

bool TBookmarkEditor::HandleDrop(QDropEvent *event)
{
    const QModelIndex at = CategoryList->indexAt(event->position().toPoint());
    const int target = at.isValid() ? at.row() : rows->Count();
    if (event->source() == ListView1)
        DropBookmarks(target);
    else if (event->source() == CategoryList)
        DropCategories(target);
    event->setDropAction(Qt::IgnoreAction);   // the lists are refilled; nothing else moves
    event->accept();
    return true;
}

QString TBookmarkEditor::AskCategoryName(const QString &caption, const QString &value, int exceptRow)
{
    QString name = value;
    for (;;) {
        QInputDialog input(this);
        input.setWindowTitle(caption);
        input.setLabelText(QStringLiteral("カテゴリ名"));
        input.setTextValue(name);
        if (Dialogs::ExecDialog(input) != QDialog::Accepted)
            return QString();
        name = input.textValue();
        if (name.isEmpty())
            continue;
        if (!rows->IsUsed(name, exceptRow))
            return name;
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("すでに使われているカテゴリ名です。"));
    }
}

void TBookmarkEditor::actCategoryNewExecute()
{
    const QString name = AskCategoryName(QStringLiteral("カテゴリの新規作成"), rows->NewCategoryName(), -1);
    if (name.isEmpty())
        return;
    const int row = rows->AddCategory(name);
    FillCategoryList();
    CategoryList->setCurrentRow(row);
    CategoryListClick();
}

void TBookmarkEditor::actCategoryRenameExecute()
{
    const int row = CategoryList->currentRow();
    if (row <= 0)
        return;
    const QString name = AskCategoryName(QStringLiteral("カテゴリ名の変更"), rows->Name(row), row);
    if (name.isEmpty())
        return;
    rows->Rename(row, name);
    FillCategoryList();
}

void TBookmarkEditor::actCategoryDeleteExecute()
{
    rows->DeleteCategories(SelectedCategories());
    FillCategoryList();
    ListView1->clear();
}

void TBookmarkEditor::actBookmarkDeleteExecute()
{
    const int row = CategoryList->currentRow();
    QTreeWidgetItem *current = ListView1->currentItem();
    if (row < 0 || !current)
        return;
    rows->DeleteBookmark(row, ListView1->indexOfTopLevelItem(current));
    CategoryListClick();
}
