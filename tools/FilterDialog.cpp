#include "tools/FilterDialog.h"

#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "services/ComposerFiles.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

const QString FindLog = QStringLiteral("findlog.txt");

void FillDistinct(QComboBox *combo, const QStringList &values)
{
    combo->clear();
    QStringList distinct;
    for (const QString &value : values) {
        if (!value.isEmpty() && !distinct.contains(value))
            distinct << value;
    }
    combo->addItems(distinct);
    combo->setCurrentIndex(-1);
}

// Puts the trimmed text of the combo first in findlog.txt and in the combo's list.
void RecordText(QComboBox *combo)
{
    const QString text = combo->currentText().trimmed();
    if (text.isEmpty())
        return;
    QStringList history = ComposerFiles::LoadLines(FindLog);
    if (ComposerFiles::PushHistory(history, text))
        ComposerFiles::SaveLines(FindLog, history);
    combo->clear();
    combo->addItems(history);
    combo->setCurrentText(text);
}

QWidget *Note(const QString &text)
{
    auto *label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

// A page stack as large as the page it shows (a plain stack takes the size of its tallest page),
// so that the short thread page leaves no empty band above its text.
class TShownPageStack : public QStackedWidget {
public:
    QSize sizeHint() const override { return currentWidget() ? currentWidget()->sizeHint() : QStackedWidget::sizeHint(); }
    QSize minimumSizeHint() const override
    {
        return currentWidget() ? currentWidget()->minimumSizeHint() : QStackedWidget::minimumSizeHint();
    }
    // The page's own hint, never a height for the width: that one the dialog's layout keeps from the
    // page shown before and would leave the taller page's height under a shorter one.
    bool hasHeightForWidth() const override { return false; }
};

}  // namespace

TFilterDialog::TFilterDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("フィルター"));
    Pages = new TShownPageStack;
    Pages->addWidget(CreateResPage());
    Pages->addWidget(CreateThreadPage());

    auto *buttons = new QDialogButtonBox;
    OKButton = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    CancelButton = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(OKButton, &QPushButton::clicked, this, &TFilterDialog::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Pages);
    layout->addWidget(buttons);
    LoadChoices();
    connect(Pages, &QStackedWidget::currentChanged, this, [this] {
        Pages->updateGeometry();
        adjustSize();
    });
}

QComboBox *TFilterDialog::AddChoice(QGridLayout *grid, QRadioButton *&radio, const QString &caption)
{
    const int row = grid->rowCount();
    radio = new QRadioButton(caption);
    auto *combo = new QComboBox;
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    grid->addWidget(radio, row, 0);
    grid->addWidget(combo, row, 1);
    // typing in a criterion's box chooses that criterion
    QRadioButton *chosen = radio;
    connect(combo, &QComboBox::editTextChanged, chosen, [chosen] { chosen->setChecked(true); });
    return combo;
}

QWidget *TFilterDialog::CreateResPage()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout;
    AllCombo = AddChoice(grid, AllRadio, QStringLiteral("すべて"));
    HandleCombo = AddChoice(grid, HandleRadio, QStringLiteral("ハンドル名"));
    ExactRadio = new QRadioButton(QStringLiteral("完全一致"));
    PartialRadio = new QRadioButton(QStringLiteral("部分一致"));
    auto *modes = new QButtonGroup(page);
    modes->addButton(ExactRadio);
    modes->addButton(PartialRadio);
    auto *modeRow = new QHBoxLayout;
    modeRow->addWidget(ExactRadio);
    modeRow->addWidget(PartialRadio);
    grid->addLayout(modeRow, grid->rowCount(), 1);
    IDCombo = AddChoice(grid, IDRadio, QStringLiteral("ID"));
    BodyCombo = AddChoice(grid, BodyRadio, QStringLiteral("本文"));
    MailCombo = AddChoice(grid, MailRadio, QStringLiteral("メールアドレス"));
    auto *choices = new QButtonGroup(page);
    for (QRadioButton *radio : {AllRadio, HandleRadio, IDRadio, BodyRadio, MailRadio})
        choices->addButton(radio);
    ResNewOnly = new QCheckBox(QStringLiteral("新着のみ"));
    ResIgnoreWidth = new QCheckBox(QStringLiteral("全角・半角を区別しない"));

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(Note(QStringLiteral("発言内容をハンドル名または ID で絞り込み、一時的にそのハンドル名、IDの発言だけを"
                                          "表示します。(他の発言を削除するわけではありません。)")));
    layout->addLayout(grid);
    layout->addWidget(ResNewOnly);
    layout->addWidget(ResIgnoreWidth);
    layout->addStretch();
    return page;
}

