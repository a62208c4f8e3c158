#pragma once
// TKatjuBoardDialog ("2channel.brdの取り込み"): shows every board of a 2channel.brd file with the site
// that would own it (greyed when it is registered already) and adds the boards ticked to that site,
// or to the user site when no site claims them (KatjuBoardList does the work).

#include "services/KatjuBoardList.h"

#include <QDialog>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;

class TKatjuBoardDialog : public QDialog {
    Q_OBJECT
public:
    explicit TKatjuBoardDialog(QWidget *parent = nullptr);

    void SpeedButton1Click();               // "･･": chooses the file
    void Edit1Enter();                      // Enter in the path field: loads the path typed there
    void LoadBrdFile(const QString &path);
    void SetChecked(bool checked, bool selectedOnly);   // the four popup commands
    void BitBtn1Click();                    // OK: imports the ticked rows
    const QList<TKatjuBoard> &Boards() const { return boards; }

    QLineEdit *Edit1 = nullptr;
    QPushButton *SpeedButton1 = nullptr;
    QTreeWidget *ListView1 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *BitBtn1 = nullptr;   // "OK"
    QPushButton *BitBtn2 = nullptr;   // "キャンセル"

private:
    QList<TKatjuBoard> boards;

    void BuildForm();
    void FillList();
    void OpenBrdFile(const QString &path);   // shows, loads and remembers the file
};
