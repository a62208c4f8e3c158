#include "settings/ShortcutEditor.h"

#include "controls/Dialogs.h"
#include "controls/DragDrop.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "settings/PropertyWindow.h"
#include "settings/ShortcutItemDelegate.h"

#include <QAction>
#include <QColorDialog>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString TextFilter = QStringLiteral("テキストファイル (*.txt);;すべてのファイル (*)");
const QString BitmapFilter = QStringLiteral("ビットマップ (*.bmp);;すべてのファイル (*)");

}  // namespace

const QString TShortcutEditor::TabMime = QStringLiteral("application/x-varnelo-shortcut-tab");
const QString TShortcutEditor::ItemsMime = QStringLiteral("application/x-varnelo-shortcut-items");

TShortcutEditor::TShortcutEditor(const QString &fileName, QWidget *parent) : QDialog(parent), fileName(fileName)
{
    setWindowTitle(QStringLiteral("ショートカットバーの編集"));
    Editing.Load(fileName);
    ListBox1 = new QListWidget(this);
    ListBox2 = new QTreeWidget(this);
    ListBox2->setRootIsDecorated(false);
    ListBox2->setHeaderLabels({QStringLiteral("テキスト"), QStringLiteral("種類"), QStringLiteral("パラメータ１"),
                               QStringLiteral("パラメータ２"), QStringLiteral("パラメータ３")});
    ListBox2->setItemDelegate(new TShortcutItemDelegate(ListBox2));
    ListBox2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    HeaderControl1 = ListBox2->header();
    connect(ListBox1, &QListWidget::currentRowChanged, this, &TShortcutEditor::FillItems);
    connect(ListBox2, &QTreeWidget::itemDoubleClicked, this, &TShortcutEditor::actPropertyExecute);
    for (QAbstractItemView *list : {static_cast<QAbstractItemView *>(ListBox1), static_cast<QAbstractItemView *>(ListBox2)}) {
        list->viewport()->setAcceptDrops(true);
        list->viewport()->installEventFilter(this);
    }
    QMenuBar *menus = BuildCommands();

    auto *tabs = new QVBoxLayout;
    tabs->addWidget(new QLabel(QStringLiteral("タブ"), this));
    tabs->addWidget(ListBox1, 1);
    auto *body = new QHBoxLayout;
    body->addLayout(tabs, 1);
    body->addWidget(ListBox2, 3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->setMenuBar(menus);
    FillTabs(0);
    resize(720, 420);
}

QMenuBar *TShortcutEditor::BuildCommands()
{
    auto *menus = new QMenuBar(this);
    QMenu *file = menus->addMenu(QStringLiteral("ファイル(&F)"));
    QMenu *edit = menus->addMenu(QStringLiteral("編集(&E)"));
    auto command = [this](QMenu *menu, const char *name, const QString &caption, void (TShortcutEditor::*execute)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, execute);
        return action;
    };
    command(file, "actSave", QStringLiteral("保存(&S)"), &TShortcutEditor::actSaveExecute);
    command(file, "actSaveAs", QStringLiteral("バックアップ用に別名で保存(&A)..."), &TShortcutEditor::actSaveAsExecute);
    command(file, "actOpen", QStringLiteral("ファイルから読み込む(&O)..."), &TShortcutEditor::actOpenExecute);
    ListBox1->setContextMenuPolicy(Qt::ActionsContextMenu);
    ListBox1->addActions({command(edit, "actNewTab", QStringLiteral("新規タブ(&N)..."), &TShortcutEditor::actNewTabExecute),
                          command(edit, "actRenameTab", QStringLiteral("タブの名前変更(&R)..."), &TShortcutEditor::actRenameTabExecute),
                          command(edit, "actDeleteTab", QStringLiteral("タブの削除"), &TShortcutEditor::actDeleteTabExecute),
                          command(edit, "actChangeTabColor", QStringLiteral("タブの色変更(&C)..."), &TShortcutEditor::actChangeTabColorExecute),
                          command(edit, "actTabImage", QStringLiteral("タブの画像を変更(&I)..."), &TShortcutEditor::actTabImageExecute)});
    edit->addSeparator();
    QAction *property = command(edit, "actProperty", QStringLiteral("プロパティ(&P)..."), &TShortcutEditor::actPropertyExecute);
    property->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    ListBox2->setContextMenuPolicy(Qt::ActionsContextMenu);
    ListBox2->addActions({command(edit, "actRenameShortcut", QStringLiteral("名前変更(&R)..."), &TShortcutEditor::actRenameShortcutExecute),
                          command(edit, "actDeleteShortcut", QStringLiteral("ショートカットの削除(&D)"), &TShortcutEditor::actDeleteShortcutExecute),
                          command(edit, "actAddSeparator", QStringLiteral("区切り線の追加(&P)"), &TShortcutEditor::actAddSeparatorExecute),
                          property});
    return menus;
}

