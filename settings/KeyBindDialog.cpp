#include "settings/KeyBindDialog.h"

#include "core/TavuConfig.h"
#include "tools/SendDialog.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>
#include <QPixmap>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Rows without a picture keep its room, so that every caption starts at the same place, and the
// first column is as wide as its longest caption.
void KeepCaptionsInLine(QTreeWidget *list)
{
    const int side = list->style()->pixelMetric(QStyle::PM_SmallIconSize);
    QPixmap blank(side, side);
    blank.fill(Qt::transparent);
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = list->topLevelItem(i);
        if (row->icon(0).isNull())
            row->setIcon(0, QIcon(blank));
    }
    list->resizeColumnToContents(0);
}

}  // namespace

TKeyBindDialog::TKeyBindDialog(const QList<QAction *> &windowActions, QWidget *parent)
    : QDialog(parent), composer(new TSendDialog(this))
{
    setWindowTitle(QStringLiteral("キーバインド設定"));
    composer->hide();
    Bindings.AddActions(QString(), windowActions);
    Bindings.AddActions(composer->FormName(), composer->ActionList1);

    ListView1 = new QTreeWidget(this);
    ListView1->setRootIsDecorated(false);
    ListView1->setHeaderLabels({QStringLiteral("操作"), QStringLiteral("キー")});
    ListView1->header()->resizeSection(0, 200);
    ListView1->header()->setStretchLastSection(true);
    for (int i = 0; i < Bindings.Count(); ++i) {
        auto *row = new QTreeWidgetItem(ListView1, {Bindings.Caption(i), TKeyBindings::KeyText(Bindings.Row(i).Key)});
        if (Bindings.Row(i).Form.isEmpty())
            row->setIcon(0, Bindings.Row(i).Action->icon());
    }
    KeepCaptionsInLine(ListView1);
    connect(ListView1, &QTreeWidget::currentItemChanged, this, &TKeyBindDialog::ListView1Change);

    HotKey1 = new QKeySequenceEdit(this);
    auto *BitBtn3 = new QPushButton(QStringLiteral("適用"), this);
    auto *BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    auto *BitBtn2 = new QPushButton(QStringLiteral("キャンセル"), this);
    connect(BitBtn3, &QPushButton::clicked, this, &TKeyBindDialog::BitBtn3Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TKeyBindDialog::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto *keyRow = new QHBoxLayout;
    keyRow->addWidget(new QLabel(QStringLiteral("割り当てるショートカットキー :"), this));
    keyRow->addWidget(HotKey1, 1);
    keyRow->addWidget(BitBtn3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("キーバインド (キー割り当て) のカスタマイズ"), this));
    layout->addWidget(ListView1, 1);
    layout->addLayout(keyRow);
    layout->addLayout(buttons);
    // Room for the longest caption and a key column beside it.
    const int keyColumn = fontMetrics().horizontalAdvance(QStringLiteral("Ctrl+Shift+PgDown")) + 24;
    resize(qMax(520, ListView1->columnWidth(0) + keyColumn + 60), 560);
}

TKeyBindDialog::~TKeyBindDialog() = default;

void TKeyBindDialog::ListView1Change()
{
    const int index = ListView1->indexOfTopLevelItem(ListView1->currentItem());
    const int key = index >= 0 ? Bindings.Row(index).Key : 0;
    HotKey1->setKeySequence(key ? QKeySequence(key) : QKeySequence());
}

void TKeyBindDialog::BitBtn3Click()
{
    const int index = ListView1->indexOfTopLevelItem(ListView1->currentItem());
    if (index < 0)
        return;
    const QKeySequence sequence = HotKey1->keySequence();
    const int key = sequence.isEmpty() ? 0 : sequence[0].toCombined();
    Bindings.Assign(index, key);
    ListView1->currentItem()->setText(1, TKeyBindings::KeyText(key));
    MarkConflicts(index);
}

void TKeyBindDialog::MarkConflicts(int index)
{
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        ListView1->topLevelItem(i)->setIcon(1, QIcon());
    const QIcon mark = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (int other : Bindings.Conflicts(index)) {
        QApplication::beep();
        ListView1->topLevelItem(other)->setIcon(1, mark);
        ListView1->topLevelItem(index)->setIcon(1, mark);
    }
}

bool TKeyBindDialog::ConflictMarked(int index) const
{
    return !ListView1->topLevelItem(index)->icon(1).isNull();
}

void TKeyBindDialog::BitBtn1Click()
{
    Bindings.Save(TavuConfig->Ini);
    accept();
}