QWidget *TFilterDialog::CreateThreadPage()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout;
    TitleCombo = AddChoice(grid, TitleRadio, QStringLiteral("タイトル"));
    DatCombo = AddChoice(grid, DatRadio, QStringLiteral("DAT番号"));
    auto *choices = new QButtonGroup(page);
    choices->addButton(TitleRadio);
    choices->addButton(DatRadio);
    TitleRadio->setChecked(true);
    ThreadNewOnly = new QCheckBox(QStringLiteral("新着のみ"));
    ThreadIgnoreWidth = new QCheckBox(QStringLiteral("全角・半角を区別しない"));

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(Note(QStringLiteral("スレッドタイトルや取得条件でスレッド一覧を絞り込み、一時的に条件に一致する"
                                          "スレッドのみを表示します。(他のスレッドを削除するわけではありません。)")));
    layout->addLayout(grid);
    layout->addWidget(ThreadNewOnly);
    layout->addWidget(ThreadIgnoreWidth);
    layout->addStretch();
    return page;
}

void TFilterDialog::LoadChoices()
{
    (TavuConfig->FILTERDLG_HANDLE == 0 ? ExactRadio : PartialRadio)->setChecked(true);
    if (TavuConfig->FILTERDLG_ALLCHK)
        AllRadio->setChecked(true);
    else if (TavuConfig->FILTERDLG_HANDLECHK)
        HandleRadio->setChecked(true);
    else if (TavuConfig->FILTERDLG_IDCHK)
        IDRadio->setChecked(true);
    else if (TavuConfig->FILTERDLG_BODYCHK)
        BodyRadio->setChecked(true);
    else
        MailRadio->setChecked(true);
    const QStringList history = ComposerFiles::LoadLines(FindLog);
    for (QComboBox *combo : {AllCombo, BodyCombo}) {
        const QSignalBlocker blocker(combo);
        combo->addItems(history);
        combo->setCurrentIndex(-1);
    }
    ResIgnoreWidth->setChecked(TavuConfig->FILTERIGNORECASE);
    ThreadIgnoreWidth->setChecked(TavuConfig->FILTERIGNORECASE);
    if (!TavuConfig->FILtERAUTOCOMPLETE) {
        for (QComboBox *combo : findChildren<QComboBox *>())
            combo->setCompleter(nullptr);
    }
}

void TFilterDialog::SetResList(const TResList *list)
{
    QStringList handles, mails, ids;
    for (int i = 0; list && i < list->Count(); ++i) {
        const TRes *res = list->Get(i);
        handles << MonaUtils::StripHtmlTags(res->Name).trimmed();
        mails << res->Mail;
        ids << res->ID;
    }
    for (QComboBox *combo : {HandleCombo, MailCombo, IDCombo})
        combo->blockSignals(true);
    FillDistinct(HandleCombo, handles);
    HandleCombo->model()->sort(0);
    HandleCombo->setCurrentIndex(-1);
    FillDistinct(MailCombo, mails);
    FillDistinct(IDCombo, ids);
    for (QComboBox *combo : {HandleCombo, MailCombo, IDCombo})
        combo->blockSignals(false);
    Pages->setCurrentIndex(0);
}

