#include "controls/HeaderFrame.h"

#include "core/TavuConfig.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>

THeaderFrame::THeaderFrame(QWidget *parent)
    : QFrame(parent),
      HeaderFramePanel(new QFrame(this)),
      HeaderLeftImage(new QLabel(HeaderFramePanel)),
      HeaderIcon(new QLabel(HeaderFramePanel)),
      HeaderLabel(new QLabel(QStringLiteral("タイトル"), HeaderFramePanel)),
      HeaderRightImage(new QLabel(HeaderFramePanel))
{
    setObjectName(QStringLiteral("HeaderFrame"));
    HeaderFramePanel->setObjectName(QStringLiteral("HeaderFramePanel"));
    HeaderFramePanel->setFrameShape(QFrame::StyledPanel);
    HeaderFramePanel->setAutoFillBackground(true);
    HeaderFramePanel->setBackgroundRole(QPalette::Base);

    QFont font = HeaderLabel->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    HeaderLabel->setFont(font);

    auto *inner = new QHBoxLayout(HeaderFramePanel);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->addWidget(HeaderLeftImage);
    inner->addWidget(HeaderIcon);
    inner->addWidget(HeaderLabel, 1);
    inner->addWidget(HeaderRightImage);

    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(HeaderFramePanel);

    LoadPicture(HeaderLeftImage, QStringLiteral("dialogl.bmp"));
    LoadPicture(HeaderRightImage, QStringLiteral("dialogr.bmp"));
}

void THeaderFrame::SetTitle(const QString &title)
{
    HeaderLabel->setText(title);
}

void THeaderFrame::SetIcon(const QPixmap &icon)
{
    HeaderIcon->setPixmap(icon);
}

void THeaderFrame::LoadPicture(QLabel *label, const QString &fileName)
{
    const QString path = TTavuConfig::AppDir() + QStringLiteral("resource/") + fileName;
    QPixmap picture;
    if (QFile::exists(path) && picture.load(path))
        label->setPixmap(picture);
}
