#pragma once
// TToolEditDialog ("ツールプロパティ"): one external tool. OK is refused while the title or the
// program is blank, the program is no file or a folder given is no folder.

#include "services/ToolList.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

class TToolEditDialog : public QDialog {
    Q_OBJECT
public:
    explicit TToolEditDialog(QWidget *parent = nullptr);

    QLineEdit *Edit1;   // タイトル (必須)
    QLineEdit *Edit2;   // プログラム (必須)
    QLineEdit *Edit3;   // 作業フォルダ
    QLineEdit *Edit4;   // 実行時引数
    QCheckBox *CheckBox1;

    TToolFields Fields() const;
    void SetFields(const TToolFields &fields);

    void SpeedButton1Click();   // browse for the program
    void Button1Click();        // OK
};