void TShortcutEditor::FillTabs(int selected)
{
    ListBox1->clear();
    for (const auto &tab : Editing.Tabs) {
        auto *row = new QListWidgetItem(QIcon(tab->Bitmap), tab->Name, ListBox1);
        row->setBackground(QColor::fromRgba(ColorToQColor(tab->Color)));
    }
    ListBox1->setCurrentRow(std::min(selected, ListBox1->count() - 1));
    FillItems();
}

void TShortcutEditor::FillItems()
{
    ListBox2->clear();
    const int tab = ListBox1->currentRow();
    if (tab < 0 || tab >= int(Editing.Tabs.size()))
        return;
    for (int i = 0; i < Editing.Tabs[tab]->GetCount(); ++i) {
        const TShortcutData *item = Editing.Tabs[tab]->GetItem(i);
        auto *row = new QTreeWidgetItem(ListBox2, {item->Text, ShortcutKindName(item->Kind), item->Param1, item->Param2,
                                                   item->Param3});
        row->setData(0, TShortcutItemDelegate::SeparatorRole, item->IsSeparator());
        row->setFirstColumnSpanned(item->IsSeparator());
    }
}

void TShortcutEditor::SelectItem(int row)
{
    ListBox2->clearSelection();
    if (QTreeWidgetItem *item = ListBox2->topLevelItem(row)) {
        ListBox2->setCurrentItem(item);
        item->setSelected(true);
    }
}

QList<int> TShortcutEditor::SelectedItems() const
{
    QList<int> rows;
    for (int row = 0; row < ListBox2->topLevelItemCount(); ++row) {
        if (ListBox2->topLevelItem(row)->isSelected())
            rows << row;
    }
    return rows;
}

bool TShortcutEditor::AskText(const QString &title, const QString &prompt, QString &text)
{
    QInputDialog dialog(this);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(text);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return false;
    text = dialog.textValue();
    return true;
}

bool TShortcutEditor::AskTabName(const QString &title, int except, QString &name)
{
    while (AskText(title, QStringLiteral("タブの名前"), name)) {
        const QString problem = Editing.CheckTabName(name, except);
        if (problem.isEmpty())
            return true;
        Dialogs::ShowMessage(Dialogs::mkWarning, problem);
    }
    return false;
}

void TShortcutEditor::actNewTabExecute()
{
    QString name = QStringLiteral("新規タブ");
    if (AskTabName(QStringLiteral("新規タブ"), -1, name))
        FillTabs(Editing.NewTab(ListBox1->currentRow(), name));
}

void TShortcutEditor::actRenameTabExecute()
{
    const int tab = ListBox1->currentRow();
    if (tab < 0)
        return;
    QString name = Editing.Tabs[tab]->Name;
    if (!AskTabName(QStringLiteral("タブの名前変更"), tab, name))
        return;
    Editing.RenameTab(tab, name);
    FillTabs(tab);
}

