#pragma once
// TNGWordDialog ("NGワードの一括登録"): many NG words at once. Each line of the memo becomes a post
// rule that hides posts containing it on every board (see RuleEditing::MakeBatchRules).

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class TNGWordDialog : public QDialog {
    Q_OBJECT
public:
    explicit TNGWordDialog(QWidget *parent = nullptr);

    QPlainTextEdit *Memo = nullptr;
    QCheckBox *PopupHideCheck = nullptr;   // ">>n ポップアップでも非表示"
    QCheckBox *ChainCheck = nullptr;       // "連鎖消去"
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;   // "キャンセル(&C)"
};
