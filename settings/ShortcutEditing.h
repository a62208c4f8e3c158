#pragma once
// TShortcutEditing: the working copy of the shortcut-bar editor. The tabs of shortcut.txt with
// their items, changed in memory; a change sets Modified, a write sets Saved. Names of tabs must be
// non-empty and unique; separators keep their text. Rows handed over are sorted and distinct.

#include "controls/ShortcutData.h"

#include <QList>
#include <QString>

class TShortcutEditing {
public:
    TShortcutBarModel Tabs;
    bool Modified = false;
    bool Saved = false;

    // Replaces the tabs with a file's (a missing file gives none).
    void Load(const QString &fileName);
    // Writes the tabs to the file (shortcut.txt or a backup copy).
    void SaveTo(const QString &fileName);

    // Empty when the name can be given to a tab (other than the one at except), else the message.
    QString CheckTabName(const QString &name, int except = -1) const;
    // Inserts a tab after the one at index (at the end for -1); returns its place.
    int NewTab(int after, const QString &name);
    void RenameTab(int index, const QString &name);
    void DeleteTab(int index);
    // Empty when done, else the message (a separator keeps its text).
    QString RenameItem(int tab, int index, const QString &text);
    void DeleteItems(int tab, const QList<int> &rows);
    // A separator at the row (at the top for -1).
    void AddSeparator(int tab, int row);
    void SetTabColor(int tab, TColor color);
    // False, with the image left as it was, when the file cannot be used (its message was shown).
    bool SetTabImage(int tab, const QString &fileName);

    // Drag and drop. Items dropped on another tab go to its end and leave their own tab.
    void MoveItemsToTab(int from, const QList<int> &rows, int to);
    // A tab dropped on the row "to" (-1: below the last) takes its place; returns where it is now.
    int MoveTab(int from, int to);
    // Items dropped on the row "to" (-1: below the last) go there in their order; returns the row
    // of the first one.
    int MoveItems(int tab, const QList<int> &rows, int to);

private:
    // The items at the rows, in their order, out of the tab.
    std::vector<std::unique_ptr<TShortcutData>> TakeItems(int tab, const QList<int> &rows);
};
