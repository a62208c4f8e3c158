#include "commands/ThreadInfoPane.h"

#include "commands/ThreadCommands.h"
#include "controls/BoardTree.h"
#include "controls/Dialogs.h"
#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "core/Bookmark.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/Tavutils.h"
#include "core/ThreadItem.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "services/ResSearch.h"
#include "settings/BookmarkShelf.h"
#include "tools/ImageCatalog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QInputDialog>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

const int ResNoRole = Qt::UserRole;   // a row keeps its response number, never the bookmark itself
const QString DateFormat = QStringLiteral("yyyy/MM/dd hh:mm:ss");

// One group of the information list: the label on the button face, the value (or "<無し>") and an
// empty row on the window colour.
void AddGroup(QListWidget *list, const QString &label, const QString &value)
{
    const QPalette palette = list->palette();
    auto row = [list, &palette](const QString &text, QPalette::ColorRole background) {
        auto *item = new QListWidgetItem(text, list);
        item->setBackground(palette.color(background));
        item->setForeground(palette.color(QPalette::Text));
        item->setFlags(Qt::ItemIsEnabled);
    };
    row(label, QPalette::Button);
    const QString trimmed = value.trimmed();
    row(trimmed.isEmpty() ? QStringLiteral("<無し>") : trimmed, QPalette::Base);
    row(QString(), QPalette::Base);
}

// The date and, when it is set, the time passed since.
void AddDateGroups(QListWidget *list, const QString &label, const QString &date, const QDateTime &now)
{
    AddGroup(list, label, date);
    const QDateTime then = QDateTime::fromString(date, DateFormat);
    if (then.isValid())
        AddGroup(list, QStringLiteral("経過時間"), Tavutils::FormatElapsedTime(then, now) + QStringLiteral("経過"));
}

}  // namespace

TThreadInfoPane::TThreadInfoPane(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    CreateTabs();
    CreateBookmarkPane();
    CreateImageCatalog();
    connect(&services.Frame().Events(), &TWindowEvents::ThreadShown, this, [this] { ThreadShown(); });
    services.Frame().BindAction(QStringLiteral("actBookmarkDelete"), this, [this] { actBookmarkDeleteExecute(); });
    services.Frame().BindAction(QStringLiteral("actBookmarkComment"), this, [this] { actBookmarkCommentExecute(); });
    services.Frame().BindAction(QStringLiteral("actThreadThumbnailImages"), this, [this] { actThreadThumbnailImagesExecute(false); });
    services.Frame().BindAction(QStringLiteral("actThreadThumbnailImagesNewOnly"), this,
                        [this] { actThreadThumbnailImagesExecute(true); });
    ThreadShown();
}

void TThreadInfoPane::CreateTabs()
{
    ThreadInfoTabs = new QTabWidget;
    ThreadInfoTabs->setObjectName(QStringLiteral("ThreadInfoTabs"));
    ThreadInfoTabs->setDocumentMode(true);
    ThreadInfoTabs->setUsesScrollButtons(false);   // every tab in sight in a narrow panel
    ThreadInfoTabs->setElideMode(Qt::ElideRight);
    ThreadInfoListBox = new QListWidget;
    ThreadInfoListBox->setObjectName(QStringLiteral("ThreadInfoListBox"));
    ThreadInfoListBox->setSelectionMode(QAbstractItemView::NoSelection);
    ThreadInfoListBox->setWordWrap(true);
    ThreadInfoTabs->addTab(ThreadInfoListBox, QStringLiteral("スレッド情報"));
}

void TThreadInfoPane::CreateBookmarkPane()
{
    auto *pane = new QSplitter(Qt::Vertical);
    pane->setObjectName(QStringLiteral("BookmarkPane"));
    BookmarkListView = new QTreeWidget(pane);
    BookmarkListView->setObjectName(QStringLiteral("BookmarkListView"));
    BookmarkListView->setRootIsDecorated(false);
    BookmarkListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    BookmarkListView->setHeaderLabels({QStringLiteral("レス"), QStringLiteral("コメント"), QStringLiteral("名前"), QStringLiteral("日付")});
    BookmarkListView->header()->setStretchLastSection(true);
    BookmarkListView->setContextMenuPolicy(Qt::CustomContextMenu);
    BookmarkText = new QPlainTextEdit(pane);
    BookmarkText->setObjectName(QStringLiteral("BookmarkText"));
    BookmarkText->setReadOnly(true);
    pane->setStretchFactor(0, 1);
    ThreadInfoTabs->addTab(pane, QStringLiteral("しおり"));

    QMenu *menu = services.Bars().Menu(QStringLiteral("BookmarkMenu"));
    if (menu) {
        for (const char *name : {"actBookmarkComment", "actBookmarkDelete"}) {
            if (QAction *action = services.Frame().Action(QString::fromLatin1(name)))
                menu->addAction(action);
        }
        connect(menu, &QMenu::aboutToShow, this, &TThreadInfoPane::BookmarkMenuPopup);
        connect(BookmarkListView, &QWidget::customContextMenuRequested, this,
                [this, menu](const QPoint &pos) { menu->popup(BookmarkListView->viewport()->mapToGlobal(pos)); });
    }
    connect(BookmarkListView, &QTreeWidget::itemSelectionChanged, this, &TThreadInfoPane::BookmarkListViewChange);
    connect(BookmarkListView, &QTreeWidget::itemDoubleClicked, this, &TThreadInfoPane::BookmarkListViewDblClick);
}

