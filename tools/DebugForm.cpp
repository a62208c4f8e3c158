#include "tools/DebugForm.h"

#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"

#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const int ItemRole = Qt::UserRole;

}  // namespace

TDebugForm::TDebugForm(QWidget *parent) : QWidget(parent, Qt::Window), ListView1(new QTreeWidget)
{
    setWindowTitle(QStringLiteral("DebugForm"));
    ListView1->setHeaderLabels({QStringLiteral("DAT"), QStringLiteral("スレ名"), QStringLiteral("カウンタ")});
    ListView1->headerItem()->setTextAlignment(2, Qt::AlignRight);
    ListView1->setRootIsDecorated(false);
    auto *pages = new QTabWidget;
    pages->addTab(ListView1, QStringLiteral("RefCount"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pages);
}

TDebugForm::~TDebugForm()
{
    for (int row = 0; row < ListView1->topLevelItemCount(); ++row) {
        if (TThreadItem *item = RowItem(row))
            Unhook(item);
    }
}

void TDebugForm::SetItemList(const TThreadItemList &items)
{
    for (int i = 0; i < items.Count(); ++i) {
        TThreadItem *item = items.Get(i);
        NewRow(item, item->RefCount(), ListView1->topLevelItemCount());
        Hook(item);
    }
}

TThreadItem *TDebugForm::RowItem(int row) const
{
    return static_cast<TThreadItem *>(ListView1->topLevelItem(row)->data(0, ItemRole).value<void *>());
}

void TDebugForm::Hook(TThreadItem *item)
{
    item->OnAddRef = [this](TThreadItem *changed) { RowUpdate(changed, changed->RefCount()); };
    // Called before the reference goes: the row shows the count that remains.
    item->OnRelease = [this](TThreadItem *changed) { RowUpdate(changed, changed->RefCount() - 1); };
    item->OnChange = [this](TThreadItem *changed) { RowUpdate(changed, changed->RefCount()); };
}

void TDebugForm::Unhook(TThreadItem *item)
{
    item->OnAddRef = nullptr;
    item->OnRelease = nullptr;
    item->OnChange = nullptr;
}

void TDebugForm::RowUpdate(TThreadItem *item, int count)
{
    for (int row = 0; row < ListView1->topLevelItemCount(); ++row) {
        if (RowItem(row) != item)
            continue;
        delete ListView1->takeTopLevelItem(row);
        NewRow(item, count, 0);
        ListView1->viewport()->update();
        return;
    }
}

QTreeWidgetItem *TDebugForm::NewRow(TThreadItem *item, int count, int at)
{
    auto *row = new QTreeWidgetItem({item->GetKey(), item->ShownTitle(), QString::number(count)});
    row->setTextAlignment(2, Qt::AlignRight);
    row->setData(0, ItemRole, QVariant::fromValue<void *>(count > 0 ? item : nullptr));
    ListView1->insertTopLevelItem(at, row);
    return row;
}
