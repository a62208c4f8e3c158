#include "tools/HandleDialog.h"

#include "services/ComposerFiles.h"

#include "controls/Dialogs.h"
#include "controls/HeaderFrame.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Exceptions.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Board rows: "[site] category", board name, handle, mail.
enum { colBoardCategory, colBoardName, colBoardHandle, colBoardMail };
// Thread rows: title text, handle, mail.
enum { colThreadText, colThreadHandle, colThreadMail };

QComboBox *NewCombo(QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

QTreeWidget *NewList(QWidget *parent, const QStringList &captions)
{
    auto *list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setHeaderLabels(captions);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

// Adds a non-empty text to each combo box that does not list it yet.
void AddChoice(const QString &text, std::initializer_list<QComboBox *> combos)
{
    if (text.isEmpty())
        return;
    for (QComboBox *combo : combos) {
        if (combo->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0)
            combo->addItem(text);
    }
}

TBoard *BoardOf(const QTreeWidgetItem *row)
{
    return static_cast<TBoard *>(row->data(colBoardCategory, Qt::UserRole).value<void *>());
}

}  // namespace

THandleDialog::THandleDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("HandleDialog"));
    setWindowTitle(QStringLiteral("ハンドル設定"));
    auto *layout = new QVBoxLayout(this);
    Header = new THeaderFrame(this);
    Header->SetTitle(QStringLiteral("固定ハンドルの設定"));
    layout->addWidget(Header);
    PageControl1 = new QTabWidget(this);
    PageControl1->addTab(CreateBoardPage(), QStringLiteral("板別ハンドル"));
    PageControl1->addTab(CreateThreadPage(), QStringLiteral("スレッド別ハンドル"));
    PageControl1->addTab(CreateDefaultPage(), QStringLiteral("デフォルトハンドル"));
    layout->addWidget(PageControl1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn2 = new QPushButton(QStringLiteral("キャンセル"), this);
    BitBtn1->setDefault(true);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    layout->addLayout(buttons);
    connect(BitBtn1, &QPushButton::clicked, this, &THandleDialog::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    const QStringList names = ComposerFiles::LoadLines(ComposerFiles::NameLogFile());
    const QStringList mails = ComposerFiles::LoadLines(ComposerFiles::MailLogFile());
    ThreadHandle->addItems(names);
    DefaultHandle->addItems(names);
    ThreadMail->addItems(mails);
    DefaultMail->addItems(mails);
    FillBoards();
    FillThreads();
    for (QComboBox *combo : {BoardHandle, BoardMail, ThreadHandle, ThreadMail})
        combo->setCurrentIndex(-1);
    DefaultHandle->setEditText(TavuConfig->GLOBALHANDLE);
    DefaultMail->setEditText(TavuConfig->GLOBALMAIL);
    resize(560, 440);
}

QWidget *THandleDialog::CreateBoardPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    BoardList = NewList(page, {QStringLiteral("[BBS] カテゴリ"), QStringLiteral("板"), QStringLiteral("ハンドル名"),
                               QStringLiteral("メール")});
    layout->addWidget(BoardList, 1);
    auto *form = new QFormLayout;
    BoardHandle = NewCombo(page);
    BoardMail = NewCombo(page);
    form->addRow(QStringLiteral("ハンドル名"), BoardHandle);
    form->addRow(QStringLiteral("メール"), BoardMail);
    layout->addLayout(form);
    ApplyButton = new QPushButton(QStringLiteral("適用"), page);
    layout->addWidget(ApplyButton, 0, Qt::AlignRight);
    connect(BoardList, &QTreeWidget::currentItemChanged, this, &THandleDialog::BoardListClick);
    connect(ApplyButton, &QPushButton::clicked, this, &THandleDialog::ApplyButtonClick);
    return page;
}

QWidget *THandleDialog::CreateThreadPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    ThreadList = NewList(page, {QStringLiteral("スレッド名"), QStringLiteral("ハンドル名"), QStringLiteral("メール")});
    layout->addWidget(ThreadList, 1);
    auto *form = new QFormLayout;
    ThreadText = new QLineEdit(page);
    ThreadHandle = NewCombo(page);
    ThreadMail = NewCombo(page);
    form->addRow(QStringLiteral("スレッド名に含まれる文字列"), ThreadText);
    form->addRow(QStringLiteral("ハンドル名"), ThreadHandle);
    form->addRow(QStringLiteral("メール"), ThreadMail);
    layout->addLayout(form);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    AddButton = new QPushButton(QStringLiteral("追加"), page);
    ReplaceButton = new QPushButton(QStringLiteral("置換"), page);
    DeleteButton = new QPushButton(QStringLiteral("削除"), page);
    buttons->addWidget(AddButton);
    buttons->addWidget(ReplaceButton);
    buttons->addWidget(DeleteButton);
    layout->addLayout(buttons);
    connect(ThreadList, &QTreeWidget::currentItemChanged, this, &THandleDialog::ThreadListClick);
    connect(AddButton, &QPushButton::clicked, this, &THandleDialog::AddButtonClick);
    connect(ReplaceButton, &QPushButton::clicked, this, &THandleDialog::ReplaceButtonClick);
    connect(DeleteButton, &QPushButton::clicked, this, &THandleDialog::DeleteButtonClick);
    return page;
}

