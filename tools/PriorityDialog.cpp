#include "tools/PriorityDialog.h"

#include "controls/HeaderFrame.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

TPriorityDialog::TPriorityDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("重要度"));
    Header = new THeaderFrame;
    Header->SetTitle(QStringLiteral("重要度の設定"));
    TrackBar = new QSlider(Qt::Horizontal);
    TrackBar->setRange(0, 100);
    TrackBar->setTickPosition(QSlider::TicksBothSides);
    TrackBar->setTickInterval(10);
    TrackBar->setSingleStep(3);
    ValueLabel = new QLabel(QStringLiteral("0"));
    ValueLabel->setMinimumWidth(40);
    connect(TrackBar, &QSlider::valueChanged, this,
            [this](int value) { ValueLabel->setText(QString::number(value)); });

    auto *buttons = new QDialogButtonBox;
    OKButton = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    CancelButton = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("重要度 :")));
    row->addWidget(TrackBar, 1);
    row->addWidget(ValueLabel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Header);
    layout->addLayout(row);
    layout->addWidget(buttons);
    resize(360, 160);
}

void TPriorityDialog::SetPriority(int value)
{
    if (value > TrackBar->maximum())
        TrackBar->setMaximum(value);
    if (value < TrackBar->minimum())
        TrackBar->setMinimum(value);
    TrackBar->setValue(value);
    ValueLabel->setText(QString::number(value));
}

int TPriorityDialog::GetPriority() const
{
    return TrackBar->value();
}
