#pragma once
// TBBSSetupDialog ("BBSの取り込み"): installs a site definition published on the web. From a base URL
// it fetches the site folder's files into config/site/<name>/ of the program and shows the site's
// identity; on OK the caller registers the site named by SiteName.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;

class TBBSSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit TBBSSetupDialog(QWidget *parent = nullptr);

    QString SiteName;   // the folder installed; empty until the files were fetched

    void Button1Click();   // back
    void Button2Click();   // next / finish
    int PageIndex() const;

    QStackedWidget *Pages = nullptr;   // TabSheet1 .. TabSheet4
    QLineEdit *Edit1 = nullptr;        // "URL"
    QLabel *Label6 = nullptr;          // the file being fetched
    QProgressBar *ProgressBar1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *Button1 = nullptr;    // "< 戻る(&B)"
    QPushButton *Button2 = nullptr;    // "次へ >" / "完了"
    QPushButton *Button3 = nullptr;    // "キャンセル"

private:
    void BuildForm();
    void Install();
};