// The catalog goes where IMAGEPANE says: under the browser, a tab of the panel or under its tabs.
void TThreadInfoPane::CreateImageCatalog()
{
    const QString cacheFolder = TavuConfig->GetTempDir() + QStringLiteral("thumbs/");
    ImageCatalog = new TImageCatalogPane(cacheFolder);
    const int imagePane = TavuConfig->DESKTOP_IMAGEPANE;
    ImageCatalog->ThumbnailSizeNow = [this, imagePane] {
        return TImageCatalog::ThumbnailSize(imagePane, ImageCatalog->height(), services.Layout().ThreadInfoWidth());
    };
    ImageCatalog->OpenInPreview = [this](const QString &url) { services.Reading().OpenInPreviewBrowser(url); };
    ImageCatalog->OpenInTab = [this](const QString &url) { services.Reading().OpenWebPage(url, QString()); };
    ImageCatalog->OpenCatalogPage = [this](const QString &html) {
        TTavuBrowser *tab = services.Tabs().NewPageTab(QStringLiteral("ｻﾑﾈｲﾙ"));
        tab->SetWebPage(true);
        tab->Browser()->Clear();
        tab->Browser()->Write(html);
        tab->Browser()->Close();
    };
    ImageCatalog->Rebuild();
    if (imagePane == 1)
        ThreadInfoTabs->addTab(ImageCatalog, QStringLiteral("画像"));
    services.Layout().PlaceThreadInfo(ThreadInfoTabs, ImageCatalog, imagePane);
}

TTavuBrowser *TThreadInfoPane::ThreadTab() const
{
    TTavuBrowser *tab = services.Tabs().CurrentBrowser();
    return tab && !tab->IsWebPage() && tab->ThreadItem() ? tab : nullptr;
}

// The caption is drawn again on every hover too: the bookmark list is filled anew only when its
// rows would change, so that its selection stays.
void TThreadInfoPane::ThreadShown()
{
    TTavuBrowser *tab = ThreadTab();
    TThreadItem *item = tab ? tab->ThreadItem() : nullptr;
    FillThreadInfo(item);
    if (item != bookmarksShown || BookmarkRows(item) != bookmarkRows)
        FillBookmarks(item);
}

QStringList TThreadInfoPane::BookmarkRows(const TThreadItem *item)
{
    QStringList rows;
    for (int i = 0; item && i < item->Bookmarks.Count(); ++i) {
        const TBookmarkRes *bookmark = item->Bookmarks.Get(i);
        rows << QString::number(bookmark->ResNo) + QLatin1Char('\t') + bookmark->Memo;
    }
    return rows;
}

// ---- thread information ----

void TThreadInfoPane::FillThreadInfo(const TThreadItem *item, const QDateTime &now)
{
    ThreadInfoListBox->clear();
    if (!item)
        return;
    AddGroup(ThreadInfoListBox, QStringLiteral("タイトル"), item->ShownTitle());
    AddDateGroups(ThreadInfoListBox, QStringLiteral("前回読み込み日"), item->LAST_LOAD, now);
    AddGroup(ThreadInfoListBox, QStringLiteral("読み込み回数"), QStringLiteral("%1 回").arg(item->LOAD_COUNT));
    AddDateGroups(ThreadInfoListBox, QStringLiteral("前回書き込み日"), item->LAST_SENT, now);
    AddGroup(ThreadInfoListBox, QStringLiteral("書き込み回数"), QStringLiteral("%1 回").arg(item->SEND_COUNT));
    if (item->READPOINT > 0)
        AddGroup(ThreadInfoListBox, QStringLiteral("ここまで読んだ"), QStringLiteral(">>%1").arg(item->READPOINT));
}

// ---- bookmarks ----

