#include "tools/ActionDialog2.h"

#include "controls/Dialogs.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuAction.h"
#include "core/TavuEnviron.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

using RuleEditing::TBoardKey;
using RuleEditing::TRuleForm;

namespace {

const QString NoBoard = QStringLiteral("[無し]");

// The page of a condition: 0 LIKE, 1 SAME, then one per numeric condition.
constexpr int NumericConditions = TTavuAction::NONGETCOUNTGT - TTavuAction::LENGTHLT + 1;

QColor ToQColor(TColor color)
{
    return QColor::fromRgba(ColorToQColor(color));
}

TColor FromQColor(const QColor &color)
{
    return TColor(color.red() | (color.green() << 8) | (color.blue() << 16));
}

QWidget *LabelledPage(const QString &caption, QWidget *editor, const QString &note = QString())
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(caption));
    layout->addWidget(editor);
    if (!note.isEmpty())
        layout->addWidget(new QLabel(note));
    layout->addStretch();
    return page;
}

QSpinBox *NumberBox(int maximum)
{
    auto *box = new QSpinBox;
    box->setRange(0, maximum);
    return box;
}

TBoardKey RowBoard(const QTreeWidgetItem *row)
{
    return TBoardKey(row->data(0, Qt::UserRole).toString(), row->data(1, Qt::UserRole).toString());
}

}  // namespace

TActionDialog2::TActionDialog2(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("アクションの設定"));
    PageControl = new QTabWidget;
    PageControl->addTab(CreateActionPage(), QStringLiteral("アクション"));
    PageControl->addTab(CreateBoardPage(), QStringLiteral("有効にする板"));

    auto *buttons = new QDialogButtonBox;
    OKButton = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    CancelButton = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(OKButton, &QPushButton::clicked, this, &TActionDialog2::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addWidget(buttons);
    resize(480, 440);
}

QWidget *TActionDialog2::CreateActionPage()
{
    TargetList = new QListWidget;
    TargetList->setMaximumHeight(90);
    ConditionCombo = new QComboBox;
    ActionCombo = new QComboBox;
    NewThreadOnlyCheck = new QCheckBox(QStringLiteral("新着スレッドのみ対象(&N)"));
    CommentEdit = new QLineEdit;
    ExpireEdit = NumberBox(99999);
    HitLabel = new QLabel;

    auto *expiry = new QHBoxLayout;
    expiry->addWidget(ExpireEdit);
    expiry->addWidget(new QLabel(QStringLiteral("日間有効 （ゼロは無期限）")));
    expiry->addStretch();

    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    form->addRow(QStringLiteral("対象 :"), TargetList);
    form->addRow(QStringLiteral("条件 :"), ConditionCombo);
    form->addRow(QString(), CreateConditionPages());
    form->addRow(QStringLiteral("動作 :"), ActionCombo);
    form->addRow(QString(), CreateActionPages());
    form->addRow(QString(), NewThreadOnlyCheck);
    form->addRow(QStringLiteral("コメント :"), CommentEdit);
    form->addRow(QStringLiteral("有効期限 :"), expiry);
    form->addRow(QString(), HitLabel);

    connect(ConditionCombo, &QComboBox::currentIndexChanged, ConditionPages, &QStackedWidget::setCurrentIndex);
    connect(ActionCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        const int code = RuleEditing::KindOf(threadRule).ActionCodes.value(index, TTavuAction::POPUP);
        const int pages[] = {0, 1, 4, 4, 4, 4, 2, 4, 4, 4, 3};
        ActionPages->setCurrentIndex(code >= 0 && code <= TTavuAction::SETPRIORITY ? pages[code] : 4);
    });
    return page;
}

