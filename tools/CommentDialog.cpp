#include "tools/CommentDialog.h"

#include "controls/Dialogs.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TCommentDialog::TCommentDialog(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("コメント編集"));
    Memo = new QPlainTextEdit;
    auto *buttons = new QDialogButtonBox;
    OKButton = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    CancelButton = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(OKButton, &QPushButton::clicked, this, &TCommentDialog::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo);
    layout->addWidget(buttons);
    setSizeGripEnabled(true);
}

TCommentDialog::~TCommentDialog()
{
    if (item)
        item->Release();
}

void TCommentDialog::SetThreadItem(TThreadItem *newItem)
{
    if (newItem)
        newItem->AddRef();
    if (item)
        item->Release();
    item = newItem;
    setWindowTitle(QStringLiteral("メモの編集：") + (item ? item->ShownTitle() : QString()));
    Memo->setPlainText(item ? item->COMMENT : QString());
}

void TCommentDialog::OKButtonClick()
{
    if (item) {
        item->COMMENT = Memo->toPlainText();
        if (!item->SaveInfo()) {
            Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("コメントを保存できませんでした。"));
            return;
        }
        if (OnSaved)
            OnSaved(this, item);
    }
    accept();
}

void TCommentDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (TavuConfig)
        setGeometry(TavuConfig->DESKTOP_COMMENTWIN_LEFT, TavuConfig->DESKTOP_COMMENTWIN_TOP,
                    TavuConfig->DESKTOP_COMMENTWIN_WIDTH, TavuConfig->DESKTOP_COMMENTWIN_HEIGHT);
    Memo->setFocus();
}

void TCommentDialog::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!TavuConfig)
        return;
    TavuConfig->DESKTOP_COMMENTWIN_LEFT = geometry().left();
    TavuConfig->DESKTOP_COMMENTWIN_TOP = geometry().top();
    TavuConfig->DESKTOP_COMMENTWIN_WIDTH = width();
    TavuConfig->DESKTOP_COMMENTWIN_HEIGHT = height();
}
