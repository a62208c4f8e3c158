#include "settings/BookmarkManager2.h"

#include "controls/Dialogs.h"
#include "core/Board.h"
#include "core/Bookmark.h"
#include "core/Colors.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "settings/BookmarkCategoryDialog.h"
#include "settings/BookmarkPage.h"
#include "settings/BookmarkShelf.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString All = QStringLiteral("(すべて)");

QTreeWidget *NewList(QWidget *parent, const QStringList &columns)
{
    auto *list = new QTreeWidget(parent);
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setAlternatingRowColors(true);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    if (TavuConfig) {
        QPalette palette = list->palette();
        palette.setColor(QPalette::Base, QColor::fromRgba(ColorToQColor(TavuConfig->THREADLISTCOLOR1)));
        palette.setColor(QPalette::AlternateBase, QColor::fromRgba(ColorToQColor(TavuConfig->THREADLISTCOLOR2)));
        palette.setColor(QPalette::Text, QColor::fromRgba(ColorToQColor(TavuConfig->THREADLISTTEXTCOLOR)));
        list->setPalette(palette);
    }
    return list;
}

template <typename T>
void AddRow(QTreeWidget *list, const QString &caption, T *object)
{
    auto *row = new QTreeWidgetItem(list, {caption});
    row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void *>(object)));
}

template <typename T>
T *RowObject(const QTreeWidget *list)
{
    const QTreeWidgetItem *row = list->currentItem();
    return row ? static_cast<T *>(row->data(0, Qt::UserRole).value<void *>()) : nullptr;
}

QString BoardName(const TThreadItem *item)
{
    const TBoard *board = item->GetBoard();
    return board ? board->Name : item->BoardID;
}

}  // namespace

TBookmarkManager2::TBookmarkManager2(TTextList &index, const QString &indexFile, const QString &categoryFile,
                                     QWidget *parent)
    : QDialog(parent), shelf(std::make_unique<TBookmarkShelf>(index, indexFile)), categoryFile(categoryFile)
{
    setObjectName(QStringLiteral("BookmarkManager2"));
    setWindowTitle(QStringLiteral("しおりマネージャ"));
    CreateLists();
    CreateMenus();
    shelf->LoadThreads();
    SelectPage(0);
    FillCategoryList();
}

TBookmarkManager2::~TBookmarkManager2() = default;

void TBookmarkManager2::CreateLists()
{
    auto *layout = new QVBoxLayout(this);
    auto *split = new QSplitter(Qt::Vertical, this);
    layout->addWidget(split);

    auto *top = new QWidget(split);
    auto *topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    auto *left = new QWidget(top);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    TabSet1 = new QTabBar(left);
    TabSet1->addTab(QStringLiteral("板別"));
    TabSet1->addTab(QStringLiteral("カテゴリ別"));
    Notebook1 = new QStackedWidget(left);
    auto *byBoard = new QWidget(Notebook1);
    auto *byBoardLayout = new QVBoxLayout(byBoard);
    byBoardLayout->setContentsMargins(0, 0, 0, 0);
    ListViewBBS = NewList(byBoard, {QStringLiteral("BBS")});
    ListViewBoard = NewList(byBoard, {QStringLiteral("板")});
    byBoardLayout->addWidget(ListViewBBS);
    byBoardLayout->addWidget(ListViewBoard);
    ListViewCategory = NewList(Notebook1, {QStringLiteral("カテゴリ")});
    Notebook1->addWidget(byBoard);
    Notebook1->addWidget(ListViewCategory);
    leftLayout->addWidget(Notebook1);
    leftLayout->addWidget(TabSet1);
    topLayout->addWidget(left, 1);

    ListViewThread = NewList(top, {QStringLiteral("スレッド"), QStringLiteral("しおり数"), QStringLiteral("最終読込日"),
                                   QStringLiteral("DAT"), QStringLiteral("BBS"), QStringLiteral("板")});
    ListViewThread->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    topLayout->addWidget(ListViewThread, 3);

    Panel2 = new QWidget(split);
    auto *pane = new QVBoxLayout(Panel2);
    pane->setContentsMargins(0, 0, 0, 0);
    Browser = BookmarkPage::NewBrowser(Panel2);
    pane->addWidget(Browser);
    // The preview of the bookmarks has its share of the window from the start.
    split->setChildrenCollapsible(false);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    Panel2->setMinimumHeight(120);
    connect(Browser->Browser(), &TEmbeddedWB::BeforeNavigate, this, &TBookmarkManager2::BrowserBeforeNavigate);

    connect(TabSet1, &QTabBar::currentChanged, this, &TBookmarkManager2::SelectPage);
    connect(ListViewBBS, &QTreeWidget::currentItemChanged, this, &TBookmarkManager2::FillBoardList);
    connect(ListViewBoard, &QTreeWidget::currentItemChanged, this, &TBookmarkManager2::FillThreadList);
    connect(ListViewCategory, &QTreeWidget::currentItemChanged, this, &TBookmarkManager2::FillThreadListByCategory);
    connect(ListViewThread, &QTreeWidget::currentItemChanged, this, &TBookmarkManager2::ShowBookmarks);
}

