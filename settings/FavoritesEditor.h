#pragma once
// TFavoritesEditor ("お気に入りエディタ"): the favorites site's folders in a tree and the threads of the
// chosen folder in a list. Threads can be reordered, taken out of the favorites, deleted with their
// logs, marked as past logs and shown in the property window; folders can be created, edited,
// deleted and reordered (also by dragging them in the tree). A folder's file is rewritten when
// another folder is chosen or the editor closes; board.dat is written on close.

#include "controls/DragDrop.h"
#include "core/ThreadItemList.h"

#include <QDialog>
#include <QMap>

class QAction;
class QDropEvent;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;
class TBoard;
class TSite;
class TqorExtListView;

class TFavoritesEditor : public QDialog {
    Q_OBJECT
public:
    explicit TFavoritesEditor(QWidget *parent = nullptr);
    ~TFavoritesEditor() override;

    // The columns of the thread list and the sort key of each.
    static const QStringList &ColumnCaptions();
    static int ColumnSortKey(int column);
    // The text of a cell.
    static QString CellText(const TThreadItem *item, int column);

    QAction *Action(const QString &name) const { return actions.value(name); }
    const TThreadItemList &Threads() const { return threads; }
    TBoard *ShownFolder() const { return folder; }
    bool Modified() const { return modified; }

    // Shows the folder (or page) of the selected node, after writing the folder shown before.
    void TreeView1Change();
    // Sorts by the column: the same column again reverses the direction.
    void SortByColumn(int column);
    // Rewrites the shown folder's file when it was modified and still lists threads.
    void SaveFolder();

    // What dropping the selected rows does: on a row of the list (-1 or past the end: after the
    // last row) they move there keeping their order and stay selected; on a folder of the tree they
    // leave every folder file and the list and are appended to that folder's file.
    void MoveSelectedTo(int row);
    void MoveSelectedToFolder(const TBoard *target);
    // What dropping the selected folder does: on another folder it takes that folder's category and
    // place; on a category node it takes the category and goes behind its last board. The tree is
    // filled again (board.dat is written when the editor closes).
    void MoveSelectedFolderTo(const QTreeWidgetItem *node);

    QTreeWidget *TreeView1 = nullptr;
    TqorExtListView *qorExtListView1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    TSite *site = nullptr;   // the favorites site
    TThreadItemList threads;
    TBoard *folder = nullptr;
    bool modified = false;
    int sortColumn = 0;
    bool sortAscending = true;
    bool closed = false;
    QMap<QString, QAction *> actions;

    void CreateActions();
    void CreateMenus();
    void RestoreLayout();
    void RestoreColumnWidths();
    void StoreLayout();
    void FillTree();
    void RefreshList();
    QList<int> SelectedRows() const;
    void SelectRowsWhere(const std::function<bool(const TThreadItem *)> &test);
    void DrawCell(QPainter *canvas, int row, int column, const QRect &rect, bool selected) const;
    TBoard *SelectedBoard() const;

    // Thread actions.
    void RemoveSelected(bool deleteLogs);
    void ToggleKakoLog();
    void MoveSelected(int step);
    void MoveToLocal();
    // The focused thread in the property window.
    void ShowProperty();
    // Folder actions.
    void FolderNew();
    void FolderEdit();
    void FolderDelete();
    void FolderMove(int step);
    void SelectBoardNode(const TBoard *board);
    void AfterSiteChange();
    void WebEdit(bool title);
    void CloseEditor();
    void LoadFolderThreads();
    // Drag and drop of the selected rows, or of the selected folder of the tree.
    DragDrop::TDragStart dragStart;
    void StartDrag(bool folder);
    bool HandleDrop(QObject *target, QDropEvent *event);
};
