#pragma once
// TRssWizard ("RSS 登録ウィザード"): registers a feed as a board of the rss site: its URL and charset,
// then a name and a category (the name and the description proposed by the feed, fetched once).
// The decisions live in RssRegistration; on finishing, Result holds the new board.

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class TBoard;

class TRssWizard : public QDialog {
    Q_OBJECT
public:
    explicit TRssWizard(QWidget *parent = nullptr);

    TBoard *Result = nullptr;

    void Button1Click();   // back
    void Button2Click();   // next / finish
    int PageIndex() const;
    int CharSet() const;   // 0 SJIS, 1 EUC, 2 UTF8

    QStackedWidget *Pages = nullptr;   // TabSheet2, TabSheet3, TabFinal
    QLineEdit *Edit2 = nullptr;        // "RSSのURL"
    QButtonGroup *RadioGroup1 = nullptr;   // "文字コード"
    QLineEdit *Edit1 = nullptr;        // "名前"
    QComboBox *ComboBox1 = nullptr;    // "カテゴリ"
    QPlainTextEdit *Memo1 = nullptr;   // the feed's description
    QLabel *FinalNote = nullptr;       // the last page's note: the category the feed joins
    QPushButton *Button1 = nullptr;    // "< 前へ"
    QPushButton *Button2 = nullptr;    // "次へ >" / "完了"
    QPushButton *Button3 = nullptr;    // "キャンセル(&C)"

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BuildForm();
    bool ValidatePage();
    void FetchFeed();
    void RegisterFeed();
};
