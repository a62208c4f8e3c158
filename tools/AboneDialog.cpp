#include "tools/AboneDialog.h"

#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "services/ComposerFiles.h"
#include "tools/TickRows.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace QueryErase;

namespace {

const QString TitleWordFile = QStringLiteral("Qryabntt.txt");
const QChar IdeographicBlank(0x3000);
const QString EraseMark = QStringLiteral("消");

QComboBox *NewCombo(const QStringList &items = {})
{
    auto *combo = new QComboBox;
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    return combo;
}

// A criterion row of the group: caption, the controls, and its "適用" button.
void AddCriterion(QFormLayout *form, const QString &caption, QLayout *controls, QObject *owner,
                  const std::function<void()> &apply)
{
    auto *button = new QPushButton(QStringLiteral("適用"));
    QObject::connect(button, &QPushButton::clicked, owner, apply);
    controls->addWidget(button);
    form->addRow(caption, controls);
}

QHBoxLayout *Row(std::initializer_list<QWidget *> widgets)
{
    auto *row = new QHBoxLayout;
    for (QWidget *widget : widgets)
        row->addWidget(widget);
    return row;
}

}  // namespace

TAboneDialog::TAboneDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("問い合わせ消去"));
    Pages = new QStackedWidget;
    Pages->addWidget(CreateResPage());
    Pages->addWidget(CreateThreadPage());

    auto *buttons = new QDialogButtonBox;
    OKButton = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    CancelButton = buttons->addButton(QStringLiteral("キャンセル(&C)"), QDialogButtonBox::RejectRole);
    connect(OKButton, &QPushButton::clicked, this, &TAboneDialog::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    StatusBar = new QStatusBar;
    StatusBar->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Pages, 1);
    layout->addWidget(buttons);
    layout->addWidget(StatusBar);
    resize(640, 560);

    // the first criterion of the page in front gets the focus once the dialog is up
    QTimer::singleShot(100, this, [this] {
        (Pages->currentIndex() == 0 ? static_cast<QWidget *>(HandleCombo) : TitleWordCombo)->setFocus();
    });
}

QTreeWidget *TAboneDialog::NewList(const QStringList &columns)
{
    auto *list = new QTreeWidget;
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setSortingEnabled(true);
    list->sortByColumn(-1, Qt::AscendingOrder);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QTreeWidget::itemChanged, this, &TAboneDialog::ItemChanged);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint &pos) {
        QMenu menu;
        menu.addAction(QStringLiteral("全て選択(&A)"), this, [this] { CheckAll(true); });
        menu.addAction(QStringLiteral("全ての選択を解除(&C)"), this, [this] { CheckAll(false); });
        menu.exec(list->viewport()->mapToGlobal(pos));
    });
    return list;
}

