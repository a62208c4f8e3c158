#include "settings/ShortcutDialog.h"

#include "controls/Dialogs.h"
#include "core/Exceptions.h"
#include "core/TavuConfig.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TShortcutDialog::TShortcutDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("ショートカットバーに登録"));
    BuildForm();
    model = ShortcutData::LoadShortcutBarModel(ShortcutData::ShortcutFileName());
    FillList();
}

void TShortcutDialog::BuildForm()
{
    ListBox1 = new QListWidget;
    ListBox1->setContextMenuPolicy(Qt::ActionsContextMenu);
    const struct {
        const char *caption;
        std::function<void(TShortcutDialog *)> run;
    } commands[] = {{"新規タブ(&W)", &TShortcutDialog::Button3Click},
                    {"削除(&D)", &TShortcutDialog::DeleteClick},
                    {"上へ(&U)", [](TShortcutDialog *d) { d->MoveClick(-1); }},
                    {"下へ(&N)", [](TShortcutDialog *d) { d->MoveClick(1); }},
                    {"名前の変更(&R)", &TShortcutDialog::RenameClick}};
    for (const auto &command : commands) {
        auto *action = new QAction(QString::fromUtf8(command.caption), ListBox1);
        connect(action, &QAction::triggered, this, [this, run = command.run] { run(this); });
        ListBox1->addAction(action);
    }
    Edit1 = new QLineEdit;
    SpeedButton1 = new QToolButton;
    SpeedButton1->setText(QStringLiteral("先頭に追加"));
    SpeedButton2 = new QToolButton;
    SpeedButton2->setText(QStringLiteral("末尾に追加"));
    auto *place = new QButtonGroup(this);
    for (QToolButton *button : {SpeedButton1, SpeedButton2}) {
        button->setCheckable(true);
        place->addButton(button);
    }
    SpeedButton2->setChecked(true);
    Button3 = new QPushButton(QStringLiteral("新規タブ(&W)"));
    chkAddAfterEdit = new QCheckBox(QStringLiteral("登録後に、編集ウィンドウを表示する(&V)"));
    chkAddAfterEdit->setChecked(TavuConfig->SHORTCUTBAR_ADDEDIT);
    Button1 = new QPushButton(QStringLiteral("OK"));
    Button2 = new QPushButton(QStringLiteral("キャンセル"));

    auto *placeRow = new QHBoxLayout;
    placeRow->addWidget(Edit1);
    placeRow->addWidget(SpeedButton1);
    placeRow->addWidget(SpeedButton2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button3);
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(placeRow);
    layout->addWidget(ListBox1);
    layout->addWidget(chkAddAfterEdit);
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, &TShortcutDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, &TShortcutDialog::Button3Click);
}

void TShortcutDialog::FillList()
{
    const int current = ListBox1->currentRow();
    ListBox1->clear();
    for (const auto &tab : model)
        ListBox1->addItem(tab->Name);
    ListBox1->setCurrentRow(std::min(current, ListBox1->count() - 1));
}

void TShortcutDialog::AddItem(quint8 kind, const QString &caption, const QString &param1, const QString &param2,
                              const QString &param3)
{
    TShortcutData item;
    item.Kind = kind;
    item.Text = caption;
    item.Param1 = param1;
    item.Param2 = param2;
    item.Param3 = param3;
    queued.push_back(item);
}

void TShortcutDialog::FormShow()
{
    if (!queued.empty())
        Edit1->setText(queued.front().Text);
}

void TShortcutDialog::Button1Click()
{
    const int tabIndex = ListBox1->currentRow();
    if (tabIndex < 0 || tabIndex >= int(model.size()))
        return;
    TTabData &tab = *model[size_t(tabIndex)];
    for (auto item = queued.crbegin(); item != queued.crend(); ++item) {
        TShortcutData *added = SpeedButton1->isChecked() ? tab.Insert(0) : tab.Add();
        added->Assign(*item);
        if (queued.size() == 1)
            added->Text = Edit1->text();
    }
    try {
        ShortcutData::SaveShortcutBarModel(model, ShortcutData::ShortcutFileName());
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return;
    }
    TavuConfig->SHORTCUTBAR_ADDEDIT = chkAddAfterEdit->isChecked();
    accept();
}

QString TShortcutDialog::AskTabName(const QString &start, int ownIndex)
{
    QString name = start;
    for (;;) {
        QInputDialog input(this);
        input.setWindowTitle(QStringLiteral("タブ"));
        input.setLabelText(QStringLiteral("タブの名前"));
        input.setTextValue(name);
        if (Dialogs::ExecDialog(input) != QDialog::Accepted)
            return QString();
        name = input.textValue();
        bool taken = false;
        for (size_t i = 0; i < model.size(); ++i)
            taken = taken || (int(i) != ownIndex && model[i]->Name == name);
        if (taken)
            Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("すでに同名のタブが存在します。"));
        else if (name.isEmpty())
            Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("名前を入力してください。"));
        else
            return name;
    }
}

void TShortcutDialog::Button3Click()
{
    const QString name = AskTabName(QStringLiteral("新しいタブ"), -1);
    if (name.isEmpty())
        return;
    auto tab = std::make_unique<TTabData>();
    tab->Name = name;
    tab->Color = clBtnFace;
    tab->LoadBitmapFile(QStringLiteral("images/folder.bmp"));
    model.push_back(std::move(tab));
    FillList();
    ListBox1->setCurrentRow(ListBox1->count() - 1);
}

void TShortcutDialog::RenameClick()
{
    const int index = ListBox1->currentRow();
    if (index < 0)
        return;
    const QString name = AskTabName(model[size_t(index)]->Name, index);
    if (!name.isEmpty())
        model[size_t(index)]->Name = name;
    FillList();
}

void TShortcutDialog::DeleteClick()
{
    const int index = ListBox1->currentRow();
    if (index < 0)
        return;
    model.erase(model.begin() + index);
    FillList();
}

void TShortcutDialog::MoveClick(int step)
{
    const int index = ListBox1->currentRow();
    const int other = index + step;
    if (index < 0 || other < 0 || other >= int(model.size()))
        return;
    std::swap(model[size_t(index)], model[size_t(other)]);
    FillList();
    ListBox1->setCurrentRow(other);
}
