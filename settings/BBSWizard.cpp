#include "settings/BBSWizard.h"

#include "controls/Dialogs.h"
#include "core/BBS.h"
#include "core/BBSList.h"
#include "core/Exceptions.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "services/BBSRegistration.h"
#include "services/PageFetch.h"
#include "settings/WizardForm.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

enum { TabSheet1, TabSheet2, TabSheet3, TabSheet4, TabSheet5, TabFinal };

// Offered, and shown, when the user site has no category yet: a new user can go on at once.
const QString DefaultCategory = QStringLiteral("その他");

QWidget *Page(const QString &title, const QString &note = QString())
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *heading = new QLabel(title);
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    layout->addWidget(heading);
    if (!note.isEmpty()) {
        auto *label = new QLabel(note);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    return page;
}

QFormLayout *AddForm(QWidget *page)
{
    auto *form = new QFormLayout;
    static_cast<QVBoxLayout *>(page->layout())->addLayout(form);
    static_cast<QVBoxLayout *>(page->layout())->addStretch();
    return form;
}

}  // namespace

TBBSWizard::TBBSWizard(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("BBS追加ウィザード"));
    BuildForm();
    FillLists();
    Pages->setCurrentIndex(TabSheet1);
}

void TBBSWizard::BuildForm()
{
    Pages = new QStackedWidget;
    Pages->addWidget(Page(QStringLiteral("BBSをヴァルネロに登録"),
                          QStringLiteral("2ちゃんねる互換、MegaBBS、12ch、JBBS のスクリプトで動いている掲示板を"
                                         "「その他のBBS」に登録できます。")));

    QWidget *page2 = Page(QStringLiteral("掲示板の設定 (1)"));
    Edit2 = new QLineEdit;
    AddForm(page2)->addRow(QStringLiteral("掲示板のURL"), Edit2);
    Pages->addWidget(page2);

    QWidget *page3 = Page(QStringLiteral("掲示板の設定 (2)"));
    Edit1 = new QLineEdit;
    ComboBox1 = new QComboBox;
    ComboBox1->setEditable(true);
    QFormLayout *form3 = AddForm(page3);
    form3->addRow(QStringLiteral("名前"), Edit1);
    form3->addRow(QStringLiteral("カテゴリ"), ComboBox1);
    Pages->addWidget(page3);

    QWidget *page4 = Page(QStringLiteral("スクリプトの選択"));
    ListBox1 = new QListWidget;
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ComboBox2 = new QComboBox;
    ComboBox2->addItems({QStringLiteral("SJIS"), QStringLiteral("EUC")});
    page4->layout()->addWidget(ListBox1);
    AddForm(page4)->addRow(QStringLiteral("文字コード"), ComboBox2);
    Pages->addWidget(page4);

    QWidget *page5 = Page(QStringLiteral("掲示板の設定 (3)"));
    QFormLayout *form5 = AddForm(page5);
    form5->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (auto [field, caption] : {std::pair{&SubjectTxtUrl, "スレッド一覧"}, std::pair{&DatUrl, "データ"},
                                  std::pair{&ReadCgiUrl, "読み込み"}, std::pair{&SendCgiUrl, "書き込み"},
                                  std::pair{&ThreadCgiUrl, "スレ立て"}}) {
        *field = new QLineEdit;
        // Wide enough to read a whole template address.
        (*field)->setMinimumWidth((*field)->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 56);
        form5->addRow(QString::fromUtf8(caption), *field);
    }
    Button4 = new QPushButton(QStringLiteral("HTMLから取得"));
    form5->addRow(QString(), Button4);
    Pages->addWidget(page5);

    QWidget *final = Page(QStringLiteral("完了"));
    FinalNote = new QLabel;
    FinalNote->setWordWrap(true);
    final->layout()->addWidget(FinalNote);
    static_cast<QVBoxLayout *>(final->layout())->addStretch();
    Pages->addWidget(final);

    Button1 = new QPushButton(QStringLiteral("< 前へ"));
    Button2 = new QPushButton(QStringLiteral("次へ >"));
    Button3 = new QPushButton(QStringLiteral("キャンセル(&C)"));
    Button2->setDefault(true);
    WizardForm::LayOut(this, Pages, {Button1, Button2, Button3});
    WizardForm::EnableBackAfterFirstPage(Button1, Pages);

    connect(Button1, &QPushButton::clicked, this, &TBBSWizard::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TBBSWizard::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button4, &QPushButton::clicked, this, &TBBSWizard::Button4Click);
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, &TBBSWizard::UpdateNextButton);
}