void TFilterDialog::SetThreadList(const TThreadItemList &items)
{
    QStringList keys;
    for (int i = 0; i < items.Count(); ++i)
        keys << items.Get(i)->GetKey();
    const QSignalBlocker datBlocker(DatCombo);
    const QSignalBlocker titleBlocker(TitleCombo);
    FillDistinct(DatCombo, keys);
    DatCombo->model()->sort(0);
    DatCombo->setCurrentIndex(-1);
    TitleCombo->clear();
    TitleCombo->addItems(ComposerFiles::LoadLines(FindLog));
    TitleCombo->setCurrentIndex(-1);
    Pages->setCurrentIndex(1);
}

bool TFilterDialog::ThreadPageShown() const
{
    return Pages->currentIndex() == 1;
}

bool TFilterDialog::GetIgnoreWidth() const
{
    return (ThreadPageShown() ? ThreadIgnoreWidth : ResIgnoreWidth)->isChecked();
}

QComboBox *TFilterDialog::ChosenCombo() const
{
    if (ThreadPageShown())
        return DatRadio->isChecked() ? DatCombo : TitleCombo;
    if (HandleRadio->isChecked())
        return HandleCombo;
    if (IDRadio->isChecked())
        return IDCombo;
    if (BodyRadio->isChecked())
        return BodyCombo;
    return MailRadio->isChecked() ? MailCombo : AllCombo;
}

ResSearch::TResSearch TFilterDialog::ResSearch() const
{
    ResSearch::TResSearch search;
    search.Text = ChosenCombo()->currentText();
    if (HandleRadio->isChecked())
        search.Mode = ExactRadio->isChecked() ? ResSearch::rmNameExact : ResSearch::rmName;
    else if (IDRadio->isChecked())
        search.Mode = ResSearch::rmID;
    else if (BodyRadio->isChecked())
        search.Mode = ResSearch::rmBody;
    else if (MailRadio->isChecked())
        search.Mode = ResSearch::rmMail;
    else
        search.Mode = ResSearch::rmAll;
    search.Fold = ResIgnoreWidth->isChecked();
    search.NewOnly = ResNewOnly->isChecked();
    return search;
}

ThreadListPane::TThreadFilter TFilterDialog::ThreadFilter() const
{
    ThreadListPane::TThreadFilter filter;
    filter.NewOnly = ThreadNewOnly->isChecked();
    filter.ByDatName = DatRadio->isChecked();
    const QString key = DatCombo->currentText().trimmed();
    filter.DatName = key.contains(QLatin1Char('.')) ? key : key + QStringLiteral(".dat");
    const QString text = TitleCombo->currentText();
    const bool fold = ThreadIgnoreWidth->isChecked();
    filter.MatchesTitle = [text, fold](const QString &title) { return ResSearch::FindTextPos(text, title, fold) > 0; };
    return filter;
}

void TFilterDialog::StoreChoices()
{
    if (ThreadPageShown()) {
        if (TitleRadio->isChecked())
            RecordText(TitleCombo);
    } else {
        TavuConfig->FILTERDLG_HANDLE = ExactRadio->isChecked() ? 0 : 1;
        TavuConfig->FILTERDLG_ALLCHK = AllRadio->isChecked();
        TavuConfig->FILTERDLG_HANDLECHK = HandleRadio->isChecked();
        TavuConfig->FILTERDLG_IDCHK = IDRadio->isChecked();
        TavuConfig->FILTERDLG_BODYCHK = BodyRadio->isChecked();
        if (AllRadio->isChecked() || BodyRadio->isChecked())
            RecordText(ChosenCombo());
    }
    TavuConfig->FILTERIGNORECASE = GetIgnoreWidth();
}

void TFilterDialog::OKButtonClick()
{
    StoreChoices();
    accept();
}

void TFilterDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ChosenCombo()->setFocus();
}
