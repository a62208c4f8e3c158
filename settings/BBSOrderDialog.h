#pragma once
// TBBSOrderDialog ("BBSの表示順序"): orders the shown sites (bbs.txt) on the page "BBSリスト" and
// chooses, names and orders the buttons of the BBS toolbar (bbsbar.txt) on the page "BBSツールバー".
// OK writes both files and the two toolbar settings; the caller reloads the site list and the bar.

#include "services/BBSOrder.h"

#include <QDialog>

class QCheckBox;
class QListWidget;
class QPushButton;
class QTabWidget;

class TBBSOrderDialog : public QDialog {
    Q_OBJECT
public:
    explicit TBBSOrderDialog(QWidget *parent = nullptr);

    // The lists as shown (kept in step with the widgets).
    const TBBSOrder &Order() const { return order; }

    // Up (-1) and down (1) on the list of the page shown.
    void MoveSelected(int step);
    // "名前編集": asks for a new caption of the selected toolbar entry.
    void Button7Click();
    // OK: writes bbs.txt, bbsbar.txt and the toolbar settings, and closes with OK.
    void Button3Click();

    QTabWidget *PageControl1 = nullptr;
    QListWidget *ListBox1 = nullptr;        // the shown sites
    QPushButton *Button1 = nullptr;         // "上へ"
    QPushButton *Button2 = nullptr;         // "下へ"
    QListWidget *CheckListBox1 = nullptr;   // every site; ticked = has a toolbar button
    QPushButton *Button5 = nullptr;         // "上へ"
    QPushButton *Button6 = nullptr;         // "下へ"
    QPushButton *Button7 = nullptr;         // "名前編集"
    QCheckBox *CheckBox1 = nullptr;         // "イメージの表示"
    QCheckBox *CheckBox2 = nullptr;         // "BBSツールバーの表示"
    QPushButton *Button3 = nullptr;         // "&OK"
    QPushButton *Button4 = nullptr;         // "キャンセル(&C)"

private:
    TBBSOrder order;

    QWidget *CreateListPage();
    QWidget *CreateBarPage();
    void FillLists();
    void TakeTicks();
};
