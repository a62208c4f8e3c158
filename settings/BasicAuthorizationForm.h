#pragma once
// TBasicAuthorizationForm ("ベーシック認証設定"): the Basic credentials of each board. Choose a
// site and a board, type the user id and password, and "適用" stores them.

#include <QDialog>

class QComboBox;
class QLineEdit;
class QTreeWidget;
class TSite;

class TBasicAuthorizationForm : public QDialog {
    Q_OBJECT
public:
    explicit TBasicAuthorizationForm(QWidget *parent = nullptr);

    QComboBox *SiteBox;
    QTreeWidget *BoardList;   // "板", "ID", "ユーザ名"
    QLineEdit *UserEdit;      // ユーザＩＤ
    QLineEdit *PasswordEdit;  // パスワード

    void SiteChange();
    void BoardSelect();
    void ApplyClick();   // 適用
};