QWidget *THandleDialog::CreateDefaultPage()
{
    auto *page = new QWidget;
    auto *layout = new QFormLayout(page);
    DefaultHandle = NewCombo(page);
    DefaultMail = NewCombo(page);
    layout->addRow(QStringLiteral("ハンドル名"), DefaultHandle);
    layout->addRow(QStringLiteral("メール"), DefaultMail);
    return page;
}

void THandleDialog::FillBoards()
{
    TSiteList *sites = TavuEnviron->SiteList();
    for (int s = 0; s < sites->Count(); ++s) {
        TSite *site = sites->Get(s);
        const QIcon icon(site->FindFile(QStringLiteral("icon.bmp")));
        for (int b = 0; b < site->Boards->Count(); ++b) {
            TBoard *board = site->Boards->Get(b);
            const ComposerFiles::TBoardHandle fixed = ComposerFiles::LookupBoardHandle(site->SITEID, board->ID);
            auto *row = new QTreeWidgetItem(BoardList, {QStringLiteral("[") + site->NAME + QStringLiteral("] ") + board->Category,
                                                        board->Name, fixed.Handle, fixed.Mail});
            row->setIcon(colBoardCategory, icon);
            row->setData(colBoardCategory, Qt::UserRole, QVariant::fromValue<void *>(board));
            AddChoice(fixed.Handle, {BoardHandle, ThreadHandle});
            AddChoice(fixed.Mail, {BoardMail, ThreadMail});
        }
    }
}

void THandleDialog::FillThreads()
{
    for (const ComposerFiles::TThreadHandle &h : ComposerFiles::LoadThreadHandles()) {
        new QTreeWidgetItem(ThreadList, {h.Text, h.Handle, h.Mail});
        AddChoice(h.Handle, {ThreadHandle});
        AddChoice(h.Mail, {ThreadMail});
    }
}

void THandleDialog::BoardListClick(QTreeWidgetItem *row)
{
    if (!row)
        return;
    BoardHandle->setEditText(row->text(colBoardHandle));
    BoardMail->setEditText(row->text(colBoardMail));
}

void THandleDialog::ApplyButtonClick()
{
    if (QTreeWidgetItem *row = BoardList->currentItem()) {
        row->setText(colBoardHandle, BoardHandle->currentText());
        row->setText(colBoardMail, BoardMail->currentText());
    }
}

void THandleDialog::ThreadListClick(QTreeWidgetItem *row)
{
    if (!row)
        return;
    ThreadText->setText(row->text(colThreadText));
    ThreadHandle->setEditText(row->text(colThreadHandle));
    ThreadMail->setEditText(row->text(colThreadMail));
}

void THandleDialog::SetThreadRow(QTreeWidgetItem *row) const
{
    row->setText(colThreadText, ThreadText->text());
    row->setText(colThreadHandle, ThreadHandle->currentText());
    row->setText(colThreadMail, ThreadMail->currentText());
}

void THandleDialog::AddButtonClick()
{
    SetThreadRow(new QTreeWidgetItem(ThreadList));
}

void THandleDialog::ReplaceButtonClick()
{
    if (QTreeWidgetItem *row = ThreadList->currentItem())
        SetThreadRow(row);
}

void THandleDialog::DeleteButtonClick()
{
    delete ThreadList->currentItem();
}

// A file that cannot be written is reported and the dialog stays open with the user's edits.
void THandleDialog::BitBtn1Click()
{
    QList<ComposerFiles::TBoardHandle> boards;
    for (int i = 0; i < BoardList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = BoardList->topLevelItem(i);
        const TBoard *board = BoardOf(row);
        boards.append({board->Site ? board->Site->SITEID : QString(), board->ID, row->text(colBoardHandle),
                       row->text(colBoardMail)});
    }
    QList<ComposerFiles::TThreadHandle> threads;
    for (int i = 0; i < ThreadList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = ThreadList->topLevelItem(i);
        threads.append({row->text(colThreadText), row->text(colThreadHandle), row->text(colThreadMail)});
    }
    try {
        ComposerFiles::SaveBoardHandles(boards);
        ComposerFiles::SaveThreadHandles(threads);
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return;
    }

    TavuConfig->GLOBALHANDLE = DefaultHandle->currentText();
    TavuConfig->GLOBALMAIL = DefaultMail->currentText();
    accept();
}
