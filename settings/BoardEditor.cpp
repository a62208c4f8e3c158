#include "settings/BoardEditor.h"

#include "controls/Dialogs.h"
#include "controls/HeaderFrame.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TextList.h"
#include "services/BoardEditRules.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TBoardEditor::TBoardEditor(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("BoardEditor"));
    setWindowTitle(QStringLiteral("板を編集"));
    auto *layout = new QVBoxLayout(this);
    HeaderFrame = new THeaderFrame(this);
    HeaderFrame->SetTitle(QStringLiteral("板の設定を編集"));
    layout->addWidget(HeaderFrame);

    auto *form = new QFormLayout;
    Edit1 = new QLineEdit(this);
    form->addRow(QStringLiteral("板名："), Edit1);
    Label2 = new QLabel(QStringLiteral("パス(URL)："), this);
    Edit2 = new QLineEdit(this);
    Button1 = new QPushButton(QStringLiteral("参照(&B)..."), this);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(Edit2, 1);
    pathRow->addWidget(Button1);
    form->addRow(Label2, pathRow);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setEditable(true);
    form->addRow(QStringLiteral("カテゴリ："), ComboBox1);
    layout->addLayout(form);

    grpCharSet = new QGroupBox(QStringLiteral("文字コード"), this);
    auto *charSets = new QHBoxLayout(grpCharSet);
    CharSetButtons = new QButtonGroup(this);
    const QStringList names{QStringLiteral("SJIS"), QStringLiteral("EUC"), QStringLiteral("UTF-8")};
    for (int i = 0; i < names.size(); ++i) {
        auto *button = new QRadioButton(names[i], grpCharSet);
        CharSetButtons->addButton(button, i);
        charSets->addWidget(button);
    }
    CharSetButtons->button(0)->setChecked(true);
    layout->addWidget(grpCharSet);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Button2 = new QPushButton(QStringLiteral("&OK"), this);
    Button3 = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    Button2->setDefault(true);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    layout->addLayout(buttons);
    resize(420, sizeHint().height());

    connect(Button1, &QPushButton::clicked, this, &TBoardEditor::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TBoardEditor::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

void TBoardEditor::SetSite(TSite *newSite)
{
    site = newSite;
    ComboBox1->clear();
    QString last;
    for (int i = 0; site && i < site->Boards->Count(); ++i) {
        const QString category = site->Boards->Get(i)->Category;
        if (i == 0 || category != last)
            ComboBox1->addItem(category);
        last = category;
    }
    if (ComboBox1->count() > 0)
        ComboBox1->setCurrentIndex(0);
    const bool favorites = site && site->Kind == TSite::KIND_FAVORITES;
    Button1->setEnabled(site && site->Kind == TSite::KIND_LOCAL);
    Edit2->setEnabled(!favorites);
    Edit2->setBackgroundRole(favorites ? QPalette::Button : QPalette::Base);
    Edit2->setAutoFillBackground(favorites);
    Label2->setForegroundRole(favorites ? QPalette::PlaceholderText : QPalette::WindowText);
}

void TBoardEditor::SetBoardName(const QString &name)
{
    Edit1->setText(name);
}

void TBoardEditor::SetURL(const QString &url)
{
    Edit2->setText(url);
}

void TBoardEditor::SetCategoryName(const QString &category)
{
    ComboBox1->setCurrentText(category);
}

void TBoardEditor::SetCharSet(int charSet)
{
    if (QAbstractButton *button = CharSetButtons->button(charSet))
        button->setChecked(true);
}

QString TBoardEditor::GetBoardName() const
{
    return Edit1->text();
}

QString TBoardEditor::GetURL() const
{
    return Edit2->text();
}

QString TBoardEditor::GetCategoryName() const
{
    return ComboBox1->currentText();
}

int TBoardEditor::GetCharSet() const
{
    return std::max(CharSetButtons->checkedId(), 0);
}

// ---- OK ----

void TBoardEditor::Button2Click()
{
    if (!site || !FieldsComplete())
        return;
    const bool adding = !EditMode;
    bool settled = false;
    try {
        if (adding && site->Kind == TSite::KIND_FAVORITES)
            settled = SettleNewFavoritesFolder();
        else if (adding && site->Kind == TSite::KIND_LOCAL)
            settled = SettleNewLocalFolder();
        else if (Edit2->isEnabled() && (site->Kind == TSite::KIND_NORMAL || site->Kind == TSite::KIND_USER))
            settled = SettleFromUrl();
        else if (EditedBoard) {
            boardId = EditedBoard->ID;
            boardPath = EditedBoard->HostPath;
            settled = true;
        }
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return;
    }
    if (settled)
        accept();
}

bool TBoardEditor::FieldsComplete()
{
    if (Edit1->text().trimmed().isEmpty())
        return Refuse(QStringLiteral("板名を入力してください。"), Edit1);
    if (site->Kind == TSite::KIND_FAVORITES)
        return true;
    if (Edit2->text().trimmed().isEmpty())
        return Refuse(QStringLiteral("パスを入力してください。"), Edit2);
    if (ComboBox1->currentText().isEmpty())
        return Refuse(QStringLiteral("カテゴリを入力してください。"), ComboBox1);
    return true;
}

// Shows the error, puts the focus on the field at fault and keeps the dialog open (false).
bool TBoardEditor::Refuse(const QString &text, QWidget *focus)
{
    Dialogs::ShowMessage(Dialogs::mkError, text);
    focus->setFocus();
    return false;
}

bool TBoardEditor::SettleNewFavoritesFolder()
{
    boardId = BoardEditRules::TakeFolderId(site, QStringLiteral("fav"));
    boardPath = QStringLiteral("<favorites>");
    TTextList(QStringList{Edit1->text()}).SaveToFile(site->GetDir() + boardId + QStringLiteral(".txt"));
    return true;
}

bool TBoardEditor::SettleNewLocalFolder()
{
    boardId = BoardEditRules::TakeFolderId(site, QStringLiteral("local"));
    boardPath = FileUtil::WithSlash(QDir::fromNativeSeparators(Edit2->text().trimmed()));
    return true;
}

bool TBoardEditor::SettleFromUrl()
{
    QString id;
    QString path;
    // The id names the board's log folder: it must be a safe folder name.
    if (!BoardEditRules::SplitBoardUrl(Edit2->text(), id, path) || !TBoard::IsSafePathPart(id))
        return Refuse(QStringLiteral("URLから板のIDを取り出せません。"), Edit2);
    if (const TBoard *other = BoardEditRules::OtherBoardWithId(site, id, EditMode ? EditedBoard : nullptr)) {
        return Refuse(id + QStringLiteral("はすでに登録されているIDと重複します。") + QStringLiteral("\r\n")
                          + QStringLiteral("　→『") + other->Name + QStringLiteral("』"),
                      Edit2);
    }
    boardId = id;
    boardPath = path;
    return true;
}

// ---- browse ----

void TBoardEditor::Button1Click()
{
    const QString start = Edit2->text().isEmpty() ? TavuConfig->LOCALFOLDERLASTPATH : Edit2->text();
    QFileDialog dialog(this, QString(), start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString folder = dialog.selectedFiles().constFirst();
    Edit2->setText(FileUtil::WithSlash(QDir::fromNativeSeparators(folder)));
    TavuConfig->LOCALFOLDERLASTPATH = folder;
}