void TShortcutEditor::actDeleteTabExecute()
{
    const int tab = ListBox1->currentRow();
    if (tab < 0)
        return;
    Editing.DeleteTab(tab);
    FillTabs(std::max(tab - 1, 0));
}

void TShortcutEditor::actChangeTabColorExecute()
{
    const int tab = ListBox1->currentRow();
    if (tab < 0)
        return;
    QColorDialog dialog(QColor::fromRgba(ColorToQColor(Editing.Tabs[tab]->Color)), this);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    const QColor chosen = dialog.currentColor();
    Editing.SetTabColor(tab, TColor(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16)));
    FillTabs(tab);
}

void TShortcutEditor::actTabImageExecute()
{
    const int tab = ListBox1->currentRow();
    if (tab < 0)
        return;
    const QString file = AskFile(QString(), BitmapFilter, false);
    if (!file.isEmpty() && Editing.SetTabImage(tab, file))
        FillTabs(tab);
}

void TShortcutEditor::actRenameShortcutExecute()
{
    const int tab = ListBox1->currentRow();
    const int row = ListBox2->indexOfTopLevelItem(ListBox2->currentItem());
    if (tab < 0 || row < 0)
        return;
    if (Editing.Tabs[tab]->GetItem(row)->IsSeparator()) {
        Dialogs::ShowMessage(Dialogs::mkWarning, Editing.RenameItem(tab, row, QString()));
        return;
    }
    QString text = Editing.Tabs[tab]->GetItem(row)->Text;
    if (!AskText(QStringLiteral("名前変更"), QStringLiteral("ショートカットの名前"), text))
        return;
    Editing.RenameItem(tab, row, text);
    FillItems();
    SelectItem(row);
}

void TShortcutEditor::actDeleteShortcutExecute()
{
    const int tab = ListBox1->currentRow();
    if (tab < 0)
        return;
    Editing.DeleteItems(tab, SelectedItems());
    FillItems();
}

void TShortcutEditor::actAddSeparatorExecute()
{
    const int tab = ListBox1->currentRow();
    if (tab < 0)
        return;
    const int row = ListBox2->indexOfTopLevelItem(ListBox2->currentItem());
    Editing.AddSeparator(tab, row);
    FillItems();
    SelectItem(std::max(row, 0));
}

// A board item names its board and site, a thread item its key, board and site; other kinds,
// separators and items whose board is gone have no properties (false).
bool TShortcutEditor::ShowsProperty(TPropertyWindow &window, const TShortcutData &item)
{
    if (item.Kind == skBoard) {
        const TSite *site = TavuEnviron->SiteList()->FindBySiteID(item.Param2);
        const TBoard *board = site ? site->Boards->FindByID(item.Param1) : nullptr;
        if (board)
            window.SetBoard(board);
        return board;
    }
    if (item.Kind != skThread)
        return false;
    auto *thread = new TThreadItem;
    const bool found = thread->SetLocation(item.Param3, item.Param2, item.Param1, item.Text);
    if (found) {
        thread->LoadInfo();
        window.SetThreadItem(thread);   // the window holds it from here
    }
    thread->Release();
    return found;
}

void TShortcutEditor::actPropertyExecute()
{
    const int tab = ListBox1->currentRow();
    const int row = ListBox2->indexOfTopLevelItem(ListBox2->currentItem());
    if (tab < 0 || row < 0)
        return;
    TPropertyWindow window(this);
    if (!ShowsProperty(window, *Editing.Tabs[tab]->GetItem(row)))
        return;
    // OK may rewrite shortcut.txt itself (a thread taken off the bar or put on it): the file is
    // brought up to date first and read back afterwards, so that neither side's change is lost.
    const bool modified = Editing.Modified;
    Editing.SaveTo(fileName);
    Dialogs::ExecDialog(window);
    Editing.Load(fileName);
    Editing.Modified = modified;
    FillTabs(tab);
}

void TShortcutEditor::actSaveExecute()
{
    if (Editing.Modified)
        Editing.SaveTo(fileName);
}

