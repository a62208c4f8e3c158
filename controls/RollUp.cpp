#include "controls/RollUp.h"

#include <QWidget>

void TRollUp::ActivationChanged()
{
    if (!window->isVisible())
        return;
    if (window->isActiveWindow())
        Unroll();
    else
        RollUp();
}

// Only the caption is left: the contents are hidden and the window takes their height away.
void TRollUp::RollUp()
{
    if (unrolledHeight > 0)
        return;
    unrolledHeight = window->height();
    for (QWidget *widget : contents)
        widget->hide();
    window->resize(window->width(), window->minimumSizeHint().height());
}

void TRollUp::Unroll()
{
    if (unrolledHeight == 0)
        return;
    for (QWidget *widget : contents)
        widget->show();
    window->resize(window->width(), unrolledHeight);
    unrolledHeight = 0;
}