QWidget *TAboneDialog::CreateResPage()
{
    ResListView = NewList({QStringLiteral("対象"), QStringLiteral("NO"), QStringLiteral("ハンドル"),
                           QStringLiteral("メール"), QStringLiteral("ID"), QStringLiteral("内容")});
    HandleCombo = NewCombo();
    HandleExact = new QRadioButton(QStringLiteral("完全一致"));
    HandlePartial = new QRadioButton(QStringLiteral("部分一致"));
    (TavuConfig->RESQUERYABONE_HANDLE == 0 ? HandleExact : HandlePartial)->setChecked(true);
    FromSpin = new QSpinBox;
    ToSpin = new QSpinBox;
    for (QSpinBox *spin : {FromSpin, ToSpin})
        spin->setRange(1, 9999);
    WordEdit = new QLineEdit;
    MailCombo = NewCombo();
    MailExact = new QRadioButton(QStringLiteral("完全一致"));
    MailPartial = new QRadioButton(QStringLiteral("部分一致"));
    (TavuConfig->RESQUERYABONE_MAIL == 0 ? MailExact : MailPartial)->setChecked(true);
    IDCombo = NewCombo();
    LengthSpin = new QSpinBox;
    LengthSpin->setRange(1, 1000);
    LengthSpin->setValue(5);

    auto *handleModes = new QWidget;
    auto *handleGroup = new QButtonGroup(handleModes);
    handleGroup->addButton(HandleExact);
    handleGroup->addButton(HandlePartial);
    auto *mailModes = new QWidget;
    auto *mailGroup = new QButtonGroup(mailModes);
    mailGroup->addButton(MailExact);
    mailGroup->addButton(MailPartial);

    auto *group = new QGroupBox(QStringLiteral("消去の条件"));
    auto *form = new QFormLayout(group);
    AddCriterion(form, QStringLiteral("ハンドル :"), Row({HandleCombo, HandleExact, HandlePartial}), this,
                 [this] { ApplyHandle(); });
    AddCriterion(form, QStringLiteral("レス番号 :"), Row({FromSpin, new QLabel(QStringLiteral("～")), ToSpin}), this,
                 [this] { ApplyNumber(); });
    AddCriterion(form, QStringLiteral("含まれる単語 :"), Row({WordEdit}), this, [this] { ApplyWord(); });
    AddCriterion(form, QStringLiteral("メールアドレス :"), Row({MailCombo, MailExact, MailPartial}), this,
                 [this] { ApplyMail(); });
    AddCriterion(form, QStringLiteral("ID :"), Row({IDCombo}), this, [this] { ApplyID(); });
    AddCriterion(form, QStringLiteral("文字数が"), Row({LengthSpin, new QLabel(QStringLiteral("文字以下"))}), this,
                 [this] { ApplyLength(); });

    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("あぼーんするレス :")));
    layout->addWidget(ResListView, 1);
    layout->addWidget(group);
    return page;
}

QWidget *TAboneDialog::CreateThreadPage()
{
    ThreadListView = NewList({QStringLiteral("対象"), QStringLiteral("タイトル"), QStringLiteral("レス数"),
                              QStringLiteral("取得数"), QStringLiteral("DAT")});
    titleWords = ComposerFiles::LoadLines(TitleWordFile);
    TitleWordCombo = NewCombo(titleWords);
    DatEdit = new QLineEdit;
    auto *group = new QGroupBox(QStringLiteral("消去の条件"));
    auto *form = new QFormLayout(group);
    AddCriterion(form, QStringLiteral("タイトルに含まれる単語 :"), Row({TitleWordCombo}), this, [this] { ApplyTitleWord(); });
    AddCriterion(form, QStringLiteral("DATナンバー :"), Row({DatEdit}), this, [this] { ApplyDatNumber(); });

    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(ThreadListView, 1);
    layout->addWidget(group);
    return page;
}

void TAboneDialog::SetResList(TResList *list)
{
    resRows = ResRows(*list);
    const QSignalBlocker blocker(ResListView);
    ResListView->clear();
    for (int i = 0; i < resRows.size(); ++i) {
        const TResRow &row = resRows.at(i);
        ResListView->addTopLevelItem(TickRows::NewRow({IdeographicBlank, QStringLiteral("%1").arg(row.Position, 4, 10, QLatin1Char('0')),
                                                       row.Handle, row.Mail, row.ID, row.Body},
                                                      i));
    }
    if (ResListView->topLevelItemCount() > 0)
        ResListView->setCurrentItem(ResListView->topLevelItem(ResListView->topLevelItemCount() - 1));
    HandleCombo->addItems(DistinctHandles(resRows));
    IDCombo->addItems(DistinctIDs(resRows));
    MailCombo->addItems(MailCandidates(resRows));
    for (QComboBox *combo : {HandleCombo, IDCombo, MailCombo})
        combo->setCurrentIndex(-1);
    Pages->setCurrentIndex(0);
}

void TAboneDialog::SetThreadList(TThreadItemList *list)
{
    threadList = list;
    threadRows = ThreadRows(*list);
    const QSignalBlocker blocker(ThreadListView);
    ThreadListView->clear();
    for (int i = 0; i < threadRows.size(); ++i) {
        const TThreadItem *item = threadRows.at(i).Item;
        QTreeWidgetItem *row = TickRows::NewRow({QStringLiteral("%1").arg(item->Number, 4, 10, QLatin1Char('0')), item->ShownTitle(),
                                                 QString::number(item->AGECOUNT), QString::number(item->COUNT), item->GetKey()},
                                                i);
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        row->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        ThreadListView->addTopLevelItem(row);
    }
    Pages->setCurrentIndex(1);
}