QString TShortcutEditor::AskFile(const QString &title, const QString &filter, bool save)
{
    QFileDialog dialog(this, title, save ? QString() : TTavuConfig::AppDir(), filter);
    if (filter == TextFilter)
        dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

void TShortcutEditor::actSaveAsExecute()
{
    const QString file = AskFile(QStringLiteral("バックアップ用に名前を付けて保存"), TextFilter, true);
    if (!file.isEmpty())
        ShortcutData::SaveShortcutBarModel(Editing.Tabs, file);
}

void TShortcutEditor::actOpenExecute()
{
    const QString file = AskFile(QStringLiteral("ファイルから読み込む"), TextFilter, false);
    if (file.isEmpty())
        return;
    Editing.Load(file);
    Editing.Modified = true;
    FillTabs(0);
}

void TShortcutEditor::done(int result)
{
    Editing.SaveTo(fileName);
    QDialog::done(result);
}

// ---- drag and drop ----

QString TShortcutEditor::DragFormat(QObject *viewport) const
{
    return viewport == ListBox1->viewport() ? TabMime : ItemsMime;
}

void TShortcutEditor::StartDrag(QAbstractItemView *list, const QString &format)
{
    DragDrop::Run(list, format, Qt::MoveAction);
}

bool TShortcutEditor::HandleDrop(QObject *viewport, QDropEvent *event)
{
    const QPoint at = event->position().toPoint();
    const int tab = ListBox1->currentRow();
    if (tab < 0)
        return false;
    if (viewport == ListBox1->viewport()) {
        const int target = ListBox1->row(ListBox1->itemAt(at));
        if (event->mimeData()->hasFormat(TabMime)) {
            FillTabs(Editing.MoveTab(tab, target));
        } else if (event->mimeData()->hasFormat(ItemsMime) && target >= 0) {
            if (target != tab) {
                Editing.MoveItemsToTab(tab, SelectedItems(), target);
                FillItems();
            }
        } else {
            return false;
        }
    } else if (event->mimeData()->hasFormat(ItemsMime)) {
        const QList<int> rows = SelectedItems();
        const int first = Editing.MoveItems(tab, rows, ListBox2->indexOfTopLevelItem(ListBox2->itemAt(at)));
        FillItems();
        for (int row = first; row >= 0 && row < first + rows.size(); ++row)
            ListBox2->topLevelItem(row)->setSelected(true);
    } else {
        return false;
    }
    event->acceptProposedAction();
    return true;
}

bool TShortcutEditor::IsMoveFromItem(const QAbstractItemView *list, const QEvent *event) const
{
    return event->type() == QEvent::MouseMove && (static_cast<const QMouseEvent *>(event)->buttons() & Qt::LeftButton)
           && list->indexAt(dragStart.PressedAt()).isValid();
}

bool TShortcutEditor::eventFilter(QObject *watched, QEvent *event)
{
    auto *list = watched == ListBox1->viewport()   ? static_cast<QAbstractItemView *>(ListBox1)
                 : watched == ListBox2->viewport() ? static_cast<QAbstractItemView *>(ListBox2)
                                                   : nullptr;
    if (!list)
        return QDialog::eventFilter(watched, event);
    if (IsMoveFromItem(list, event)) {
        // The list does not see the mouse move from a pressed item, so that it selects no
        // neighbour on the way: the item alone is dragged once the move is long enough.
        if (dragStart.Begins(event))
            StartDrag(list, DragFormat(watched));
        return true;
    }
    dragStart.Begins(event);   // remembers where the button went down
    const auto accepts = [&](const QMimeData &data) {
        return data.hasFormat(TabMime) ? watched == ListBox1->viewport() : data.hasFormat(ItemsMime);
    };
    return DragDrop::FilterTargetEvent(event, accepts, [&](QDropEvent *drop) { return HandleDrop(watched, drop); })
           || QDialog::eventFilter(watched, event);
}
