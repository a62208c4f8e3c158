#pragma once
// TKeyBindings: the working copy of the key-binding editor. One row per action of the main window
// and of the reply composer, with the key being edited. Two rows may end with the same key: the
// editor only marks the conflict, and both are written. Saving writes every row into kpw.ini: section "SHORTCUT" for the main window,
// "SHORTCUT_" + the form's name for another form (the composer's is "SHORTCUT_SendDialog"), key the
// action's name, value the key's text ("Ctrl+R", empty for none).

#include <QList>
#include <QString>

class QAction;
class TIniFile;

class TKeyBindings {
public:
    struct TRow {
        QString Form;            // empty for the main window
        QAction *Action = nullptr;
        int Key = 0;             // a Qt key combination, 0 for none
    };

    // Adds a row for each action, with its current key. form: empty for the main window.
    void AddActions(const QString &form, const QList<QAction *> &actions);

    int Count() const { return int(rows.size()); }
    const TRow &Row(int index) const { return rows[index]; }
    // "(" + category + ") " + caption, the caption without its access key (the list shows plain text).
    QString Caption(int index) const;
    static QString KeyText(int key);

    // The other rows bound to the row's key (none for no key).
    QList<int> Conflicts(int index) const;
    // Binds the key to the row (0: no key).
    void Assign(int index, int key) { rows[index].Key = key; }

    // Writes every row into the ini (in memory).
    void Save(TIniFile &ini) const;
    static QString SectionOf(const QString &form);

private:
    QList<TRow> rows;
};
