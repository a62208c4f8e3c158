#include "settings/ShortcutEditor.h"

#include "mainwindow/Dialogs.h"

#include <QAction>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>
#include <QListWidget>

TShortcutEditor::TShortcutEditor(const QString &fileName, QWidget *parent) : QDialog(parent), fileName(fileName)
{
    setWindowTitle(QStringLiteral("ショートカットバーの編集"));
    Editing.Load(fileName);
    ListBox1 = new QListWidget(this);
    ListBox2 = new QListWidget(this);
    ListBox2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(ListBox1, &QListWidget::currentRowChanged, this, &TShortcutEditor::FillItems);

    auto *menus = new QMenuBar(this);
    QMenu *file = menus->addMenu(QStringLiteral("ファイル(&F)"));
    QMenu *edit = menus->addMenu(QStringLiteral("編集(&E)"));
    auto command = [this](QMenu *menu, const QString &caption, void (TShortcutEditor::*execute)()) {
        QAction *action = menu->addAction(caption);
        connect(action, &QAction::triggered, this, execute);
        return action;
    };
    command(file, QStringLiteral("保存(&S)"), &TShortcutEditor::actSaveExecute);
    command(file, QStringLiteral("バックアップ用に別名で保存(&A)..."), &TShortcutEditor::actSaveAsExecute);
    command(file, QStringLiteral("ファイルから読み込む(&O)..."), &TShortcutEditor::actOpenExecute);
    ListBox1->setContextMenuPolicy(Qt::ActionsContextMenu);
    ListBox1->addAction(command(edit, QStringLiteral("新規タブ(&N)..."), &TShortcutEditor::actNewTabExecute));
    ListBox1->addAction(command(edit, QStringLiteral("タブの名前変更(&R)..."), &TShortcutEditor::actRenameTabExecute));
    ListBox1->addAction(command(edit, QStringLiteral("タブの削除"), &TShortcutEditor::actDeleteTabExecute));
    edit->addSeparator();
    ListBox2->setContextMenuPolicy(Qt::ActionsContextMenu);
    ListBox2->addAction(command(edit, QStringLiteral("名前変更(&R)..."), &TShortcutEditor::actRenameShortcutExecute));
    ListBox2->addAction(command(edit, QStringLiteral("ショートカットの削除(&D)"), &TShortcutEditor::actDeleteShortcutExecute));
    ListBox2->addAction(command(edit, QStringLiteral("区切り線の追加(&P)"), &TShortcutEditor::actAddSeparatorExecute));

    auto *tabs = new QVBoxLayout;
    tabs->addWidget(new QLabel(QStringLiteral("タブ"), this));
    tabs->addWidget(ListBox1, 1);
    auto *body = new QHBoxLayout;
    body->addLayout(tabs, 1);
    body->addWidget(ListBox2, 3);
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menus);
    layout->addLayout(body, 1);
    FillTabs(0);
    resize(640, 420);
}

void TShortcutEditor::FillTabs(int selected)
{
    ListBox1->clear();
    for (const auto &tab : Editing.Tabs)
        ListBox1->addItem(tab->Name);
    ListBox1->setCurrentRow(std::min(selected, ListBox1->count() - 1));
    FillItems();
}

void TShortcutEditor::FillItems()
{
    ListBox2->clear();
    const int tab = ListBox1->currentRow();
    if (tab < 0 || tab >= int(Editing.Tabs.size()))
        return;
    for (int i = 0; i < Editing.Tabs[tab]->GetCount(); ++i)
        ListBox2->addItem(Editing.Tabs[tab]->GetItem(i)->Text);
}

QList<int> TShortcutEditor::SelectedItems() const
{
    QList<int> rows;
    for (int row = 0; row < ListBox2->count(); ++row) {
        if (ListBox2->item(row)->isSelected())
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
    if (Kpwfunc::ExecDialog(dialog) != QDialog::Accepted)
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
        Kpwfunc::ShowMessage(Kpwfunc::mkWarning, problem);
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

void TShortcutEditor::actRenameShortcutExecute()
{
    const int tab = ListBox1->currentRow();
    const int row = ListBox2->currentRow();
    if (tab < 0 || row < 0)
        return;
    if (Editing.Tabs[tab]->GetItem(row)->IsSeparator()) {
        Kpwfunc::ShowMessage(Kpwfunc::mkWarning, Editing.RenameItem(tab, row, QString()));
        return;
    }
    QString text = Editing.Tabs[tab]->GetItem(row)->Text;
    if (!AskText(QStringLiteral("名前変更"), QStringLiteral("ショートカットの名前"), text))
        return;
    Editing.RenameItem(tab, row, text);
    FillItems();
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
    Editing.AddSeparator(tab, ListBox2->currentRow());
    FillItems();
}

void TShortcutEditor::actSaveExecute()
{
    if (Editing.Modified)
        Editing.SaveTo(fileName);
}

QString TShortcutEditor::AskFile(const QString &title, bool save)
{
    QFileDialog dialog(this, title, QString(), QStringLiteral("テキストファイル (*.txt);;すべてのファイル (*)"));
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (Kpwfunc::ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

void TShortcutEditor::actSaveAsExecute()
{
    const QString file = AskFile(QStringLiteral("バックアップ用に名前を付けて保存"), true);
    if (!file.isEmpty())
        Kpwfunc::SaveShortcutBarModel(Editing.Tabs, file);
}

void TShortcutEditor::actOpenExecute()
{
    const QString file = AskFile(QStringLiteral("ファイルから読み込む"), false);
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
