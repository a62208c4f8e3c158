#include "settings/BBSOrderDialog.h"

#include "controls/Dialogs.h"
#include "core/Exceptions.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// A list with its up and down buttons in a column at its right.
QWidget *ListPage(QListWidget *list, const QList<QPushButton *> &buttons, QWidget *below = nullptr)
{
    auto *page = new QWidget;
    auto *layout = new QGridLayout(page);
    layout->addWidget(list, 0, 0, 2, 1);
    auto *column = new QVBoxLayout;
    for (QPushButton *button : buttons)
        column->addWidget(button);
    column->addStretch(1);
    layout->addLayout(column, 0, 1);
    if (below)
        layout->addWidget(below, 2, 0, 1, 2);
    return page;
}

}  // namespace

TBBSOrderDialog::TBBSOrderDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("BBSOrderDialog"));
    setWindowTitle(QStringLiteral("BBSの表示順序"));
    auto *layout = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->addTab(CreateListPage(), QStringLiteral("BBSリスト"));
    PageControl1->addTab(CreateBarPage(), QStringLiteral("BBSツールバー"));
    layout->addWidget(PageControl1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Button3 = new QPushButton(QStringLiteral("&OK"), this);
    Button4 = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    Button3->setDefault(true);
    buttons->addWidget(Button3);
    buttons->addWidget(Button4);
    layout->addLayout(buttons);
    resize(380, 420);

    connect(Button1, &QPushButton::clicked, this, [this] { MoveSelected(-1); });
    connect(Button2, &QPushButton::clicked, this, [this] { MoveSelected(1); });
    connect(Button5, &QPushButton::clicked, this, [this] { MoveSelected(-1); });
    connect(Button6, &QPushButton::clicked, this, [this] { MoveSelected(1); });
    connect(Button7, &QPushButton::clicked, this, &TBBSOrderDialog::Button7Click);
    connect(CheckListBox1, &QListWidget::itemDoubleClicked, this, &TBBSOrderDialog::Button7Click);
    connect(Button3, &QPushButton::clicked, this, &TBBSOrderDialog::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);

    if (TavuEnviron && TavuConfig)
        order.Load(TavuConfig->GetProfileDir(), *TavuEnviron->SiteList());
    FillLists();
    CheckBox1->setChecked(TavuConfig->BBSTOOLBARSHOWIMAGE);
    CheckBox2->setChecked(TavuConfig->SHOWBBSTOOLBAR);
    PageControl1->setCurrentIndex(0);
}

QWidget *TBBSOrderDialog::CreateListPage()
{
    ListBox1 = new QListWidget;
    Button1 = new QPushButton(QStringLiteral("上へ"));
    Button2 = new QPushButton(QStringLiteral("下へ"));
    return ListPage(ListBox1, {Button1, Button2});
}

QWidget *TBBSOrderDialog::CreateBarPage()
{
    CheckListBox1 = new QListWidget;
    Button5 = new QPushButton(QStringLiteral("上へ"));
    Button6 = new QPushButton(QStringLiteral("下へ"));
    Button7 = new QPushButton(QStringLiteral("名前編集"));
    auto *checks = new QWidget;
    auto *checkRow = new QVBoxLayout(checks);
    checkRow->setContentsMargins(0, 0, 0, 0);
    CheckBox1 = new QCheckBox(QStringLiteral("イメージの表示"));
    CheckBox2 = new QCheckBox(QStringLiteral("BBSツールバーの表示"));
    checkRow->addWidget(CheckBox1);
    checkRow->addWidget(CheckBox2);
    return ListPage(CheckListBox1, {Button5, Button6, Button7}, checks);
}

// Shows the lists of order in the two list widgets.
void TBBSOrderDialog::FillLists()
{
    ListBox1->clear();
    for (const TSite *site : std::as_const(order.Shown))
        ListBox1->addItem(site->NAME);
    CheckListBox1->clear();
    for (const TBBSOrder::TBarEntry &entry : std::as_const(order.Bar)) {
        auto *item = new QListWidgetItem(entry.Caption, CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.Ticked ? Qt::Checked : Qt::Unchecked);
    }
}

// The ticks the user set go back into the toolbar list.
void TBBSOrderDialog::TakeTicks()
{
    for (int i = 0; i < CheckListBox1->count() && i < order.Bar.size(); ++i)
        order.Bar[i].Ticked = CheckListBox1->item(i)->checkState() == Qt::Checked;
}

void TBBSOrderDialog::MoveSelected(int step)
{
    TakeTicks();
    const bool barPage = PageControl1->currentIndex() == 1;
    QListWidget *list = barPage ? CheckListBox1 : ListBox1;
    const int row = list->currentRow();
    if (row < 0)
        return;
    const int to = barPage ? TBBSOrder::MoveEntry(order.Bar, row, step) : TBBSOrder::MoveEntry(order.Shown, row, step);
    FillLists();
    list->setCurrentRow(to);
}

void TBBSOrderDialog::Button7Click()
{
    const int row = CheckListBox1->currentRow();
    if (row < 0 || row >= order.Bar.size())
        return;
    QInputDialog input(this);
    input.setWindowTitle(QStringLiteral("名前変更"));
    input.setLabelText(QStringLiteral("名前変更"));
    input.setTextValue(order.Bar[row].Caption);
    if (Dialogs::ExecDialog(input) != QDialog::Accepted)
        return;
    order.Bar[row].Caption = input.textValue();
    CheckListBox1->item(row)->setText(input.textValue());
}

void TBBSOrderDialog::Button3Click()
{
    TakeTicks();
    try {
        order.Save(TavuConfig->GetProfileDir());
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return;
    }
    TavuConfig->BBSTOOLBARSHOWIMAGE = CheckBox1->isChecked();
    TavuConfig->SHOWBBSTOOLBAR = CheckBox2->isChecked();
    accept();
}
