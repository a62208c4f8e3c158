#pragma once
// The dialog shared by the toolbar and popup-menu customisations: actions of a category on the
// left, the entries of the chosen bar or menu on the right, commands to add, delete, add a
// separator and move. OK writes the file; Cancel writes nothing.

#include "settings/ActionListEditor.h"

#include <QDialog>

class QComboBox;
class QTreeWidget;

class TCustomActionListDialog : public QDialog {
    Q_OBJECT
public:
    QComboBox *ComboBox1;      // categories
    QTreeWidget *ListView1;    // actions of the category not yet on the list
    QComboBox *ComboBox2;      // bars or menus
    QTreeWidget *ListView2;    // the entries
    TActionListEditor Editor;

    void actAddExecute();
    void actDeleteExecute();
    void actAddSeparatorExecute();
    void actMoveUpExecute();
    void actMoveDownExecute();
    void Button1Click();   // OK

protected:
    // title: caption and header; listLabel / entryLabel: the labels of ComboBox2 and ListView2.
    TCustomActionListDialog(const TActionListEditor &editor, const QString &fileName, const QString &title,
                            const QString &listLabel, const QString &entryLabel, QWidget *parent);

private:
    QString fileName;

    int CurrentList() const;
    QList<int> SelectedRows(const QTreeWidget *view) const;
    void FillActions();
    void FillEntries(const QList<int> &selected = {});
    void Move(int delta);
};
