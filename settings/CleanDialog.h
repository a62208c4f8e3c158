#pragma once
// TCleanDialog ("履歴消去"): deletes the ticked history files of the profile folder after asking.

#include <QDialog>

class QTreeWidget;

class TCleanDialog : public QDialog {
    Q_OBJECT
public:
    explicit TCleanDialog(QWidget *parent = nullptr);

    QTreeWidget *ListView1;   // "ログ内容", "ファイル名", "サイズ", with check boxes

    void SetAllChecked(bool checked);
    void OKButtonClick();
};
