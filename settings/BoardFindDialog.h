#pragma once
// TBoardFindDialog ("検索"): asks for the text to look for in the board tree, with the search history
// of findlog.txt (newest first), and whether to start from the top or after the current node.

#include <QDialog>
#include <QStringList>

class QButtonGroup;
class QComboBox;
class QPushButton;

class TBoardFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TBoardFindDialog(QWidget *parent = nullptr);

    QString GetFindText() const;
    bool GetFindNext() const;
    // A non-blank text goes to the top of the history (kept once), which is written; then OK.
    void Button1Click();

    // The history with the text at its top and nowhere else.
    static QStringList PushHistory(QStringList history, const QString &text);

    QComboBox *ComboBox1 = nullptr;        // "検索文字列 :"
    QButtonGroup *RadioGroup1 = nullptr;   // "最初から検索" (0), "次を検索" (1)
    QPushButton *Button1 = nullptr;        // "検索開始"
    QPushButton *Button2 = nullptr;        // "キャンセル(&C)"
};