void TBBSWizard::FillLists()
{
    const TBBSList *types = TavuEnviron->BBSList();
    for (int i = 0; i < types->Count(); ++i) {
        TBBS *type = types->Get(i);
        if (!type->IsRemote())
            continue;
        auto *item = new QListWidgetItem(type->Name.isEmpty() ? type->ID : type->Name, ListBox1);
        item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void *>(type)));
    }
    WizardForm::FillCategories(ComboBox1, TavuEnviron->UserSite());
    if (ComboBox1->count() == 0)
        ComboBox1->addItem(DefaultCategory);
    ComboBox2->setCurrentIndex(0);
}

int TBBSWizard::PageIndex() const
{
    return Pages->currentIndex();
}

// The type the user selected. The list makes its first row current when it takes the focus, but
// only a selected row is a choice.
TBBS *TBBSWizard::SelectedType() const
{
    const QList<QListWidgetItem *> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? nullptr : static_cast<TBBS *>(selected.first()->data(Qt::UserRole).value<void *>());
}

// The script page needs a type before it can be left forwards.
void TBBSWizard::UpdateNextButton()
{
    Button2->setEnabled(PageIndex() != TabSheet4 || SelectedType() != nullptr);
}

QList<QLineEdit *> TBBSWizard::TemplateFields() const
{
    return {SubjectTxtUrl, DatUrl, ReadCgiUrl, SendCgiUrl, ThreadCgiUrl};
}

bool TBBSWizard::ValidatePage()
{
    auto require = [](QWidget *field, bool filled) {
        if (!filled)
            field->setFocus();
        return filled;
    };
    switch (PageIndex()) {
    case TabSheet2:
        return require(Edit2, !Edit2->text().trimmed().isEmpty());
    case TabSheet3:
        return WizardForm::Require(Edit1, !Edit1->text().isEmpty(), QStringLiteral("名前を入力してください。"))
               && WizardForm::Require(ComboBox1, !ComboBox1->currentText().isEmpty(),
                                      QStringLiteral("カテゴリを入力してください。"));
    case TabSheet4:
        return require(ListBox1, SelectedType() != nullptr) && require(ComboBox2, ComboBox2->currentIndex() >= 0);
    default:
        return true;
    }
}

void TBBSWizard::Button2Click()
{
    if (!ValidatePage())
        return;
    if (PageIndex() == TabFinal) {
        RegisterBoard();
        return;
    }
    if (PageIndex() == TabFinal - 1)
        Button2->setText(QStringLiteral("完了"));
    Pages->setCurrentIndex(PageIndex() + 1);
    EnterPage(PageIndex());
    if (PageIndex() == TabSheet4)
        PresetType();
    else if (PageIndex() == TabSheet5)
        FillTemplates();
    else if (PageIndex() == TabFinal)
        FinalNote->setText(QStringLiteral("掲示板を「%1」の「%2」カテゴリに追加しました。")
                               .arg(TavuEnviron->UserSite()->NAME, ComboBox1->currentText()));
    UpdateNextButton();
}

void TBBSWizard::Button1Click()
{
    if (PageIndex() == TabSheet1)
        return;
    Button2->setText(QStringLiteral("次へ >"));
    Pages->setCurrentIndex(PageIndex() - 1);
    EnterPage(PageIndex());
    UpdateNextButton();
}

