#include "settings/SiteFolderDialog.h"

#include "controls/BoardTree.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>

namespace SiteFolderDialog {

void FillSiteFolderTree(QTreeWidget *tree, TSite *site)
{
    if (site)
        BoardTree::FillBoardTree(tree, site);
    else
        tree->clear();
    tree->expandAll();
}

QString ThreadsTitle(const TThreadItemList &items)
{
    if (items.Count() == 0)
        return QString();
    return items.Get(0)->ShownTitle() + (items.Count() > 1 ? QStringLiteral("...") : QString());
}

QHBoxLayout *AddOkCancelRow(QDialog *dialog, QBoxLayout *layout, QPushButton *&ok, QPushButton *&cancel)
{
    auto *row = new QHBoxLayout;
    ok = new QPushButton(QStringLiteral("OK"), dialog);
    cancel = new QPushButton(QStringLiteral("キャンセル"), dialog);
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return row;
}

}  // namespace SiteFolderDialog