void TThreadInfoPane::FillBookmarks(TThreadItem *item)
{
    BookmarkListView->clear();
    BookmarkText->clear();
    bookmarksShown = item;
    bookmarkRows = BookmarkRows(item);
    if (!item)
        return;
    for (int i = 0; i < item->Bookmarks.Count(); ++i) {
        const TBookmarkRes *bookmark = item->Bookmarks.Get(i);
        const QString body = MonaUtils::HtmlToText(bookmark->Body);
        auto *row = new QTreeWidgetItem(BookmarkListView, {QString::number(bookmark->ResNo), bookmark->Memo, bookmark->PlainName, bookmark->Date});
        row->setData(0, ResNoRole, bookmark->ResNo);
        const QString tip = bookmark->Memo + QStringLiteral(": ") + body;
        for (int column = 0; column < row->columnCount(); ++column)
            row->setToolTip(column, tip);
    }
}

// The bookmarks of the selected rows, looked up in the current thread (the bookmark windows may
// have read them anew meanwhile).
QList<TBookmarkRes *> TThreadInfoPane::SelectedBookmarks() const
{
    QList<TBookmarkRes *> bookmarks;
    const TTavuBrowser *tab = ThreadTab();
    for (QTreeWidgetItem *row : BookmarkListView->selectedItems()) {
        if (TBookmarkRes *bookmark = tab ? tab->ThreadItem()->Bookmarks.FindByResNo(row->data(0, ResNoRole).toInt()) : nullptr)
            bookmarks << bookmark;
    }
    return bookmarks;
}

void TThreadInfoPane::BookmarkMenuPopup()
{
    const int selected = int(BookmarkListView->selectedItems().size());
    services.Frame().SetActionEnabled(QStringLiteral("actBookmarkComment"), selected == 1);
    services.Frame().SetActionEnabled(QStringLiteral("actBookmarkDelete"), selected >= 1);
}

void TThreadInfoPane::BookmarkListViewChange()
{
    const QList<TBookmarkRes *> bookmarks = SelectedBookmarks();
    BookmarkText->setPlainText(bookmarks.isEmpty() ? QString() : MonaUtils::HtmlToText(bookmarks.first()->Body));
}

void TThreadInfoPane::BookmarkListViewDblClick()
{
    const QList<TBookmarkRes *> bookmarks = SelectedBookmarks();
    if (TTavuBrowser *tab = ThreadTab(); tab && tab->ResList() && !bookmarks.isEmpty())
        TThreadCommands::GoToRes(services.SearchViews(), tab, bookmarks.first()->ResNo);
}

// The chosen bookmarks leave the thread; its responses lose their mark and the caption is drawn
// again (which fills the pane anew).
void TThreadInfoPane::actBookmarkDeleteExecute()
{
    TTavuBrowser *tab = ThreadTab();
    QList<int> numbers;
    for (const TBookmarkRes *bookmark : SelectedBookmarks())
        numbers << bookmark->ResNo;
    if (!tab || numbers.isEmpty())
        return;
    TThreadItem *item = tab->ThreadItem();
    TBookmarkShelf shelf(services.Bookmarks().BookmarkIndex(), services.Bookmarks().BookmarkIndexFile());
    for (int number : std::as_const(numbers)) {
        shelf.Remove(item, number);
        if (TResList *list = tab->ResList(); list && number >= 1 && number <= list->Count())
            list->Get(number - 1)->Bookmarked = false;
    }
    services.Views().UpdateStatusCaption(item);
}

void TThreadInfoPane::actBookmarkCommentExecute()
{
    TTavuBrowser *tab = ThreadTab();
    const QList<TBookmarkRes *> bookmarks = SelectedBookmarks();
    if (!tab || bookmarks.size() != 1)
        return;
    QInputDialog input(services.Frame().Window());
    input.setWindowTitle(QStringLiteral("コメントの編集"));
    input.setLabelText(QStringLiteral("コメント"));
    input.setTextValue(bookmarks.first()->Memo);
    if (Dialogs::ExecDialog(input) != QDialog::Accepted)
        return;
    bookmarks.first()->Memo = input.textValue();
    TBookmarkShelf shelf(services.Bookmarks().BookmarkIndex(), services.Bookmarks().BookmarkIndexFile());
    shelf.Save(tab->ThreadItem());
    FillBookmarks(tab->ThreadItem());
}

// ---- image catalog ----

void TThreadInfoPane::actThreadThumbnailImagesExecute(bool newOnly)
{
    TTavuBrowser *tab = ThreadTab();
    if (!tab || !tab->ResList())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QList<ResSearch::TLinkItem> links;
    ResSearch::ExtractLinks(*tab->ResList(), links, newOnly);
    for (const ResSearch::TLinkItem &link : std::as_const(links)) {
        if (TImageCatalog::IsCatalogPicture(link.URL))
            ImageCatalog->Catalog.AddBack(link.URL);
    }
    QApplication::restoreOverrideCursor();
    if (ImageCatalog->Catalog.Urls.isEmpty())
        return;
    if (ThreadInfoTabs->indexOf(ImageCatalog) >= 0)
        ThreadInfoTabs->setCurrentWidget(ImageCatalog);
    ImageCatalog->Rebuild();
}
