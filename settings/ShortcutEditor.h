#pragma once
// TShortcutEditor ("ショートカットバーの編集"): the tabs and items of the shortcut bar as a whole.
// Tabs are added, renamed and deleted, items renamed and deleted, separators added; "保存(&S)"
// writes shortcut.txt when something changed, and closing the editor writes it in any case.

#include "settings/ShortcutEditing.h"

#include <QDialog>

class QListWidget;

class TShortcutEditor : public QDialog {
    Q_OBJECT
public:
    explicit TShortcutEditor(const QString &fileName, QWidget *parent = nullptr);

    QListWidget *ListBox1;   // タブ
    QListWidget *ListBox2;   // the items of the selected tab
    TShortcutEditing Editing;

    void actNewTabExecute();
    void actRenameTabExecute();
    void actDeleteTabExecute();
    void actRenameShortcutExecute();
    void actDeleteShortcutExecute();
    void actAddSeparatorExecute();
    void actSaveExecute();
    void actSaveAsExecute();
    void actOpenExecute();
    void done(int result) override;   // every way of closing writes shortcut.txt

private:
    QString fileName;

    // Asks for a text; false when cancelled.
    bool AskText(const QString &title, const QString &prompt, QString &text);
    // Asks until the name suits a tab (except the one at except) or the user cancels.
    bool AskTabName(const QString &title, int except, QString &name);
    // A file chosen in a file dialog; empty when cancelled.
    QString AskFile(const QString &title, bool save);
    void FillTabs(int selected);
    void FillItems();
    QList<int> SelectedItems() const;
};
