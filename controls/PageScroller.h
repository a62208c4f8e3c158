#pragma once
// TPageScroller: holds one child bar on a single row. When the child is wider than the scroller,
// an arrow button at each end scrolls it; each click moves it by a tenth of the scroller's width.
// While the child fits, the buttons are hidden and the child shows whole.

#include <QWidget>

class QToolButton;

class TPageScroller : public QWidget {
    Q_OBJECT
public:
    explicit TPageScroller(QWidget *parent = nullptr);

    // Takes the child into the scroller; it keeps the width its size hint asks for.
    void SetChild(QWidget *child);
    QWidget *Child() const { return child; }

    // The width of each arrow button, in pixels.
    int ButtonSize() const { return buttonSize; }
    void SetButtonSize(int size);

    // How far the child is scrolled to the left, in pixels.
    int Position() const { return position; }
    void SetPosition(int value);
    // The distance one click scrolls: a tenth of the scroller's width.
    int ScrollStep() const { return width() / 10; }

    QToolButton *BackButton() const { return backButton; }
    QToolButton *ForwardButton() const { return forwardButton; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *viewport = nullptr;   // clips the child
    QWidget *child = nullptr;
    QToolButton *backButton = nullptr;
    QToolButton *forwardButton = nullptr;
    int buttonSize = 12;
    int position = 0;

    int ChildWidth() const;
    bool Overflows() const { return ChildWidth() > width(); }
    void LayOut();
};
