#pragma once
// TBoardFindDialog ("検索"): asks for the text to look for in the board tree, with the history of
// search texts (findlog.txt of the profile, newest first), and whether to search from the first
// node or from the one after the selection.

#include <QDialog>

class QComboBox;
class QRadioButton;

class TBoardFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TBoardFindDialog(QWidget *parent = nullptr);

    QComboBox *ComboBox1;          // "検索文字列 :"
    QRadioButton *FromFirst;       // "最初から検索"
    QRadioButton *FindNextButton;  // "次を検索"

    QString GetFindText() const;
    bool GetFindNext() const;

    static QString HistoryFile();   // findlog.txt

    // "検索開始": a text that is not blank goes to the top of the history, which is saved.
    void Button1Click();
};
