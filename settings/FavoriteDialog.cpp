#include "settings/FavoriteDialog.h"

#include "controls/BoardTree.h"
#include "controls/Dialogs.h"
#include "core/Board.h"
#include "core/Exceptions.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "services/FavoriteFolders.h"
#include "settings/SiteFolderDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

TFavoriteDialog::TFavoriteDialog(QWidget *parent)
    : QDialog(parent),
      site(TavuEnviron ? TavuEnviron->FavoritesSite() : nullptr)
{
    setObjectName(QStringLiteral("FavoriteDialog"));
    setWindowTitle(QStringLiteral("お気に入りに登録"));
    auto *layout = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Edit1 = new QLineEdit(this);
    layout->addWidget(Label1);
    layout->addWidget(Edit1);
    TreeView1 = new QTreeWidget(this);
    TreeView1->setHeaderHidden(true);
    layout->addWidget(TreeView1, 1);

    auto *place = new QHBoxLayout;
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setText(QStringLiteral("先頭に登録"));
    SpeedButton2 = new QToolButton(this);
    SpeedButton2->setText(QStringLiteral("末尾に登録"));
    auto *group = new QButtonGroup(this);
    for (QToolButton *button : {SpeedButton1, SpeedButton2}) {
        button->setCheckable(true);
        group->addButton(button);
        place->addWidget(button);
    }
    SpeedButton1->setChecked(true);
    place->addStretch(1);
    Button3 = new QPushButton(QStringLiteral("新規フォルダ(&W)"), this);
    place->addWidget(Button3);
    layout->addLayout(place);

    chkAddAfterEdit = new QCheckBox(QStringLiteral("登録後に、編集ウィンドウを表示する(&V)"), this);
    chkAddAfterEdit->setChecked(TavuConfig && TavuConfig->FAVADDEDIT);
    layout->addWidget(chkAddAfterEdit);
    SiteFolderDialog::AddOkCancelRow(this, layout, Button1, Button2);
    resize(380, 420);

    connect(Button1, &QPushButton::clicked, this, &TFavoriteDialog::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &TFavoriteDialog::N1Click);
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, &TFavoriteDialog::UpdateButtons);
    FillTree();
}

void TFavoriteDialog::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TFavoriteDialog::FormShow()
{
    switch (Mode) {
    case fmThread:
        Edit1->setText(SiteFolderDialog::ThreadsTitle(Items));
        Label1->setText(QStringLiteral("このスレッドがお気に入りに登録されます。"));
        break;
    case fmPage:
        Edit1->setText(PageTitle);
        Label1->setText(QStringLiteral("このページがお気に入りに登録されます。"));
        break;
    case fmBoard:
        Edit1->setText(Board ? Board->Name : QString());
        Label1->setText(QStringLiteral("この板がお気に入りに登録されます。"));
        break;
    }
    Edit1->setReadOnly(Mode != fmPage);
    if (!TreeView1->currentItem())
        SelectDefaultFolder();
    UpdateButtons();
}

// The default folder (the first folder when there is none) is chosen to begin with, so that OK at once
// adds there: the folder itself for threads, its category for pages and boards.
void TFavoriteDialog::SelectDefaultFolder()
{
    const TBoard *folder = BoardTree::FindDefaultFavorites();
    for (QTreeWidgetItemIterator it(TreeView1); *it && !folder; ++it) {
        const TBoard *board = BoardTree::NodeBoard(*it);
        if (board && board->Kind == TBoard::KIND_FAVORITES)
            folder = board;
    }
    for (QTreeWidgetItemIterator it(TreeView1); *it && folder; ++it) {
        if (BoardTree::NodeBoard(*it) == folder) {
            TreeView1->setCurrentItem(Mode == fmThread || !(*it)->parent() ? *it : (*it)->parent());
            return;
        }
    }
}

TBoard *TFavoriteDialog::SelectedFolder() const
{
    TBoard *board = BoardTree::NodeBoard(TreeView1->currentItem());
    return board && board->Kind == TBoard::KIND_FAVORITES ? board : nullptr;
}

// The text of the selected category node; empty when a board or nothing is selected.
QString TFavoriteDialog::SelectedCategory() const
{
    const QTreeWidgetItem *node = TreeView1->currentItem();
    return node && !BoardTree::NodeBoard(node) ? node->text(0) : QString();
}

void TFavoriteDialog::FillTree()
{
    SiteFolderDialog::FillSiteFolderTree(TreeView1, site);
    UpdateButtons();
}

void TFavoriteDialog::UpdateButtons()
{
    const bool entryReady = !SelectedCategory().isEmpty() && (Mode == fmPage || Board != nullptr);
    Button1->setEnabled(Mode == fmThread ? SelectedFolder() != nullptr : entryReady);
}

void TFavoriteDialog::N1Click()
{
    if (!site)
        return;
    QString category = SelectedCategory();
    if (const TBoard *board = BoardTree::NodeBoard(TreeView1->currentItem()))
        category = board->Category;
    if (BoardTree::AddSiteBoard(site, category, QString(), QString()))
        FillTree();
}

void TFavoriteDialog::Button1Click()
{
    if (!Button1->isEnabled())
        return;
    try {
        if (Mode == fmThread)
            AddThreads(SelectedFolder());
        else
            AddEntry();
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return;
    }
    TavuConfig->FAVADDEDIT = chkAddAfterEdit->isChecked();
    accept();
}

void TFavoriteDialog::AddThreads(const TBoard *folder)
{
    QList<TThreadItem *> items;
    for (int i = 0; i < Items.Count(); ++i)
        items << Items.Get(i);
    FavoriteFolders::AddThreads(folder, items, SpeedButton2->isChecked());
}

void TFavoriteDialog::AddEntry()
{
    const QString line = Mode == fmPage
                             ? FavoriteFolders::PageEntryLine(PageUrl, FavoriteFolders::TakePageId(site), Edit1->text())
                             : FavoriteFolders::BoardEntryLine(Board);
    FavoriteFolders::AddEntry(site, SelectedCategory(), line, SpeedButton2->isChecked());
}
