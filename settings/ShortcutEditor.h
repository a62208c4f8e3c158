#pragma once
// TShortcutEditor ("ショートカットバーの編集"): the tabs and items of the shortcut bar as a whole.
// Tabs are added, renamed, recoloured, given a picture, deleted and reordered; items renamed,
// deleted, reordered, moved to another tab, shown in the property window; separators added.
// "保存(&S)" writes shortcut.txt when something changed, and closing the editor writes it in any
// case.
//
// Drag and drop carries the selection: items dropped on a tab of ListBox1 join its end, a tab
// dropped on ListBox1 takes the row under the drop point, items dropped on ListBox2 go in front of
// the row under the drop point (to the end below the last row).

#include "controls/DragDrop.h"
#include "settings/ShortcutEditing.h"

#include <QDialog>

class QAbstractItemView;
class QDropEvent;
class QHeaderView;
class QListWidget;
class QMenuBar;
class QTreeWidget;
class TPropertyWindow;

class TShortcutEditor : public QDialog {
    Q_OBJECT
public:
    explicit TShortcutEditor(const QString &fileName, QWidget *parent = nullptr);

    QListWidget *ListBox1;          // タブ
    QTreeWidget *ListBox2;          // the items of the selected tab
    QHeaderView *HeaderControl1;    // テキスト, 種類, パラメータ１ to パラメータ３
    TShortcutEditing Editing;

    // The drag formats of the two lists.
    static const QString TabMime;
    static const QString ItemsMime;

    void actNewTabExecute();
    void actRenameTabExecute();
    void actDeleteTabExecute();
    void actChangeTabColorExecute();
    void actTabImageExecute();
    void actRenameShortcutExecute();
    void actDeleteShortcutExecute();
    void actAddSeparatorExecute();
    void actPropertyExecute();
    void actSaveExecute();
    void actSaveAsExecute();
    void actOpenExecute();
    void done(int result) override;   // every way of closing writes shortcut.txt

    // Selected rows of ListBox2, in order.
    QList<int> SelectedItems() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString fileName;
    DragDrop::TDragStart dragStart;

    QMenuBar *BuildCommands();
    // Asks for a text; false when cancelled.
    bool AskText(const QString &title, const QString &prompt, QString &text);
    // Asks until the name suits a tab (except the one at except) or the user cancels.
    bool AskTabName(const QString &title, int except, QString &name);
    // A file chosen in a file dialog; empty when cancelled.
    QString AskFile(const QString &title, const QString &filter, bool save);
    void FillTabs(int selected);
    void FillItems();
    void SelectItem(int row);

    static bool ShowsProperty(TPropertyWindow &window, const TShortcutData &item);

    QString DragFormat(QObject *viewport) const;
    void StartDrag(QAbstractItemView *list, const QString &format);
    bool IsMoveFromItem(const QAbstractItemView *list, const QEvent *event) const;
    bool HandleDrop(QObject *viewport, QDropEvent *event);
};