void TBookmarkManager2::CreateMenus()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(QStringLiteral("このスレッドを開く"), this, &TBookmarkManager2::N1Click);
    PopupMenu1->addAction(QStringLiteral("このスレッドのしおりをすべて削除"), this, &TBookmarkManager2::N5Click);
    ResPopup = new QMenu(this);
    ResPopup->addAction(QStringLiteral("このスレッドを開く"), this, &TBookmarkManager2::N2Click);
    ResPopup->addAction(QStringLiteral("カテゴリ..."), this, &TBookmarkManager2::N6Click);
    ResPopup->addAction(QStringLiteral("しおりの削除"), this, &TBookmarkManager2::DeleteBookmarkClick);
    PopupMenu2 = new QMenu(this);
    PopupMenu2->addAction(QStringLiteral("最新の情報に更新"), this, &TBookmarkManager2::Refresh1Click);
    connect(ListViewThread, &QWidget::customContextMenuRequested, this, [this] { PopupMenu1->popup(QCursor::pos()); });
    connect(ListViewCategory, &QWidget::customContextMenuRequested, this, [this] { PopupMenu2->popup(QCursor::pos()); });
}

void TBookmarkManager2::showEvent(QShowEvent *event)
{
    if (TavuConfig && TavuConfig->DESKTOP_BOOKMARK_WINDOWSTATE == 2)
        setWindowState(Qt::WindowMaximized);
    else if (TavuConfig)
        setGeometry(TavuConfig->DESKTOP_BOOKMARK_LEFT, TavuConfig->DESKTOP_BOOKMARK_TOP,
                    TavuConfig->DESKTOP_BOOKMARK_WIDTH, TavuConfig->DESKTOP_BOOKMARK_HEIGHT);
    QDialog::showEvent(event);
}

void TBookmarkManager2::done(int result)
{
    if (TavuConfig && isVisible()) {
        TavuConfig->DESKTOP_BOOKMARK_WINDOWSTATE = isMaximized() ? 2 : 0;
        if (!isMaximized() && !isMinimized()) {
            TavuConfig->DESKTOP_BOOKMARK_LEFT = geometry().left();
            TavuConfig->DESKTOP_BOOKMARK_TOP = geometry().top();
            TavuConfig->DESKTOP_BOOKMARK_WIDTH = width();
            TavuConfig->DESKTOP_BOOKMARK_HEIGHT = height();
        }
    }
    QDialog::done(result);
}

void TBookmarkManager2::SelectPage(int index)
{
    TabSet1->setCurrentIndex(index);
    Notebook1->setCurrentIndex(index);
}

void TBookmarkManager2::FillBBSList()
{
    ListViewBBS->clear();
    AddRow<TSite>(ListViewBBS, All, nullptr);
    for (TSite *site : shelf->Sites())
        AddRow(ListViewBBS, site->NAME, site);
    ListViewBBS->setCurrentItem(ListViewBBS->topLevelItem(0));   // "(すべて)"
}

void TBookmarkManager2::FillBoardList()
{
    ListViewBoard->clear();
    AddRow<TBoard>(ListViewBoard, All, nullptr);
    for (TBoard *board : shelf->Boards(RowObject<TSite>(ListViewBBS)))
        AddRow(ListViewBoard, board->Name, board);
    ListViewBoard->setCurrentItem(ListViewBoard->topLevelItem(0));   // "(すべて)"
}

void TBookmarkManager2::AddThreadRow(TThreadItem *item)
{
    auto *row = new QTreeWidgetItem(ListViewThread, {item->ShownTitle(), QString::number(item->Bookmarks.Count()),
                                                     item->LAST_LOAD, item->GetKey(),
                                                     item->Site ? item->Site->NAME : QString(), BoardName(item)});
    row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void *>(item)));
}

