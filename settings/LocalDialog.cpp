#include "settings/LocalDialog.h"

#include "controls/BoardTree.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "settings/SiteFolderDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TLocalDialog::TLocalDialog(QWidget *parent)
    : QDialog(parent),
      site(TavuEnviron ? TavuEnviron->LocalSite() : nullptr)
{
    setObjectName(QStringLiteral("LocalDialog"));
    setWindowTitle(QStringLiteral("ローカルフォルダへ移動"));
    auto *layout = new QVBoxLayout(this);
    Edit1 = new QLineEdit(this);
    Edit1->setReadOnly(true);
    layout->addWidget(Edit1);
    layout->addWidget(new QLabel(QStringLiteral("このスレッドはローカルフォルダに移動されます。"), this));
    TreeView1 = new QTreeWidget(this);
    TreeView1->setHeaderHidden(true);
    layout->addWidget(TreeView1, 1);

    Button3 = new QPushButton(QStringLiteral("新規フォルダ割り当て(&W)"), this);
    SiteFolderDialog::AddOkCancelRow(this, layout, Button1, Button2)->insertWidget(0, Button3);
    resize(400, 360);

    connect(Button1, &QPushButton::clicked, this, &TLocalDialog::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &TLocalDialog::Button3Click);
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, &TLocalDialog::UpdateButtons);
    FillTree();
}

void TLocalDialog::showEvent(QShowEvent *event)
{
    UpdateTitle();
    QDialog::showEvent(event);
}

void TLocalDialog::UpdateTitle()
{
    Edit1->setText(SiteFolderDialog::ThreadsTitle(Items));
}

TBoard *TLocalDialog::SelectedBoard() const
{
    return BoardTree::NodeBoard(TreeView1->currentItem());
}

void TLocalDialog::FillTree()
{
    SiteFolderDialog::FillSiteFolderTree(TreeView1, site);
    UpdateButtons();
}

void TLocalDialog::UpdateButtons()
{
    Button1->setEnabled(SelectedBoard() != nullptr);
}

// The selected folder's category, or the selected category; with nothing selected the first
// category of the local site, and while the site has none its own name, so that the editor never
// comes up with an empty category it would refuse.
QString TLocalDialog::NewFolderCategory() const
{
    if (const TBoard *board = SelectedBoard())
        return board->Category;
    if (const QTreeWidgetItem *node = TreeView1->currentItem())
        return node->text(0);
    for (int i = 0; i < site->Boards->Count(); ++i) {
        if (!site->Boards->Get(i)->Category.isEmpty())
            return site->Boards->Get(i)->Category;
    }
    return site->NAME;
}

void TLocalDialog::Button3Click()
{
    if (!site)
        return;
    if (BoardTree::AddSiteBoard(site, NewFolderCategory(), QString(), QString()))
        FillTree();
}

void TLocalDialog::Button1Click()
{
    TBoard *target = SelectedBoard();
    if (!target)
        return;
    Moved.clear();
    const QString folder = target->GetLogDir();
    for (int i = 0; i < Items.Count(); ++i) {
        TThreadItem *item = Items.Get(i);
        if (item->LogExists() && item->MoveToLocalFolder(folder))
            Moved.append(item);
    }
    accept();
}
