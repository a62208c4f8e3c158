#pragma once
// TWindowBounds: the bounds and state of a window as kpw.ini keeps them, by reference to the
// configuration's values. State 2 is maximised; otherwise the window stands at the four bounds,
// which are stored only while it is neither maximised nor minimised.

class QWidget;

struct TWindowBounds {
    int &State;
    int &Left;
    int &Top;
    int &Width;
    int &Height;

    void Restore(QWidget *window) const;
    void Store(const QWidget *window) const;
};
