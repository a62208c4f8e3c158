#pragma once
// TToolDialog ("ツールオプション"): the external tools of tool.txt. Adding and editing go through
// TToolEditDialog; closing the dialog, by any way, writes the whole list.

#include "services/ToolList.h"

#include <QDialog>

class QListWidget;
class QPushButton;
class QToolButton;

class TToolDialog : public QDialog {
    Q_OBJECT
public:
    explicit TToolDialog(const QString &fileName, QWidget *parent = nullptr);

    QListWidget *ListBox1;
    QPushButton *Button1;   // 追加(&A)...
    QPushButton *Button2;   // 削除(&D)
    QPushButton *Button3;   // 編集(&E)...
    QToolButton *SpeedButton1;   // up
    QToolButton *SpeedButton2;   // down
    TToolList Tools;

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void MoveClick(int delta);
    void done(int result) override;   // every way of closing saves

private:
    void UpdateButtons();
};
