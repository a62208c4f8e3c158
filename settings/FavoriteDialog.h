#pragma once
// TFavoriteDialog ("お気に入りに登録"): adds threads to a favorites folder, or a board or a web page
// to a category of the favorites site. The caller sets the mode and its data and runs the dialog;
// OK writes the folder file or board.dat. "新規フォルダ(&W)" adds a folder through the board editor.

#include "core/ThreadItemList.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;
class TBoard;
class TSite;

class TFavoriteDialog : public QDialog {
    Q_OBJECT
public:
    enum TFavoriteMode { fmThread, fmPage, fmBoard };

    explicit TFavoriteDialog(QWidget *parent = nullptr);

    TFavoriteMode Mode = fmThread;
    TThreadItemList Items;        // thread mode: the threads to add (the dialog holds a reference each)
    QString PageTitle;            // page mode
    QString PageUrl;
    const TBoard *Board = nullptr;   // board mode

    // Fills the name box and the label for the mode, and chooses the default folder when nothing is
    // chosen yet.
    void FormShow();
    // Adds and closes with OK; nothing while no suitable node is selected.
    void Button1Click();
    // Adds a folder to the favorites site through the board editor and refills the tree.
    void N1Click();

    QTreeWidget *TreeView1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QToolButton *SpeedButton1 = nullptr;   // "先頭に登録"
    QToolButton *SpeedButton2 = nullptr;   // "末尾に登録"
    QPushButton *Button1 = nullptr;        // "OK"
    QPushButton *Button2 = nullptr;        // "キャンセル"
    QPushButton *Button3 = nullptr;        // "新規フォルダ(&W)"
    QCheckBox *chkAddAfterEdit = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TSite *site = nullptr;   // the favorites site

    TBoard *SelectedFolder() const;
    QString SelectedCategory() const;
    void FillTree();
    void SelectDefaultFolder();
    void UpdateButtons();
    void AddThreads(const TBoard *folder);
    void AddEntry();
};