// ---- check marks ----

static QTreeWidget *CurrentList(const TAboneDialog &dialog)
{
    return dialog.Pages->currentIndex() == 0 ? dialog.ResListView : dialog.ThreadListView;
}

void TAboneDialog::ItemChanged(QTreeWidgetItem *row, int column)
{
    if (column != 0 || row->treeWidget() != ResListView)
        return;
    const QSignalBlocker blocker(ResListView);
    row->setText(0, row->checkState(0) == Qt::Checked ? EraseMark : QString(IdeographicBlank));
}

// The rows' check marks into the lists' check boxes.
void TAboneDialog::ShowChecks()
{
    for (QTreeWidget *list : {ResListView, ThreadListView}) {
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem *row = list->topLevelItem(i);
            const int index = row->data(0, Qt::UserRole).toInt();
            const bool checked = list == ResListView ? resRows.at(index).Checked : threadRows.at(index).Checked;
            row->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
        }
    }
}

// The check boxes into the rows.
void TAboneDialog::TakeChecks()
{
    for (QTreeWidget *list : {ResListView, ThreadListView}) {
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem *row = list->topLevelItem(i);
            const int index = row->data(0, Qt::UserRole).toInt();
            const bool checked = row->checkState(0) == Qt::Checked;
            if (list == ResListView)
                resRows[index].Checked = checked;
            else
                threadRows[index].Checked = checked;
        }
    }
}

void TAboneDialog::CheckAll(bool on)
{
    QTreeWidget *list = CurrentList(*this);
    TickRows::SetAll(list, on);
}

void TAboneDialog::ApplyRes(const TResCriterion &criterion)
{
    TakeChecks();
    CheckRows(resRows, criterion);
    ShowChecks();
}

TMatchMode TAboneDialog::HandleMode() const
{
    return HandleExact->isChecked() ? mmExact : mmPartial;
}

TMatchMode TAboneDialog::MailMode() const
{
    return MailExact->isChecked() ? mmExact : mmPartial;
}

void TAboneDialog::ApplyHandle() { ApplyRes(ByHandle(HandleCombo->currentText(), HandleMode())); }
void TAboneDialog::ApplyNumber() { ApplyRes(ByNumber(FromSpin->value(), ToSpin->value())); }
void TAboneDialog::ApplyWord() { ApplyRes(ByWord(WordEdit->text())); }
void TAboneDialog::ApplyMail() { ApplyRes(ByMail(MailCombo->currentText(), MailMode())); }
void TAboneDialog::ApplyID() { ApplyRes(ByID(IDCombo->currentText())); }
void TAboneDialog::ApplyLength() { ApplyRes(ByLength(LengthSpin->value())); }

void TAboneDialog::ApplyTitleWord()
{
    const QString word = TitleWordCombo->currentText();
    TakeChecks();
    CheckThreadRows(threadRows, word, QString());
    ShowChecks();
    if (ComposerFiles::PushHistory(titleWords, word)) {
        const QSignalBlocker blocker(TitleWordCombo);
        TitleWordCombo->clear();
        TitleWordCombo->addItems(titleWords);
        TitleWordCombo->setCurrentText(word);
    }
}

void TAboneDialog::ApplyDatNumber()
{
    TakeChecks();
    CheckThreadRows(threadRows, QString(), DatEdit->text().trimmed());
    ShowChecks();
}

// ---- OK ----

void TAboneDialog::Log(const QString &line)
{
    if (OnLog)
        OnLog(this, line);
}

void TAboneDialog::OKButtonClick()
{
    TakeChecks();
    const TLog log = [this](const QString &line) { Log(line); };
    if (Pages->currentIndex() == 0) {
        erased = EraseCheckedRes(resRows, OnLog ? log : TLog());
        TavuConfig->RESQUERYABONE_HANDLE = HandleMode();
        TavuConfig->RESQUERYABONE_MAIL = MailMode();
    } else if (threadList) {
        erased = EraseCheckedThreads(threadRows, *threadList, OnLog ? log : TLog());
        ComposerFiles::SaveLines(TitleWordFile, titleWords);
    }
    accept();
}
