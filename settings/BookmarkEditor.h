#pragma once
// TBookmarkEditor ("しおりエディタ"): reorganises the bookmarks by category. The categories are
// listed on the left ("(未入力)" first), the bookmarks of the selected category on the right, and
// the selected bookmark is rendered with the skin below. Bookmarks are dragged onto a category to
// move them there; categories are dragged to reorder them; categories are created, renamed and
// deleted (with their bookmarks) from the category list's menu, bookmarks deleted from theirs.
//
// The work is done by TBookmarkCategoryRows; every bookmark change is saved at once, the category
// file when the editor closes.

#include <QDialog>
#include <memory>

class QAction;
class QDropEvent;
class QListWidget;
class QMenu;
class QTreeWidget;
class TBookmarkCategoryRows;
class TBookmarkShelf;
class TTavuBrowser;
class TTextList;

class TBookmarkEditor : public QDialog {
    Q_OBJECT
public:
    TBookmarkEditor(TTextList &index, const QString &indexFile, const QString &categoryFile,
                    QWidget *parent = nullptr);
    ~TBookmarkEditor() override;

    TBookmarkCategoryRows &Rows() const { return *rows; }

    // The category rows and the bookmarks of the selected one.
    void FillCategoryList();
    void CategoryListClick();
    void ListView1SelectItem();
    // What a drop on the category list does: the selected bookmarks move to the target row (a
    // target below the last row is ignored); the selected categories move before it.
    void DropBookmarks(int targetRow);
    void DropCategories(int targetRow);

    void actCategoryNewExecute();
    void actCategoryRenameExecute();
    void actCategoryDeleteExecute();
    void actBookmarkDeleteExecute();

    QListWidget *CategoryList = nullptr;
    QTreeWidget *ListView1 = nullptr;
    QWidget *Panel5 = nullptr;
    TTavuBrowser *Browser = nullptr;
    QAction *actCategoryNew = nullptr;
    QAction *actCategoryRename = nullptr;
    QAction *actCategoryDelete = nullptr;
    QAction *actBookmarkDelete = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QMenu *PopupMenu2 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<TBookmarkShelf> shelf;
    std::unique_ptr<TBookmarkCategoryRows> rows;
    QString categoryFile;

    void CreateActions();
    QList<int> SelectedCategories() const;
    QList<int> SelectedBookmarks() const;
    // Asks for a category name until one is given that no other row than exceptRow uses; empty
    // when the user cancels.
    QString AskCategoryName(const QString &caption, const QString &value, int exceptRow);
    bool HandleDrop(QDropEvent *event);
};
