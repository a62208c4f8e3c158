#pragma once
// The buttons the main window makes at run time that remember what they stand for: the tab buttons
// of the thread-list and browser tab bars and the buttons of the board-type bar. None of them owns
// what it refers to; documents and tabs belong to the main window, sites to the registry.

#include <QToolButton>
#include <functional>

class TSite;
class TTavuBrowser;
class TTavuListDoc;

// A tab button: a checkable, grouped tool button with a close and a reload handler. The main
// window calls one of them when the button is clicked with the middle mouse button, as the tab
// setting says; a handler that is not set does nothing. The right button presses and clicks it,
// so that the tab menu the window opens there acts on its tab. Its close mark, a small "×" at its
// right end shown as the tab setting says, presses it and then closes its tab.
class TTavuToolButton : public QToolButton {
    Q_OBJECT
public:
    explicit TTavuToolButton(QWidget *parent = nullptr);

    std::function<void(TTavuToolButton *)> OnCloseClick;
    std::function<void(TTavuToolButton *)> OnReloadClick;

    void DoCloseClick();
    void DoReloadClick();

    void SetCloseMarkShown(bool shown);
    QToolButton *CloseMark() const { return closeMark; }
    QSize sizeHint() const override;

signals:
    // The middle mouse button was pressed and released over the button.
    void MiddleClicked(TTavuToolButton *button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool middlePressed = false;
    QToolButton *closeMark = nullptr;

    int CloseMarkWidth() const;
    void PlaceCloseMark();
};

// The tab button of a thread-list document.
class TThreadListToolButton : public TTavuToolButton {
    Q_OBJECT
public:
    using TTavuToolButton::TTavuToolButton;
    TTavuListDoc *ListDoc = nullptr;
};

// The tab button of a browser tab.
class TBrowserToolButton : public TTavuToolButton {
    Q_OBJECT
public:
    using TTavuToolButton::TTavuToolButton;
    TTavuBrowser *Browser = nullptr;
};

// A button of the board-type bar: the site of one line of bbsbar.txt.
class TBBSToolButton : public QToolButton {
    Q_OBJECT
public:
    using QToolButton::QToolButton;
    TSite *Site = nullptr;
};
