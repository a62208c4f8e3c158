#pragma once
// TBookmarkCategoryDialog ("しおりのカテゴリ", header "しおりの登録"): asks for the category of a
// bookmark that is set or changed. The list holds the categories of bookcate.txt; a click copies
// one into the text field. OK takes the text as the category and appends a new, non-empty one
// (compared ignoring case) to bookcate.txt.
//
// When a bookmark is set, the dialog also shows the response's text and asks for a memo.

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class TBookmarkCategoryDialog : public QDialog {
    Q_OBJECT
public:
    // categoryFile: bookcate.txt of the profile.
    explicit TBookmarkCategoryDialog(const QString &categoryFile, QWidget *parent = nullptr);

    // Shows the response's text and the memo field (with the memo given).
    void ShowRes(const QString &text, const QString &memo = QString());
    // The memo typed (empty while the memo field is not shown).
    QString Memo() const;

    // OK: the category is taken (and remembered in the file); the dialog closes with OK.
    void Button1Click();

    QListWidget *ListBox1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPlainTextEdit *ResText = nullptr;
    QLineEdit *MemoEdit = nullptr;
    QPushButton *Button1 = nullptr;   // "OK"
    QPushButton *Button2 = nullptr;   // "キャンセル"
    QString Category;                 // the category chosen on OK

private:
    QString categoryFile;
    QLabel *memoLabel = nullptr;
};
