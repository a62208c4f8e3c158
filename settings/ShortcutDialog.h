#pragma once
// TShortcutDialog ("ショートカットバーに登録"): puts the queued items (threads, boards, pages) into a
// tab of the shortcut bar (shortcut.txt), at its top or its end; tabs can be created, renamed,
// deleted and reordered on the way.

#include "controls/ShortcutData.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

class TShortcutDialog : public QDialog {
    Q_OBJECT
public:
    explicit TShortcutDialog(QWidget *parent = nullptr);

    // Queues one item; the caller queues the items before showing the dialog.
    void AddItem(quint8 kind, const QString &caption, const QString &param1, const QString &param2 = QString(),
                 const QString &param3 = QString());
    void FormShow();          // the first item's caption into Edit1
    void Button1Click();      // OK: the items into the selected tab, shortcut.txt written
    void Button3Click();      // a new tab
    void RenameClick();
    void DeleteClick();
    void MoveClick(int step);

    QListWidget *ListBox1 = nullptr;   // the tabs
    QLineEdit *Edit1 = nullptr;
    QToolButton *SpeedButton1 = nullptr;   // "先頭に追加"
    QToolButton *SpeedButton2 = nullptr;   // "末尾に追加"
    QPushButton *Button3 = nullptr;        // "新規タブ(&W)"
    QCheckBox *chkAddAfterEdit = nullptr;
    QPushButton *Button1 = nullptr;        // "OK"
    QPushButton *Button2 = nullptr;        // "キャンセル"

private:
    TShortcutBarModel model;
    std::vector<TShortcutData> queued;

    void BuildForm();
    void FillList();
    // Asks for a tab name until it is new and not empty; empty when cancelled.
    QString AskTabName(const QString &start, int ownIndex);
};
