#include "controls/PageScroller.h"

#include <QEvent>
#include <QToolButton>

#include <algorithm>

namespace {

QToolButton *ArrowButton(Qt::ArrowType arrow, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->hide();
    return button;
}

}  // namespace

TPageScroller::TPageScroller(QWidget *parent)
    : QWidget(parent)
{
    viewport = new QWidget(this);
    viewport->installEventFilter(this);
    backButton = ArrowButton(Qt::LeftArrow, this);
    forwardButton = ArrowButton(Qt::RightArrow, this);
    connect(backButton, &QToolButton::clicked, this, [this] { SetPosition(position - ScrollStep()); });
    connect(forwardButton, &QToolButton::clicked, this, [this] { SetPosition(position + ScrollStep()); });
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TPageScroller::SetChild(QWidget *widget)
{
    child = widget;
    child->setParent(viewport);
    child->installEventFilter(this);
    child->show();
    updateGeometry();
    LayOut();
}

void TPageScroller::SetButtonSize(int size)
{
    buttonSize = std::max(size, 1);
    updateGeometry();
    LayOut();
}

void TPageScroller::SetPosition(int value)
{
    const int room = Overflows() ? width() - 2 * buttonSize : width();
    position = std::clamp(value, 0, std::max(ChildWidth() - room, 0));
    LayOut();
}

int TPageScroller::ChildWidth() const
{
    if (!child)
        return 0;
    return std::clamp(child->sizeHint().width(), child->minimumWidth(), child->maximumWidth());
}

QSize TPageScroller::sizeHint() const
{
    return child ? QSize(ChildWidth(), child->sizeHint().height()) : QSize(0, 0);
}

// Narrow enough for the layout to squeeze it down to its two buttons.
QSize TPageScroller::minimumSizeHint() const
{
    return QSize(std::min(ChildWidth(), 2 * buttonSize + 1), sizeHint().height());
}

// A new size hint of the child (a button added or taken away) or of the bar's limits reaches the
// scroller as a layout request of the child or of the viewport.
bool TPageScroller::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::LayoutRequest && (watched == child || watched == viewport)) {
        updateGeometry();
        SetPosition(position);
    }
    return QWidget::eventFilter(watched, event);
}

void TPageScroller::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    SetPosition(position);
}

void TPageScroller::LayOut()
{
    const bool overflows = child && Overflows();
    const int side = overflows ? buttonSize : 0;
    backButton->setVisible(overflows);
    forwardButton->setVisible(overflows);
    backButton->setGeometry(0, 0, buttonSize, height());
    forwardButton->setGeometry(width() - buttonSize, 0, buttonSize, height());
    viewport->setGeometry(side, 0, std::max(width() - 2 * side, 0), height());
    if (!child)
        return;
    backButton->setEnabled(position > 0);
    forwardButton->setEnabled(position + viewport->width() < ChildWidth());
    child->setGeometry(-position, 0, ChildWidth(), height());
}
