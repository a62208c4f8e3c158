#pragma once
// TColumnDialog ("カラム編集ダイアログ"): the order of the thread list's columns (column.txt).
// "上へ" / "下へ" move the selected rows; "OK" writes the file.

#include "services/ColumnList.h"

#include <QDialog>

class QListWidget;

class TColumnDialog : public QDialog {
    Q_OBJECT
public:
    explicit TColumnDialog(const QString &fileName, QWidget *parent = nullptr);

    QListWidget *ListBox1;
    TColumnList Columns;

    void Button3Click();   // 上へ
    void Button4Click();   // 下へ
    void Button1Click();   // OK

private:
    void ShowRows(const QList<int> &selected);
    QList<int> SelectedRows() const;
};
