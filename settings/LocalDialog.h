#pragma once
// TLocalDialog ("ローカルフォルダへ移動"): moves the logs of threads into a folder (board) of the local
// site. The caller adds the threads to Items and runs the dialog; OK moves each thread that has a
// log into the selected folder. "新規フォルダ割り当て(&W)" adds a folder to the local site through the
// board editor.

#include "core/ThreadItemList.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class TBoard;
class TSite;

class TLocalDialog : public QDialog {
    Q_OBJECT
public:
    explicit TLocalDialog(QWidget *parent = nullptr);

    // The threads to move; the dialog holds a reference to each while it lives.
    TThreadItemList Items;
    // The threads OK moved, in the order of Items.
    QList<TThreadItem *> Moved;

    // The title box: the first thread's title, followed by "..." when there are more.
    void UpdateTitle();
    // Moves the threads into the selected folder and closes with OK.
    void Button1Click();
    // Adds a folder to the local site through the board editor and refills the tree.
    void Button3Click();
    // The folder selected in the tree (nullptr for a category node or none).
    TBoard *SelectedBoard() const;

    QTreeWidget *TreeView1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *Button1 = nullptr;   // "OK"
    QPushButton *Button2 = nullptr;   // "キャンセル"
    QPushButton *Button3 = nullptr;   // "新規フォルダ割り当て(&W)"

protected:
    void showEvent(QShowEvent *event) override;

private:
    TSite *site = nullptr;   // the local site

    void FillTree();
    void UpdateButtons();
    // The category the new folder's editor starts with.
    QString NewFolderCategory() const;
};
