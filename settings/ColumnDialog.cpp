#include "settings/ColumnDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TColumnDialog::TColumnDialog(const QString &fileName, QWidget *parent)
    : QDialog(parent), Columns(fileName)
{
    setWindowTitle(QStringLiteral("カラム編集ダイアログ"));
    ListBox1 = new QListWidget(this);
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto *up = new QPushButton(QStringLiteral("上へ"), this);
    auto *down = new QPushButton(QStringLiteral("下へ"), this);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    auto *cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    connect(up, &QPushButton::clicked, this, &TColumnDialog::Button3Click);
    connect(down, &QPushButton::clicked, this, &TColumnDialog::Button4Click);
    connect(ok, &QPushButton::clicked, this, &TColumnDialog::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *side = new QVBoxLayout;
    side->addWidget(up);
    side->addWidget(down);
    side->addStretch();
    side->addWidget(ok);
    side->addWidget(cancel);
    auto *body = new QHBoxLayout;
    body->addWidget(ListBox1, 1);
    body->addLayout(side);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("カラム設定"), this));
    layout->addLayout(body, 1);
    ShowRows({});
}

void TColumnDialog::ShowRows(const QList<int> &selected)
{
    ListBox1->clear();
    for (const QString &line : std::as_const(Columns.Lines))
        ListBox1->addItem(TColumnList::NameOf(line));
    for (int row : selected)
        ListBox1->item(row)->setSelected(true);
}

QList<int> TColumnDialog::SelectedRows() const
{
    QList<int> rows;
    for (int row = 0; row < ListBox1->count(); ++row) {
        if (ListBox1->item(row)->isSelected())
            rows << row;
    }
    return rows;
}

void TColumnDialog::Button3Click()
{
    ShowRows(Columns.MoveUp(SelectedRows()));
}

void TColumnDialog::Button4Click()
{
    ShowRows(Columns.MoveDown(SelectedRows()));
}

void TColumnDialog::Button1Click()
{
    Columns.Save();
    accept();
}