void TBookmarkManager2::FillThreadList()
{
    ListViewThread->clear();
    if (!ListViewBoard->currentItem())
        return;
    AddRow<TThreadItem>(ListViewThread, All, nullptr);
    for (TThreadItem *item : shelf->ThreadsOf(RowObject<TSite>(ListViewBBS), RowObject<TBoard>(ListViewBoard)))
        AddThreadRow(item);
}

void TBookmarkManager2::FillCategoryList()
{
    ListViewCategory->clear();
    AddRow<void>(ListViewCategory, TBookmarkShelf::NoCategory(), nullptr);
    TTextList categories;
    categories.LoadFromFile(categoryFile);
    for (const QString &name : categories.Lines)
        AddRow<void>(ListViewCategory, name, nullptr);
}

// The category of the selected category row while the page "カテゴリ別" shows ("(未入力)": empty);
// a null string when no category filters.
QString TBookmarkManager2::SelectedCategory() const
{
    QTreeWidgetItem *row = ListViewCategory->currentItem();
    if (Notebook1->currentIndex() != 1 || !row)
        return QString();
    return ListViewCategory->indexOfTopLevelItem(row) == 0 ? QStringLiteral("") : row->text(0);
}

void TBookmarkManager2::FillThreadListByCategory()
{
    ListViewThread->clear();
    if (!ListViewCategory->currentItem())
        return;
    AddRow<TThreadItem>(ListViewThread, All, nullptr);
    for (TThreadItem *item : shelf->ThreadsInCategory(SelectedCategory()))
        AddThreadRow(item);
}

TThreadItem *TBookmarkManager2::SelectedThread() const
{
    return RowObject<TThreadItem>(ListViewThread);
}

void TBookmarkManager2::ShowBookmarks()
{
    if (!ListViewThread->currentItem())
        return;
    const QString category = SelectedCategory();
    QList<TThreadItem *> items;
    if (TThreadItem *item = SelectedThread())
        items.append(item);
    else
        for (int i = 1; i < ListViewThread->topLevelItemCount(); ++i)
            items.append(static_cast<TThreadItem *>(ListViewThread->topLevelItem(i)->data(0, Qt::UserRole).value<void *>()));

    QList<BookmarkPage::TThreadBookmarks> page;
    for (TThreadItem *item : items) {
        BookmarkPage::TThreadBookmarks thread{item, {}};
        for (int i = 0; i < item->Bookmarks.Count(); ++i) {
            TBookmarkRes *bookmark = item->Bookmarks.Get(i);
            if (category.isNull() || bookmark->Category == category)
                thread.Bookmarks.append(bookmark);
        }
        page.append(thread);
    }
    BookmarkPage::Show(Browser, page);
}

void TBookmarkManager2::BrowserBeforeNavigate(const QUrl &url, bool &cancel)
{
    const QString text = url.toString();
    if (!text.startsWith(QStringLiteral("tavu://res/?no=")) && !text.startsWith(QStringLiteral("menu:")))
        return;
    cancel = true;
    if (!SelectedThread())
        return;
    CurrentResNo = TTavuBrowser::GetLinkNumber(text);
    ResPopup->popup(QCursor::pos());
}

void TBookmarkManager2::N1Click()
{
    if (TThreadItem *item = SelectedThread(); item && OpenThread)
        OpenThread(item, 0);
}

void TBookmarkManager2::N2Click()
{
    if (TThreadItem *item = SelectedThread(); item && OpenThread)
        OpenThread(item, CurrentResNo);
}

void TBookmarkManager2::N5Click()
{
    TThreadItem *item = SelectedThread();
    if (!item)
        return;
    shelf->Clear(item);
    AfterDelete();
}

void TBookmarkManager2::N6Click()
{
    TThreadItem *item = SelectedThread();
    TBookmarkRes *bookmark = item ? item->Bookmarks.FindByResNo(CurrentResNo) : nullptr;
    if (!bookmark)
        return;
    TBookmarkCategoryDialog dialog(categoryFile, this);
    dialog.Edit1->setText(bookmark->Category);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    shelf->SetCategory(bookmark, dialog.Category);
    FillCategoryList();
}

void TBookmarkManager2::DeleteBookmarkClick()
{
    TThreadItem *item = SelectedThread();
    if (!item || !shelf->Remove(item, CurrentResNo))
        return;
    AfterDelete();
}

void TBookmarkManager2::Refresh1Click()
{
    ListViewThread->clear();
    FillCategoryList();
}

void TBookmarkManager2::AfterDelete()
{
    shelf->DropEmptyThreads();
    if (Notebook1->currentIndex() == 1)
        FillThreadListByCategory();
    else
        FillThreadList();
    Browser->ClearDocument();
}
