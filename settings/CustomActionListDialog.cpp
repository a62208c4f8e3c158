#include "settings/CustomActionListDialog.h"

#include "core/IniFile.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QTreeWidget *NewList(QWidget *parent)
{
    auto *view = new QTreeWidget(parent);
    view->setHeaderHidden(true);
    view->setRootIsDecorated(false);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    return view;
}

}  // namespace

TCustomActionListDialog::TCustomActionListDialog(const TActionListEditor &editor, const QString &fileName,
                                                 const QString &title, const QString &listLabel,
                                                 const QString &entryLabel, QWidget *parent)
    : QDialog(parent), Editor(editor), fileName(fileName)
{
    setWindowTitle(title);
    ComboBox1 = new QComboBox(this);
    ComboBox1->addItems(Editor.Categories());
    ComboBox2 = new QComboBox(this);
    for (const TTavuToolBarList &list : std::as_const(Editor.Lists))
        ComboBox2->addItem(list.Caption);
    ListView1 = NewList(this);
    ListView2 = NewList(this);

    auto command = [this](const QString &caption, void (TCustomActionListDialog::*execute)()) {
        auto *action = new QAction(caption, this);
        connect(action, &QAction::triggered, this, execute);
        return action;
    };
    QAction *actAdd = command(QStringLiteral("ツールバーに追加(&A)"), &TCustomActionListDialog::actAddExecute);
    QAction *actDelete = command(QStringLiteral("ツールバーから削除(&D)"), &TCustomActionListDialog::actDeleteExecute);
    QAction *actAddSeparator = command(QStringLiteral("区切り線の追加(&S)"), &TCustomActionListDialog::actAddSeparatorExecute);
    QAction *actMoveUp = command(QStringLiteral("上へ移動(&U)"), &TCustomActionListDialog::actMoveUpExecute);
    QAction *actMoveDown = command(QStringLiteral("下へ移動(&D)"), &TCustomActionListDialog::actMoveDownExecute);
    auto line = [this] {
        auto *separator = new QAction(this);
        separator->setSeparator(true);
        return separator;
    };
    ListView1->addAction(actAdd);
    ListView2->addActions({actDelete, line(), actMoveUp, actMoveDown, line(), actAddSeparator});
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &TCustomActionListDialog::actAddExecute);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TCustomActionListDialog::FillActions);
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, [this] {
        FillEntries();
        FillActions();
    });

    auto button = [this](const QString &caption, QAction *action) {
        auto *b = new QPushButton(caption, this);
        connect(b, &QPushButton::clicked, action, &QAction::trigger);
        return b;
    };
    auto *buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(button(QStringLiteral("→"), actAdd));
    buttons->addStretch();
    auto *entryButtons = new QHBoxLayout;
    entryButtons->addWidget(button(QStringLiteral("削除"), actDelete));
    entryButtons->addWidget(button(QStringLiteral("区切り線の追加"), actAddSeparator));
    entryButtons->addWidget(button(QStringLiteral("上へ移動"), actMoveUp));
    entryButtons->addWidget(button(QStringLiteral("下へ移動"), actMoveDown));
    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    connect(ok, &QPushButton::clicked, this, &TCustomActionListDialog::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(ok);
    closing->addWidget(cancel);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("カテゴリ"), this), 0, 0);
    grid->addWidget(ComboBox1, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("アクション"), this), 2, 0);
    grid->addWidget(ListView1, 3, 0);
    grid->addLayout(buttons, 3, 1);
    grid->addWidget(new QLabel(listLabel, this), 0, 2);
    grid->addWidget(ComboBox2, 1, 2);
    grid->addWidget(new QLabel(entryLabel, this), 2, 2);
    grid->addWidget(ListView2, 3, 2);
    grid->addLayout(entryButtons, 4, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(title, this));
    layout->addLayout(grid, 1);
    layout->addLayout(closing);
    FillEntries();
    FillActions();
    resize(680, 480);
}

int TCustomActionListDialog::CurrentList() const
{
    return std::max(ComboBox2->currentIndex(), 0);
}

QList<int> TCustomActionListDialog::SelectedRows(const QTreeWidget *view) const
{
    QList<int> rows;
    for (int row = 0; row < view->topLevelItemCount(); ++row) {
        if (view->topLevelItem(row)->isSelected())
            rows << row;
    }
    return rows;
}

void TCustomActionListDialog::FillActions()
{
    ListView1->clear();
    if (Editor.Lists.isEmpty())
        return;
    for (QAction *action : Editor.Available(CurrentList(), ComboBox1->currentText())) {
        auto *row = new QTreeWidgetItem(ListView1, {Editor.RowText(action->objectName())});
        row->setIcon(0, action->icon());
        row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<QObject *>(action)));
    }
}

void TCustomActionListDialog::FillEntries(const QList<int> &selected)
{
    ListView2->clear();
    if (Editor.Lists.isEmpty())
        return;
    for (const QString &entry : std::as_const(Editor.Lists[CurrentList()].Entries)) {
        auto *row = new QTreeWidgetItem(ListView2, {Editor.RowText(entry)});
        if (const QAction *action = Editor.ActionOf(entry))
            row->setIcon(0, action->icon());
    }
    for (int row : selected)
        ListView2->topLevelItem(row)->setSelected(true);
}

void TCustomActionListDialog::actAddExecute()
{
    QList<QAction *> added;
    for (int row : SelectedRows(ListView1))
        added << qobject_cast<QAction *>(ListView1->topLevelItem(row)->data(0, Qt::UserRole).value<QObject *>());
    added.removeAll(nullptr);
    Editor.Add(CurrentList(), added);
    FillEntries();
    FillActions();
}

void TCustomActionListDialog::actDeleteExecute()
{
    Editor.Delete(CurrentList(), SelectedRows(ListView2));
    FillEntries();
    FillActions();
}

void TCustomActionListDialog::actAddSeparatorExecute()
{
    Editor.AddSeparator(CurrentList());
    FillEntries();
}

void TCustomActionListDialog::Move(int delta)
{
    // Afterwards only the row that received the first moved entry is selected.
    FillEntries(Editor.Move(CurrentList(), SelectedRows(ListView2), delta).mid(0, 1));
}

void TCustomActionListDialog::actMoveUpExecute()
{
    Move(-1);
}

void TCustomActionListDialog::actMoveDownExecute()
{
    Move(1);
}

void TCustomActionListDialog::Button1Click()
{
    TIniFile ini(fileName);
    Editor.Save(ini);
    ini.UpdateFile();
    accept();
}
