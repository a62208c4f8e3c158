#include "tools/UrlDialog.h"

#include "core/TavuConfig.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TUrlDialog::TUrlDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("UrlDialog"));
    setWindowTitle(QStringLiteral("URLを開く"));
    auto *layout = new QVBoxLayout(this);
    auto *urlRow = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("&URL :"), this);
    UrlEdit = new QLineEdit(this);
    label->setBuddy(UrlEdit);
    urlRow->addWidget(label);
    urlRow->addWidget(UrlEdit, 1);
    layout->addLayout(urlRow);
    CrasherCheck = new QCheckBox(QStringLiteral("ブラクラチェックを行う(&X)"), this);
    ActivateTab = new QCheckBox(QStringLiteral("タブをアクティブにする(&A)"), this);
    CrasherCheck->setChecked(TavuConfig->URL_CHECKBROCRA);
    layout->addWidget(CrasherCheck);
    layout->addWidget(ActivateTab);

    auto *buttons = new QHBoxLayout;
    VarneloButton = new QPushButton(QStringLiteral("ヴァルネロで開く(&Z)"), this);
    BrowserButton = new QPushButton(QStringLiteral("ブラウザで開く(&B)"), this);
    QuickLookButton = new QPushButton(QStringLiteral("内容をちょっと見る(&M)..."), this);
    CancelButton = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    VarneloButton->setDefault(true);
    for (QPushButton *button : {VarneloButton, BrowserButton, QuickLookButton, CancelButton})
        buttons->addWidget(button);
    layout->addLayout(buttons);
    connect(VarneloButton, &QPushButton::clicked, this, [this] { Choose(OpenInVarnelo); });
    connect(BrowserButton, &QPushButton::clicked, this, [this] { Choose(OpenInBrowser); });
    connect(QuickLookButton, &QPushButton::clicked, this, [this] { Choose(QuickLook); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TUrlDialog::SetURL(const QString &url)
{
    UrlEdit->setText(url);
}

QString TUrlDialog::GetURL() const
{
    return UrlEdit->text();
}

bool TUrlDialog::GetCrasherCheck() const
{
    return CrasherCheck->isChecked();
}

bool TUrlDialog::GetActivateTab() const
{
    return ActivateTab->isChecked();
}

void TUrlDialog::SetNoCrasherCheck(bool on)
{
    NoCrasherCheck = on;
    if (on) {
        CrasherCheck->setChecked(false);
        CrasherCheck->setEnabled(false);
    }
}

void TUrlDialog::Choose(bool &flag)
{
    OpenInVarnelo = OpenInBrowser = QuickLook = false;
    flag = true;
    // A box switched off by SetNoCrasherCheck says nothing about the user's choice.
    if (CrasherCheck->isEnabled())
        TavuConfig->URL_CHECKBROCRA = CrasherCheck->isChecked();
    accept();
}
