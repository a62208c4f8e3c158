#include "tools/NGWordDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TNGWordDialog::TNGWordDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("NGワードの一括登録"));
    auto *text = new QLabel(QStringLiteral("レスに対する消去アクションを一括登録します。以下の入力欄に消去する文字列を"
                                           "記述して、OK をクリックしてください。"));
    text->setWordWrap(true);
    Memo = new QPlainTextEdit;
    PopupHideCheck = new QCheckBox(QStringLiteral(">>n ポップアップでも非表示"));
    ChainCheck = new QCheckBox(QStringLiteral("連鎖消去"));

    auto *buttons = new QDialogButtonBox;
    OKButton = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    CancelButton = buttons->addButton(QStringLiteral("キャンセル(&C)"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(Memo);
    layout->addWidget(PopupHideCheck);
    layout->addWidget(ChainCheck);
    layout->addWidget(buttons);
    resize(420, 360);
}
