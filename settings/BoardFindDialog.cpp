#include "settings/BoardFindDialog.h"

#include "controls/BarsAndMenus.h"
#include "core/Exceptions.h"
#include "core/TavuConfig.h"
#include "core/TextList.h"

#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TBoardFindDialog::TBoardFindDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("検索"));
    auto *layout = new QVBoxLayout(this);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    TTextList history;
    history.LoadFromFile(HistoryFile());
    ComboBox1->addItems(history.Lines);
    ComboBox1->setEditText(QString());
    if (!TavuConfig->FINDDLGAUTOCOMPLETE)
        ComboBox1->setCompleter(nullptr);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("検索文字列 :"), ComboBox1);
    layout->addLayout(form);

    auto *start = new QGroupBox(QStringLiteral("検索開始位置"), this);
    auto *startLayout = new QHBoxLayout(start);
    FromFirst = new QRadioButton(QStringLiteral("最初から検索"), start);
    FindNextButton = new QRadioButton(QStringLiteral("次を検索"), start);
    FromFirst->setChecked(true);
    startLayout->addWidget(FromFirst);
    startLayout->addWidget(FindNextButton);
    layout->addWidget(start);

    auto *buttons = new QHBoxLayout;
    auto *find = new QPushButton(QStringLiteral("検索開始"), this);
    auto *cancel = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    find->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(find);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(find, &QPushButton::clicked, this, &TBoardFindDialog::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TBoardFindDialog::HistoryFile()
{
    return TavuConfig->GetProfileDir() + QStringLiteral("findlog.txt");
}

QString TBoardFindDialog::GetFindText() const
{
    return ComboBox1->currentText();
}

bool TBoardFindDialog::GetFindNext() const
{
    return FindNextButton->isChecked();
}

void TBoardFindDialog::Button1Click()
{
    const QString text = GetFindText();
    if (!text.trimmed().isEmpty()) {
        TTextList history;
        history.LoadFromFile(HistoryFile());
        history.Lines.removeAll(text);
        history.Lines.prepend(text);
        try {
            history.SaveToFile(HistoryFile());
        } catch (const EVarnelo &e) {
            EventLog::AddLog(e.Message);
        }
    }
    accept();
}