void TBBSWizard::EnterPage(int index)
{
    switch (index) {
    case TabSheet2: Edit2->setFocus(); break;
    case TabSheet3: Edit1->setFocus(); break;
    case TabSheet4: ListBox1->setFocus(); break;
    case TabSheet5: SubjectTxtUrl->setFocus(); break;
    default: break;
    }
}

void TBBSWizard::PresetType()
{
    const QString preset = BBSRegistration::PresetTypeId(Edit2->text());
    for (int i = 0; !preset.isEmpty() && i < ListBox1->count(); ++i) {
        const auto *type = static_cast<TBBS *>(ListBox1->item(i)->data(Qt::UserRole).value<void *>());
        if (type->ID.compare(preset, Qt::CaseInsensitive) == 0) {
            ListBox1->setCurrentRow(i);
            break;
        }
    }
    const TBBS *type = SelectedType();
    ComboBox2->setCurrentIndex(type && type->CharSet != 0 ? 1 : 0);
}

void TBBSWizard::FillTemplates()
{
    QString boardId, hostPath;
    BBSRegistration::SplitBoardUrl(Edit2->text(), boardId, hostPath);
    for (int i = 0; i < TemplateFields().size(); ++i) {
        TemplateFields().at(i)->setText(BBSRegistration::GetTemplate(
            SelectedType(), Edit2->text(), boardId, BBSRegistration::TemplateSections().at(i), hostPath));
    }
    Button4->setEnabled(BBSRegistration::CanReadIndexPage(SelectedType()));
}

void TBBSWizard::SetControlsEnabled(bool enabled)
{
    for (QLineEdit *field : TemplateFields())
        field->setEnabled(enabled);
    for (QPushButton *button : {Button4, Button1, Button2, Button3})
        button->setEnabled(enabled);
}

void TBBSWizard::Button4Click()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SetControlsEnabled(false);
    const QString url = Edit2->text();
    QByteArray body;
    const bool fetched = PageFetch::Get(BBSRegistration::IndexPageUrl(SelectedType(), url), body) || PageFetch::Get(url, body);
    SetControlsEnabled(true);
    QApplication::restoreOverrideCursor();
    if (!fetched) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("取得に失敗しました。"));
        return;
    }
    QString folder;
    const QString name = BBSRegistration::CgiName(ReadCgiUrl->text(), SendCgiUrl->text());
    switch (BBSRegistration::AnalyseIndexPage(jconvert::SjisToUnicode(body), url, name, folder)) {
    case BBSRegistration::anNothing:
        return;
    case BBSRegistration::anFailed:
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("解析に失敗しました。"));
        return;
    case BBSRegistration::anFound:
        break;
    }
    if (Dialogs::ShowMessage(Dialogs::mkInformation, QStringLiteral("こんな感じでいい？\r\n") + folder, Dialogs::mbYesNo)
        != Dialogs::mrYes)
        return;
    QString boardId, hostPath;
    BBSRegistration::SplitBoardUrl(url, boardId, hostPath);
    for (QLineEdit *field : TemplateFields())
        field->setText(BBSRegistration::MoveToFolder(field->text(), folder, SelectedType()->Param.PARAM_BBS, boardId));
}

void TBBSWizard::RegisterBoard()
{
    BBSRegistration::TRequest request;
    request.Url = Edit2->text().trimmed();
    request.Name = Edit1->text();
    request.Category = ComboBox1->currentText();
    request.Type = SelectedType();
    request.CodePage = ComboBox2->currentIndex();
    for (QLineEdit *field : TemplateFields())
        request.Templates << field->text();
    try {
        Result = BBSRegistration::RegisterBoard(TavuEnviron->UserSite(), *TavuEnviron->SiteList(), request,
                                                TavuConfig->LogDir());
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return;
    }
    accept();
}
