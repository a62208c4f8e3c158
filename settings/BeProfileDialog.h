#pragma once
// TBeProfileDialog: the profile of the logged-in Be account. Showing it reads the profile page
// through the Be manager; OK sends the name and the introduction back.

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class THeaderFrame;
class TBe2chManager;

class TBeProfileDialog : public QDialog {
    Q_OBJECT
public:
    TBeProfileDialog(TBe2chManager &manager, QWidget *parent = nullptr);

    QLineEdit *PointsEdit;     // "残りモリタポ ：", read only
    QLineEdit *RankEdit;       // "評価 ：", read only
    QLineEdit *NameEdit;
    QPlainTextEdit *IntroMemo;

    void accept() override;

private:
    TBe2chManager &manager;
    THeaderFrame *HeaderFrame;
};
