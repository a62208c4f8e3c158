#include "controls/RollUp.h"

#include <QLayout>
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

// Only the caption is left: the contents are hidden and the window takes their height away. The
// layout is settled first, so that the height left is that of what still shows, not of the hidden
// contents.
void TRollUp::RollUp()
{
    if (unrolledHeight > 0)
        return;
    unrolledHeight = window->height();
    for (QWidget *widget : contents)
        widget->hide();
    if (QLayout *layout = window->layout())
        layout->activate();
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
