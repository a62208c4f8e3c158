#include "settings/BoardFindDialog.h"

#include "core/Exceptions.h"
#include "core/TavuConfig.h"
#include "core/TextList.h"
#include "mainwindow/Dialogs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString HistoryFile()
{
    return TavuConfig->GetProfileDir() + QStringLiteral("findlog.txt");
}

}  // namespace

TBoardFindDialog::TBoardFindDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("検索"));
    ComboBox1 = new QComboBox;
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    TTextList history;
    history.LoadFromFile(HistoryFile());
    ComboBox1->addItems(history.Lines);
    ComboBox1->setCurrentText(QString());
    if (!TavuConfig->FINDDLGAUTOCOMPLETE)
        ComboBox1->setCompleter(nullptr);

    RadioGroup1 = new QButtonGroup(this);
    auto *where = new QGroupBox(QStringLiteral("検索開始位置"));
    auto *whereLayout = new QVBoxLayout(where);
    for (const char *caption : {"最初から検索", "次を検索"}) {
        auto *button = new QRadioButton(QString::fromUtf8(caption));
        RadioGroup1->addButton(button, RadioGroup1->buttons().size());
        whereLayout->addWidget(button);
    }
    RadioGroup1->button(0)->setChecked(true);

    Button1 = new QPushButton(QStringLiteral("検索開始"));
    Button2 = new QPushButton(QStringLiteral("キャンセル(&C)"));
    Button1->setDefault(true);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("検索文字列 :"), ComboBox1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(where);
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, &TBoardFindDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

QString TBoardFindDialog::GetFindText() const
{
    return ComboBox1->currentText();
}

bool TBoardFindDialog::GetFindNext() const
{
    return RadioGroup1->checkedId() == 1;
}

QStringList TBoardFindDialog::PushHistory(QStringList history, const QString &text)
{
    history.removeAll(text);
    history.prepend(text);
    return history;
}

void TBoardFindDialog::Button1Click()
{
    const QString text = GetFindText();
    if (!text.trimmed().isEmpty()) {
        QStringList history;
        for (int i = 0; i < ComboBox1->count(); ++i)
            history << ComboBox1->itemText(i);
        try {
            TTextList(PushHistory(history, text)).SaveToFile(HistoryFile());
        } catch (const EVarnelo &e) {
            Kpwfunc::ShowMessage(Kpwfunc::mkError, e.Message);
        }
        ComboBox1->setCurrentText(text);
    }
    accept();
}
