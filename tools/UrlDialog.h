#pragma once
// TUrlDialog ("URLを開く"): asks how to open a URL: in the program, in the outside browser, or as a
// quick look in the preview browser. Each of the three buttons sets its result flag, stores the
// browser-crasher check box in the configuration (URL CHECKBROCRA) and closes with OK.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

class TUrlDialog : public QDialog {
    Q_OBJECT
public:
    explicit TUrlDialog(QWidget *parent = nullptr);

    void SetURL(const QString &url);
    QString GetURL() const;
    bool GetCrasherCheck() const;
    bool GetActivateTab() const;
    // With true, unchecks and disables the browser-crasher check box.
    void SetNoCrasherCheck(bool on);

    // Which button closed the dialog.
    bool OpenInVarnelo = false;
    bool OpenInBrowser = false;
    bool QuickLook = false;
    bool NoCrasherCheck = false;

    QLineEdit *UrlEdit = nullptr;
    QCheckBox *CrasherCheck = nullptr;   // "ブラクラチェックを行う(&X)"
    QCheckBox *ActivateTab = nullptr;    // "タブをアクティブにする(&A)"
    QPushButton *VarneloButton = nullptr;
    QPushButton *BrowserButton = nullptr;
    QPushButton *QuickLookButton = nullptr;
    QPushButton *CancelButton = nullptr;

private:
    // Sets one result flag, stores the check box and closes with OK.
    void Choose(bool &flag);
};
