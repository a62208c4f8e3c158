#include "tools/NewThreadDialog.h"

#include "services/ComposerFiles.h"

#include "core/BBS.h"
#include "core/Board.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TNewThreadDialog::TNewThreadDialog(QWidget *parent)
    : TSendDialog(parent)
{
    setObjectName(QStringLiteral("NewThreadDialog"));
    setWindowTitle(QStringLiteral("スレッドをたてる"));
    auto *bar = new QWidget(this);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(6, 4, 6, 2);   // the label clear of the window's edge
    Title = new QLineEdit(bar);
    Password = new QComboBox(bar);
    Password->setEditable(true);
    Password->setInsertPolicy(QComboBox::NoInsert);
    Password->setEnabled(false);
    layout->addWidget(new QLabel(QStringLiteral("タイトル"), bar));
    layout->addWidget(Title, 3);
    layout->addWidget(new QLabel(QStringLiteral("パスワード"), bar));
    layout->addWidget(Password, 1);
    CentralLayout->insertWidget(0, bar);
    SaveHandleItem->setVisible(false);
}

void TNewThreadDialog::SetBoard(TBoard *target)
{
    board = target;
    const quint8 flags = board && board->BBS ? board->BBS->ThreadFlags : 0;
    SetSwitchesAllowed(flags & TBBS::THREAD_SAGE, flags & TBBS::THREAD_PRE, flags & TBBS::THREAD_FIXED);
    Password->setEnabled(flags & TBBS::THREAD_PASSWORD);
    LoadHandleHistories();
    ApplyDefaultHandles(board && board->Site ? board->Site->SITEID : QString(), board ? board->ID : QString());
    ShowCurrentHandle();
}

void TNewThreadDialog::actSendExecute()
{
    RaiseSend();
}

void TNewThreadDialog::SaveHistory()
{
    WritePostLog();
    RecordHandleHistories();
    TavuConfig->DESKTOP_SENDWIN_SAVEHANDLE = CheckBox1->isChecked();
}

QString TNewThreadDialog::GetPostLogFile() const
{
    return ComposerFiles::ProfileFile(ComposerFiles::ThreadLogFile());
}

void TNewThreadDialog::WritePostLog()
{
    ComposerFiles::TPostLogEntry entry = NewPostLogEntry();
    entry.Title = Title->text();
    entry.HasPassword = Password->isEnabled();
    entry.Password = Password->currentText();
    ComposerFiles::PrependPostLog(GetPostLogFile(), entry);
}

// The preview shows the new thread as a thread of the board with the title being written.
void TNewThreadDialog::UpdatePreview(TTavuBrowser *preview)
{
    if (!board)
        return;
    auto *thread = new TThreadItem;
    thread->Site = board->Site;
    thread->BoardID = board->ID;
    thread->BBS = board->BBS;
    thread->SetBoard(board);
    thread->TITLE = Title->text();
    RenderPreview(preview, thread, thread->TITLE);
    thread->Release();
}