QWidget *TActionDialog2::CreateConditionPages()
{
    LikeEdit = new QPlainTextEdit;
    SameEdit = new QPlainTextEdit;
    ConditionPages = new QStackedWidget;
    ConditionPages->addWidget(LabelledPage(QStringLiteral("含まれる文字"), LikeEdit));
    ConditionPages->addWidget(LabelledPage(QStringLiteral("含まれる文字"), SameEdit));
    const QString captions[NumericConditions] = {QStringLiteral("文字数"), QStringLiteral("文字数"),
                                                 QStringLiteral("レス数"), QStringLiteral("日数"),
                                                 QStringLiteral("レス数")};
    for (int i = 0; i < NumericConditions; ++i) {
        NumberEdits << NumberBox(999999);
        const bool last = i == NumericConditions - 1;
        ConditionPages->addWidget(LabelledPage(
            captions[i], NumberEdits.last(),
            last ? QStringLiteral("※対象は「最終読込日」にチェックを入れてください。") : QString()));
    }
    ConditionPages->setMaximumHeight(110);
    return ConditionPages;
}

QWidget *TActionDialog2::CreateActionPages()
{
    PopupHideCheck = new QCheckBox(QStringLiteral(">>n ポップアップでも非表示"));
    ChainCheck = new QCheckBox(QStringLiteral("連鎖消去"));
    auto *abone = new QWidget;
    auto *aboneLayout = new QVBoxLayout(abone);
    aboneLayout->setContentsMargins(0, 0, 0, 0);
    aboneLayout->addWidget(PopupHideCheck);
    aboneLayout->addWidget(ChainCheck);
    aboneLayout->addStretch();

    ReplaceEdit = new QPlainTextEdit;

    ColorSwatch = new QLabel;
    ColorSwatch->setFixedSize(48, 20);
    ColorSwatch->setFrameShape(QFrame::Box);
    ColorButton = new QPushButton(QStringLiteral("･･"));
    ColorButton->setFixedWidth(32);
    connect(ColorButton, &QPushButton::clicked, this, &TActionDialog2::ColorButtonClick);
    auto *colour = new QWidget;
    auto *colourLayout = new QHBoxLayout(colour);
    colourLayout->setContentsMargins(0, 0, 0, 0);
    colourLayout->addWidget(ColorSwatch);
    colourLayout->addWidget(ColorButton);
    colourLayout->addStretch();
    SetColor(clRed);

    PriorityEdit = NumberBox(10);

    ActionPages = new QStackedWidget;
    ActionPages->addWidget(abone);                                                      // 0 ABONE
    ActionPages->addWidget(LabelledPage(QStringLiteral("置き換える文字"), ReplaceEdit));  // 1 REPLACE
    ActionPages->addWidget(colour);                                                     // 2 SETCOLOR
    ActionPages->addWidget(LabelledPage(QStringLiteral("重要度 :"), PriorityEdit));      // 3 SETPRIORITY
    ActionPages->addWidget(new QWidget);                                                // 4 the others
    ActionPages->setMaximumHeight(110);
    return ActionPages;
}

QWidget *TActionDialog2::CreateBoardPage()
{
    BoardInViewRadio = new QRadioButton(QStringLiteral("現在表示している板"));
    BoardInViewLabel = new QLabel(NoBoard);
    FromListRadio = new QRadioButton(QStringLiteral("以下の一覧から選択"));
    AllBoardsCheck = new QCheckBox(QStringLiteral("全部の板で有効(&A)"));
    BoardList = new QTreeWidget;
    BoardList->setHeaderLabels({QStringLiteral("BBS"), QStringLiteral("板")});
    BoardList->setRootIsDecorated(false);

    connect(BoardInViewRadio, &QRadioButton::toggled, this, &TActionDialog2::UpdateBoardChoice);
    connect(AllBoardsCheck, &QCheckBox::clicked, this, &TActionDialog2::AllBoardsClick);

    auto *inView = new QHBoxLayout;
    inView->addWidget(BoardInViewRadio);
    inView->addWidget(BoardInViewLabel);
    inView->addStretch();
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(inView);
    layout->addWidget(FromListRadio);
    layout->addWidget(AllBoardsCheck);
    layout->addWidget(BoardList);
    return page;
}

// ---- preparing ----

