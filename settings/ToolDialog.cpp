#include "settings/ToolDialog.h"

#include "controls/Dialogs.h"
#include "settings/ToolEditDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TToolDialog::TToolDialog(const QString &fileName, QWidget *parent)
    : QDialog(parent), Tools(fileName)
{
    setWindowTitle(QStringLiteral("ツールオプション"));
    ListBox1 = new QListWidget(this);
    ListBox1->addItems(Tools.Titles());
    connect(ListBox1, &QListWidget::itemClicked, this, &TToolDialog::UpdateButtons);
    Button1 = new QPushButton(QStringLiteral("追加(&A)..."), this);
    Button3 = new QPushButton(QStringLiteral("編集(&E)..."), this);
    Button2 = new QPushButton(QStringLiteral("削除(&D)"), this);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setArrowType(Qt::UpArrow);
    SpeedButton2 = new QToolButton(this);
    SpeedButton2->setArrowType(Qt::DownArrow);
    auto *close = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    connect(Button1, &QPushButton::clicked, this, &TToolDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TToolDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TToolDialog::Button3Click);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { MoveClick(-1); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { MoveClick(1); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    Button2->setEnabled(false);
    Button3->setEnabled(false);

    auto *side = new QVBoxLayout;
    side->addWidget(Button1);
    side->addWidget(Button3);
    side->addWidget(Button2);
    side->addWidget(SpeedButton1);
    side->addWidget(SpeedButton2);
    side->addStretch();
    side->addWidget(close);
    auto *body = new QHBoxLayout;
    auto *list = new QVBoxLayout;
    auto *listLabel = new QLabel(QStringLiteral("ツール(&T):"), this);
    listLabel->setBuddy(ListBox1);
    list->addWidget(listLabel);
    list->addWidget(ListBox1, 1);
    body->addLayout(list, 1);
    body->addLayout(side);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("外部ツールの登録"), this));
    layout->addLayout(body, 1);
}

void TToolDialog::UpdateButtons()
{
    const int count = ListBox1->count();
    Button2->setEnabled(count >= 1);
    Button3->setEnabled(count >= 1);
    SpeedButton1->setEnabled(count >= 2);
    SpeedButton2->setEnabled(count >= 2);
}

void TToolDialog::Button1Click()
{
    TToolEditDialog dialog(this);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    const TToolFields fields = dialog.Fields();
    Tools.Lines.append(fields.Line());
    ListBox1->addItem(fields.Title);
}

void TToolDialog::Button3Click()
{
    const int index = ListBox1->currentRow();
    if (index < 0)
        return;
    TToolEditDialog dialog(this);
    dialog.SetFields(TToolFields::FromLine(Tools.Lines[index]));
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    const TToolFields fields = dialog.Fields();
    Tools.Lines[index] = fields.Line();
    ListBox1->item(index)->setText(fields.Title);
}

void TToolDialog::Button2Click()
{
    const int index = ListBox1->currentRow();
    if (index < 0)
        return;
    Tools.Lines.removeAt(index);
    delete ListBox1->takeItem(index);
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
    UpdateButtons();
}

void TToolDialog::MoveClick(int delta)
{
    const int index = ListBox1->currentRow();
    if (!Tools.Move(index, delta))
        return;
    ListBox1->insertItem(index + delta, ListBox1->takeItem(index));
    ListBox1->setCurrentRow(index + delta);
}

void TToolDialog::done(int result)
{
    Tools.Save();
    QDialog::done(result);
}
