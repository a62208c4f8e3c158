#pragma once
// The working copy shared by the toolbar and popup-menu customisation dialogs: for each bar or
// menu (a section of toolbar.ini or popup.ini) the action names and "-" separators it shows, and
// the window's actions by category to add from. Saving erases each section and writes COUNT and
// the numbered keys (BUTTON1.. or ITEM1..) in order; an entry naming no action is kept as it is.

#include <QList>
#include <QStringList>

class QAction;
class TIniFile;

// One bar or menu: its section name, the caption the dialog offers, its entries in order.
struct TTavuToolBarList {
    QString Name;
    QString Caption;
    QStringList Entries;
};

class TActionListEditor {
public:
    // actions: the window's actions in catalogue order; hiddenCategories are never offered.
    TActionListEditor(const QList<QAction *> &actions, const QStringList &hiddenCategories, const QString &keyPrefix);

    // Adds a list from the file's section, or from the designed entries when the file has none.
    void AddList(const TIniFile &ini, const QString &name, const QString &caption, const QStringList &designed);
    QList<TTavuToolBarList> Lists;

    // The categories offered, in the order of the first action of each.
    QStringList Categories() const;
    // The actions of the category that the list does not hold yet.
    QList<QAction *> Available(int list, const QString &category) const;
    // "[" + category + "]" + caption without its access key, "<区切り線>" for a separator, the name for
    // an unknown action.
    QString RowText(const QString &entry) const;
    QAction *ActionOf(const QString &entry) const;

    void Add(int list, const QList<QAction *> &actions);
    void Delete(int list, const QList<int> &rows);
    void AddSeparator(int list);
    // Moves the rows one place (delta -1 up, +1 down); returns their places afterwards.
    QList<int> Move(int list, const QList<int> &rows, int delta);

    // Writes every list into the ini (in memory).
    void Save(TIniFile &ini) const;

private:
    QList<QAction *> actions;
    QStringList hiddenCategories;
    QString keyPrefix;
};
