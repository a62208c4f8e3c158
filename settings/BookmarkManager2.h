#pragma once
// TBookmarkManager2 ("しおりマネージャ"): the bookmarked threads by site and board ("板別") or by
// category ("カテゴリ別"), and the bookmarked responses of the chosen thread (or of every listed
// thread) rendered with the skin. From it the user opens a thread (at a bookmarked response),
// changes a bookmark's category and deletes bookmarks.
//
// The threads come from the bookmark index (TBookmarkShelf); every change is saved at once. The
// main window creates it, fills the site list (FillBBSList) and runs it modally.

#include <QDialog>
#include <functional>
#include <memory>

class QMenu;
class QStackedWidget;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;
class TBookmarkShelf;
class TTavuBrowser;
class TTextList;
class TThreadItem;

class TBookmarkManager2 : public QDialog {
    Q_OBJECT
public:
    // index: the bookmark index (bookmark.txt at indexFile); categoryFile: bookcate.txt.
    TBookmarkManager2(TTextList &index, const QString &indexFile, const QString &categoryFile,
                      QWidget *parent = nullptr);
    ~TBookmarkManager2() override;

    // Opens a thread in the main window; resNo is the response to show (0: none).
    std::function<void(TThreadItem *item, int resNo)> OpenThread;

    // The lists. Row 0 of the site, board and thread lists is "(すべて)".
    void FillBBSList();
    void FillBoardList();
    void FillThreadList();
    void FillCategoryList();
    void FillThreadListByCategory();
    // Shows the bookmarks of the selected thread row (all listed threads for "(すべて)").
    void ShowBookmarks();
    // The page "板別" (0) or "カテゴリ別" (1).
    void SelectPage(int index);

    // Commands. The current response is the one whose number was clicked last in the page.
    void N1Click();              // "このスレッドを開く"
    void N2Click();              // the same, at the current response
    void N5Click();              // "このスレッドのしおりをすべて削除"
    void N6Click();              // "カテゴリ..."
    void DeleteBookmarkClick();  // "しおりの削除"
    void Refresh1Click();        // "最新の情報に更新"

    TBookmarkShelf &Shelf() const { return *shelf; }
    TThreadItem *SelectedThread() const;
    int CurrentResNo = 0;

    QTabBar *TabSet1 = nullptr;
    QStackedWidget *Notebook1 = nullptr;
    QTreeWidget *ListViewBBS = nullptr;
    QTreeWidget *ListViewBoard = nullptr;
    QTreeWidget *ListViewCategory = nullptr;
    QTreeWidget *ListViewThread = nullptr;
    QWidget *Panel2 = nullptr;
    TTavuBrowser *Browser = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QMenu *ResPopup = nullptr;
    QMenu *PopupMenu2 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    std::unique_ptr<TBookmarkShelf> shelf;
    QString categoryFile;

    void CreateLists();
    void CreateMenus();
    void AddThreadRow(TThreadItem *item);
    QString SelectedCategory() const;
    void BrowserBeforeNavigate(const QUrl &url, bool &cancel);
    // After a deletion: empty threads leave the list and the view is filled again.
    void AfterDelete();
};
