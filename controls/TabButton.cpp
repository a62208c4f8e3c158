#include "controls/TabButton.h"

#include <QMouseEvent>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <algorithm>

TTavuToolButton::TTavuToolButton(QWidget *parent) : QToolButton(parent), closeMark(new QToolButton(this))
{
    setCheckable(true);
    setAutoExclusive(true);
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    closeMark->setObjectName(QStringLiteral("CloseMark"));
    closeMark->setText(QStringLiteral("×"));
    closeMark->setToolTip(QStringLiteral("このタブを閉じる"));
    closeMark->setAutoRaise(true);
    closeMark->setFocusPolicy(Qt::NoFocus);
    closeMark->hide();
    connect(closeMark, &QToolButton::clicked, this, [this] {
        click();
        DoCloseClick();
    });
}

void TTavuToolButton::SetCloseMarkShown(bool shown)
{
    closeMark->setVisible(shown);
    PlaceCloseMark();
    updateGeometry();
    update();
}

int TTavuToolButton::CloseMarkWidth() const
{
    return closeMark->isHidden() ? 0 : closeMark->sizeHint().width();
}

QSize TTavuToolButton::sizeHint() const
{
    return QToolButton::sizeHint() + QSize(CloseMarkWidth(), 0);
}

// The button is drawn left of its close mark.
void TTavuToolButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.rect.setRight(option.rect.right() - CloseMarkWidth());
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
}

void TTavuToolButton::resizeEvent(QResizeEvent *event)
{
    QToolButton::resizeEvent(event);
    PlaceCloseMark();
}

void TTavuToolButton::PlaceCloseMark()
{
    const QSize mark = closeMark->sizeHint();
    const int markHeight = std::min(mark.height(), height());
    closeMark->setGeometry(width() - mark.width(), (height() - markHeight) / 2, mark.width(), markHeight);
}

void TTavuToolButton::DoCloseClick()
{
    if (OnCloseClick)
        OnCloseClick(this);
}

void TTavuToolButton::DoReloadClick()
{
    if (OnReloadClick)
        OnReloadClick(this);
}

void TTavuToolButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {   // its menu then acts on its tab
        click();
        event->accept();
        return;
    }
    if (event->button() == Qt::MiddleButton) {
        middlePressed = true;
        event->accept();
        return;
    }
    QToolButton::mousePressEvent(event);
}

void TTavuToolButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton) {
        const bool clicked = middlePressed && rect().contains(event->position().toPoint());
        middlePressed = false;
        event->accept();
        if (clicked)
            emit MiddleClicked(this);
        return;
    }
    QToolButton::mouseReleaseEvent(event);
}