void TActionDialog2::SetKind(bool thread)
{
    threadRule = thread;
    const RuleEditing::TRuleKind &kind = RuleEditing::KindOf(thread);
    TargetList->clear();
    for (int i = 0; i < kind.TargetCaptions.size(); ++i) {
        auto *line = new QListWidgetItem(kind.TargetCaptions.at(i), TargetList);
        line->setData(Qt::UserRole, kind.TargetBits.at(i));
        line->setCheckState(Qt::Unchecked);
    }
    ConditionCombo->clear();
    ConditionCombo->addItems(kind.ConditionCaptions);
    ActionCombo->clear();
    ActionCombo->addItems(kind.ActionCaptions);
    NewThreadOnlyCheck->setVisible(thread);
    PageControl->setCurrentIndex(0);
    FillBoardList();
}

void TActionDialog2::FillBoardList()
{
    BoardList->clear();
    const TSiteList *sites = TavuEnviron ? TavuEnviron->SiteList() : nullptr;
    for (int i = 0; sites && i < sites->Count(); ++i) {
        const TSite *site = sites->Get(i);
        for (int j = 0; j < site->Boards->Count(); ++j) {
            const TBoard *board = site->Boards->Get(j);
            auto *row = new QTreeWidgetItem(BoardList, {site->NAME, board->Name});
            row->setData(0, Qt::UserRole, site->SITEID);
            row->setData(1, Qt::UserRole, board->ID);
            row->setCheckState(0, Qt::Unchecked);
        }
    }
}

void TActionDialog2::ShowBoardInView(const TBoard *board)
{
    hasBoardInView = board && board->Site;
    boardInView = hasBoardInView ? TBoardKey(board->Site->SITEID, board->ID) : TBoardKey();
    BoardInViewLabel->setText(hasBoardInView ? QStringLiteral("[") + board->Name + QStringLiteral("]") : NoBoard);
}

void TActionDialog2::SetupNew(TTavuAction *newRule, bool thread, const QString &siteId, const QString &boardId)
{
    rule = newRule;
    SetKind(thread);
    TRuleForm form;
    const QString clip = QApplication::clipboard()->text();
    form.LikeText = clip.trimmed();
    form.SameText = clip;
    SetForm(form);   // "[無し]", from the list, nothing checked
    ShowBoardInView(nullptr);

    const TSite *site = TavuEnviron && TavuEnviron->SiteList() ? TavuEnviron->SiteList()->FindBySiteID(siteId) : nullptr;
    if (site) {
        const TBoard *board = site->Boards->FindByID(boardId);
        if (!board && ViewedBoard)
            board = ViewedBoard();
        ShowBoardInView(board);
        if (hasBoardInView) {
            BoardInViewRadio->setChecked(true);
            AllBoardsCheck->setChecked(false);
            CheckBoards([this](const TBoardKey &key) { return key == boardInView; });
        }
    }
    if (boardId == TTargetBoard::AllSites()) {
        FromListRadio->setChecked(true);
        AllBoardsClick(true);
    }
    UpdateBoardChoice();
    HitLabel->clear();
}

void TActionDialog2::SetupEdit(TTavuAction *editRule, bool thread)
{
    rule = editRule;
    SetKind(thread);
    ShowBoardInView(ViewedBoard ? ViewedBoard() : nullptr);
    SetForm(RuleEditing::ReadRule(*rule, thread));
    HitLabel->setText(QStringLiteral("ヒット回数 : %1  最終ヒット日時 : %2").arg(rule->HitCount).arg(rule->LastHitDate));
}

void TActionDialog2::SetForm(const TRuleForm &form)
{
    for (int i = 0; i < TargetList->count(); ++i) {
        QListWidgetItem *line = TargetList->item(i);
        line->setCheckState(form.Targets & line->data(Qt::UserRole).toInt() ? Qt::Checked : Qt::Unchecked);
    }
    ConditionCombo->setCurrentIndex(qBound(0, form.Condition, ConditionCombo->count() - 1));
    ConditionPages->setCurrentIndex(ConditionCombo->currentIndex());
    LikeEdit->setPlainText(form.LikeText);
    SameEdit->setPlainText(form.SameText);
    for (QSpinBox *box : NumberEdits)
        box->setValue(0);
    const int numberPage = form.Condition - TTavuAction::LENGTHLT;
    if (numberPage >= 0 && numberPage < NumberEdits.size())
        NumberEdits.at(numberPage)->setValue(form.Number);

    ActionCombo->setCurrentIndex(-1);
    ActionCombo->setCurrentIndex(qBound(0, form.ActionIndex, ActionCombo->count() - 1));
    PopupHideCheck->setChecked(form.PopupHide);
    ChainCheck->setChecked(form.Chain);
    ReplaceEdit->setPlainText(form.ReplaceText);
    SetColor(form.Color);
    PriorityEdit->setValue(form.Priority);
    NewThreadOnlyCheck->setChecked(form.NewThreadOnly);
    CommentEdit->setText(form.Comment);
    ExpireEdit->setValue(form.ExpireDays);

    BoardInViewRadio->setChecked(form.BoardChoice == RuleEditing::bcBoardInView);
    FromListRadio->setChecked(form.BoardChoice == RuleEditing::bcFromList);
    AllBoardsCheck->setChecked(form.AllBoards);
    if (form.AllBoards)
        CheckBoards([](const TBoardKey &) { return true; });
    else
        CheckBoards([&form](const TBoardKey &key) { return form.CheckedBoards.contains(key); });
    UpdateBoardChoice();
}

