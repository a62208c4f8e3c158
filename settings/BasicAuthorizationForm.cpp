#include "settings/BasicAuthorizationForm.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "services/BasicAuthorization.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const TBoard *BoardOf(const QTreeWidgetItem *row)
{
    return row ? static_cast<const TBoard *>(row->data(0, Qt::UserRole).value<void *>()) : nullptr;
}

}  // namespace

TBasicAuthorizationForm::TBasicAuthorizationForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("ベーシック認証設定"));
    SiteBox = new QComboBox(this);
    BoardList = new QTreeWidget(this);
    BoardList->setRootIsDecorated(false);
    BoardList->setHeaderLabels({QStringLiteral("板"), QStringLiteral("ID"), QStringLiteral("ユーザ名")});
    UserEdit = new QLineEdit(this);
    PasswordEdit = new QLineEdit(this);
    PasswordEdit->setEchoMode(QLineEdit::Password);
    auto *apply = new QPushButton(QStringLiteral("適用"), this);
    auto *close = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    close->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &TBasicAuthorizationForm::ApplyClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(SiteBox, &QComboBox::currentIndexChanged, this, &TBasicAuthorizationForm::SiteChange);
    connect(BoardList, &QTreeWidget::currentItemChanged, this, &TBasicAuthorizationForm::BoardSelect);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&BBS :"), SiteBox);
    form->addRow(BoardList);
    form->addRow(QStringLiteral("ユーザＩＤ"), UserEdit);
    form->addRow(QStringLiteral("パスワード"), PasswordEdit);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form, 1);
    layout->addLayout(buttons);

    if (TavuEnviron) {
        for (int i = 0; i < TavuEnviron->SiteList()->Count(); ++i) {
            TSite *site = TavuEnviron->SiteList()->Get(i);
            SiteBox->addItem(site->NAME, QVariant::fromValue(static_cast<void *>(site)));
        }
    }
    SiteChange();
    resize(480, 440);
}

void TBasicAuthorizationForm::SiteChange()
{
    BoardList->clear();
    const auto *site = static_cast<const TSite *>(SiteBox->currentData().value<void *>());
    if (!site)
        return;
    for (int i = 0; i < site->Boards->Count(); ++i) {
        TBoard *board = site->Boards->Get(i);
        auto *row = new QTreeWidgetItem(BoardList, {board->Name, board->ID, board->GetBasicAuthUserName()});
        row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void *>(board)));
    }
}

void TBasicAuthorizationForm::BoardSelect()
{
    const TBoard *board = BoardOf(BoardList->currentItem());
    UserEdit->setText(board ? board->GetBasicAuthUserName() : QString());
    PasswordEdit->setText(board ? board->GetBasicAuthPassword() : QString());
}

void TBasicAuthorizationForm::ApplyClick()
{
    QTreeWidgetItem *row = BoardList->currentItem();
    const TBoard *board = BoardOf(row);
    if (!board)
        return;
    BasicAuthorization::Apply(*board, UserEdit->text(), PasswordEdit->text());
    row->setText(2, board->GetBasicAuthUserName());
}
