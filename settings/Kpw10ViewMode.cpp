#include "settings/Kpw10ViewMode.h"

#include "controls/HeaderFrame.h"
#include "services/ViewModePreset.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TKpw10ViewMode::TKpw10ViewMode(TViewModePreset &preset, QWidget *parent) : QDialog(parent), preset(preset)
{
    setObjectName(QStringLiteral("Kpw10ViewMode"));
    setWindowTitle(QStringLiteral("ヴァルネロ1.0風味"));
    auto *layout = new QVBoxLayout(this);
    auto *header = new THeaderFrame(this);
    header->SetTitle(QStringLiteral("ヴァルネロ1.0風味にする"));
    layout->addWidget(header);
    auto *text = new QLabel(QStringLiteral("ツールバーの並びをヴァルネロ 1.0 風味に変換します。ポップアップメニューの内容はだいたいすべての"
                                           "機能が使えるようにカスタマイズされた状態に変換されます。ヴァルネロ 1.0 風味に変換しますか？"),
                            this);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto *undo = new QLabel(QStringLiteral("※チェックを外して OK を押すと、変換前のツールバー、ポップアップメニュー、"
                                           "ツールバーの配置とタブの位置に戻ります。"),
                            this);
    undo->setWordWrap(true);
    layout->addWidget(undo);
    CheckBox1 = new QCheckBox(QStringLiteral("ヴァルネロ 1.0 風味にする"), this);
    CheckBox1->setChecked(preset.IsActive());
    layout->addWidget(CheckBox1);
    auto *buttons = new QHBoxLayout;
    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    CloseButton = new QPushButton(QStringLiteral("閉じる(&X)"), this);
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CloseButton);
    layout->addLayout(buttons);
    connect(OKButton, &QPushButton::clicked, this, &TKpw10ViewMode::OKButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TKpw10ViewMode::OKButtonClick()
{
    if (CheckBox1->isChecked() != preset.IsActive()) {
        if (CheckBox1->isChecked())
            preset.Apply();
        else
            preset.Restore();
        changed = true;
    }
    accept();
}
