#include "settings/BeProfileDialog.h"

#include "boards/Be2chManager.h"
#include "controls/HeaderFrame.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TBeProfileDialog::TBeProfileDialog(TBe2chManager &manager, QWidget *parent) : QDialog(parent), manager(manager)
{
    setWindowTitle(QStringLiteral("Be プロフィール設定画面"));
    auto *layout = new QVBoxLayout(this);
    HeaderFrame = new THeaderFrame(this);
    HeaderFrame->SetTitle(QStringLiteral("Be@2ch プロフィール設定"));
    layout->addWidget(HeaderFrame);

    auto *form = new QFormLayout;
    PointsEdit = new QLineEdit(this);
    PointsEdit->setReadOnly(true);
    RankEdit = new QLineEdit(this);
    RankEdit->setReadOnly(true);
    NameEdit = new QLineEdit(this);
    IntroMemo = new QPlainTextEdit(this);
    form->addRow(QStringLiteral("残りモリタポ ："), PointsEdit);
    form->addRow(QStringLiteral("評価 ："), RankEdit);
    form->addRow(QStringLiteral("名前 ："), NameEdit);
    form->addRow(QStringLiteral("紹介文 ："), IntroMemo);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル(&C)"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // The dialog shows whatever the page gave; the manager reports a failed request itself.
    TBeProfile profile;
    manager.LoadProfileForm(profile);
    PointsEdit->setText(profile.Points);
    RankEdit->setText(profile.Rank);
    NameEdit->setText(profile.Name);
    IntroMemo->setPlainText(profile.Introduction);
}

void TBeProfileDialog::accept()
{
    TBeProfile profile;
    profile.Points = PointsEdit->text();
    profile.Rank = RankEdit->text();
    profile.Name = NameEdit->text();
    profile.Introduction = IntroMemo->toPlainText();
    manager.SaveProfile(profile);
    QDialog::accept();
}
