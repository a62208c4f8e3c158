#pragma once
// TBBSWizard ("BBS追加ウィザード"): registers one board of any message-board server in the user site
// ("その他のBBS"): its URL, name and category, the board type and charset, and the five URL templates
// the type will use (which "HTMLから取得" can move to the CGI folder the board's index page links
// to). The decisions live in BBSRegistration; on finishing, Result holds the new board.

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class TBBS;
class TBoard;

class TBBSWizard : public QDialog {
    Q_OBJECT
public:
    explicit TBBSWizard(QWidget *parent = nullptr);

    TBoard *Result = nullptr;   // the registered board; nullptr until the wizard finishes

    void Button1Click();   // back
    void Button2Click();   // next / finish
    void Button4Click();   // reads the CGI folder from the index page
    int PageIndex() const;
    TBBS *SelectedType() const;

    QStackedWidget *Pages = nullptr;   // TabSheet1 .. TabSheet5, TabFinal
    QLineEdit *Edit2 = nullptr;        // "掲示板のURL"
    QLineEdit *Edit1 = nullptr;        // "名前"
    QComboBox *ComboBox1 = nullptr;    // "カテゴリ"
    QListWidget *ListBox1 = nullptr;   // board types
    QComboBox *ComboBox2 = nullptr;    // "文字コード"
    QLineEdit *SubjectTxtUrl = nullptr;
    QLineEdit *DatUrl = nullptr;
    QLineEdit *ReadCgiUrl = nullptr;
    QLineEdit *SendCgiUrl = nullptr;
    QLineEdit *ThreadCgiUrl = nullptr;
    QPushButton *Button4 = nullptr;    // "HTMLから取得"
    QLabel *FinalNote = nullptr;       // the last page's note: the site and the category the board joins
    QPushButton *Button1 = nullptr;    // "< 前へ"
    QPushButton *Button2 = nullptr;    // "次へ >" / "完了"
    QPushButton *Button3 = nullptr;    // "キャンセル(&C)"

private:
    void BuildForm();
    void FillLists();
    bool ValidatePage();
    void EnterPage(int index);
    void PresetType();
    void UpdateNextButton();
    void FillTemplates();
    QList<QLineEdit *> TemplateFields() const;
    void SetControlsEnabled(bool enabled);
    void RegisterBoard();
};
