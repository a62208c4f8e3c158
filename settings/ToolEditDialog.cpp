#include "settings/ToolEditDialog.h"

#include "controls/Dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TToolEditDialog::TToolEditDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("ツールプロパティ"));
    Edit1 = new QLineEdit(this);
    Edit2 = new QLineEdit(this);
    Edit3 = new QLineEdit(this);
    Edit4 = new QLineEdit(this);
    CheckBox1 = new QCheckBox(QStringLiteral("開いているスレッドのURLを引数に追加する"), this);
    auto *browse = new QToolButton(this);
    browse->setText(QStringLiteral("･･"));
    connect(browse, &QToolButton::clicked, this, &TToolEditDialog::SpeedButton1Click);
    auto *programRow = new QHBoxLayout;
    programRow->addWidget(Edit2, 1);
    programRow->addWidget(browse);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("タイトル (必須)"), Edit1);
    form->addRow(QStringLiteral("プログラム (必須)"), programRow);
    form->addRow(QStringLiteral("作業フォルダ"), Edit3);
    form->addRow(QStringLiteral("実行時引数"), Edit4);
    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    auto *cancel = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TToolEditDialog::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(CheckBox1);
    layout->addLayout(buttons);
}

TToolFields TToolEditDialog::Fields() const
{
    return {Edit1->text(), Edit2->text(), Edit3->text(), Edit4->text(), CheckBox1->isChecked()};
}

void TToolEditDialog::SetFields(const TToolFields &fields)
{
    Edit1->setText(fields.Title);
    Edit2->setText(fields.Program);
    Edit3->setText(fields.WorkDir);
    Edit4->setText(fields.Arguments);
    CheckBox1->setChecked(fields.AppendUrl);
}

void TToolEditDialog::SpeedButton1Click()
{
    QFileDialog dialog(this, QStringLiteral("プログラムを指定"), Edit2->text(),
                       QStringLiteral("プログラムファイル (*.exe);;すべてのファイル (*)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString file = dialog.selectedFiles().first();
    Edit2->setText(file);
    if (Edit1->text().isEmpty())
        Edit1->setText(QFileInfo(file).completeBaseName());
}

void TToolEditDialog::Button1Click()
{
    switch (TToolList::Check(Fields())) {
    case TToolList::feTitle:
        QApplication::beep();
        Edit1->setFocus();
        return;
    case TToolList::feProgram:
        QApplication::beep();
        Edit2->setFocus();
        return;
    case TToolList::feProgramMissing:
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("プログラムが見つかりませんでした。"));
        Edit2->setFocus();
        return;
    case TToolList::feFolderMissing:
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("フォルダが見つかりませんでした。"));
        Edit3->setFocus();
        return;
    case TToolList::feNone:
        accept();
    }
}