TRuleForm TActionDialog2::Form() const
{
    TRuleForm form;
    for (int i = 0; i < TargetList->count(); ++i) {
        const QListWidgetItem *line = TargetList->item(i);
        if (line->checkState() == Qt::Checked)
            form.Targets |= line->data(Qt::UserRole).toInt();
    }
    form.Condition = ConditionCombo->currentIndex();
    form.LikeText = LikeEdit->toPlainText();
    form.SameText = SameEdit->toPlainText();
    const int numberPage = form.Condition - TTavuAction::LENGTHLT;
    if (numberPage >= 0 && numberPage < NumberEdits.size())
        form.Number = NumberEdits.at(numberPage)->value();
    form.ActionIndex = ActionCombo->currentIndex();
    form.PopupHide = PopupHideCheck->isChecked();
    form.Chain = ChainCheck->isChecked();
    form.ReplaceText = ReplaceEdit->toPlainText();
    form.Color = swatchColor;
    form.Priority = PriorityEdit->value();
    form.NewThreadOnly = NewThreadOnlyCheck->isChecked();
    form.Comment = CommentEdit->text();
    form.ExpireDays = ExpireEdit->value();
    form.BoardChoice = BoardInViewRadio->isChecked() ? RuleEditing::bcBoardInView : RuleEditing::bcFromList;
    form.HasBoardInView = hasBoardInView;
    form.BoardInView = boardInView;
    form.AllBoards = AllBoardsCheck->isChecked();
    for (int i = 0; i < BoardList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = BoardList->topLevelItem(i);
        if (row->checkState(0) == Qt::Checked)
            form.CheckedBoards << RowBoard(row);
    }
    return form;
}

// ---- controls ----

void TActionDialog2::OKButtonClick()
{
    if (rule)
        RuleEditing::WriteRule(Form(), threadRule, *rule, QDateTime::currentDateTime());
    accept();
}

void TActionDialog2::ColorButtonClick()
{
    QColorDialog dialog(ToQColor(swatchColor), this);
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted)
        SetColor(FromQColor(dialog.selectedColor()));
}

void TActionDialog2::SetColor(TColor color)
{
    swatchColor = color;
    ColorSwatch->setStyleSheet(QStringLiteral("background-color: %1;").arg(ToQColor(color).name()));
}

void TActionDialog2::CheckBoards(const std::function<bool(const TBoardKey &)> &checked)
{
    for (int i = 0; i < BoardList->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = BoardList->topLevelItem(i);
        row->setCheckState(0, checked(RowBoard(row)) ? Qt::Checked : Qt::Unchecked);
    }
}

void TActionDialog2::AllBoardsClick(bool checked)
{
    AllBoardsCheck->setChecked(checked);
    CheckBoards([checked](const TBoardKey &) { return checked; });
    if (checked)
        FromListRadio->setChecked(true);
    UpdateBoardChoice();
}

void TActionDialog2::UpdateBoardChoice()
{
    const bool fromList = FromListRadio->isChecked();
    BoardList->setEnabled(fromList);
    AllBoardsCheck->setEnabled(fromList);
    BoardInViewRadio->setEnabled(hasBoardInView);
}
