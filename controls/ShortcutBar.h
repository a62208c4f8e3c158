#pragma once
// The shortcut bar: a one-row strip of named tabs (panels). Only the active panel is expanded; it
// shows a row of flat buttons, each a shortcut to a board, a thread, a program, a web page or a
// board category of a site (see controls/ShortcutData.h for the kinds and shortcut.txt). The other
// panels are collapsed to their header button, those before the active one at the left, those
// after it at the right. A row wider than its panel scrolls with the back and forward buttons at
// its ends while they are held down.
//
// The bar only shows the shortcuts and reports clicks; what a click does is the owner's business
// (OnShortcutClick). OnShortcutCreated lets the owner set each button's hint while loading.

#include "core/Colors.h"

#include <QList>
#include <QString>
#include <QToolButton>
#include <QWidget>
#include <functional>

class QFrame;
class QMenu;
class QTimer;

// One shortcut: the five values of its shortcut.txt line; the caption is the text and the button
// is as wide as its caption.
class TTavuShortcutToolButton : public QToolButton {
    Q_OBJECT
public:
    explicit TTavuShortcutToolButton(QWidget *parent = nullptr);

    quint8 Kind = 0;
    QString Param1;
    QString Param2;
    QString Param3;

    // The caption as it shows (SetText doubles every "&" for the button, Text undoes it).
    QString Text() const { return QString(text()).replace(QLatin1String("&&"), QLatin1String("&")); }
    void SetText(const QString &caption);

protected:
    // A new font (the bar's, taken on when the button joins it) fits the width to the caption again.
    void changeEvent(QEvent *event) override;

private:
    void FitToCaption();
};

// The row of buttons and separators. It lies inside the panel's viewing area and slides left and
// right in it; its width is the width of what it holds.
class TTavuToolBar : public QWidget {
    Q_OBJECT
public:
    explicit TTavuToolBar(QWidget *parent = nullptr);

    // Places the control at the right end of the row (top 0).
    void AddControl(QWidget *control);
    // A 3-pixel vertical line.
    void AddSeparator();
    // Places the controls side by side again from the left, after their widths changed.
    void Rearrange();
    const QList<QWidget *> &Controls() const { return controls; }

private:
    QList<QWidget *> controls;
};

// One tab of the bar: the header button (the tab's image, its name as the hint), a thin line at
// its left edge on every panel after the first, and the scroll area with the back button, the
// row and the forward button.
class TTavuShortcutPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int CollapsedWidth = 28;
    static constexpr int ScrollStep = 20;
    static constexpr int ScrollInterval = 50;

    TTavuShortcutPanel(QWidget *parent, bool showLine);

    QString TabName() const { return tabName; }
    void SetTabName(const QString &name);
    void SetTabColor(TColor color);
    void SetImage(const QPixmap &image);

    // Collapsed: only the header button shows.
    void SetCollapsed(bool collapsed);
    bool IsCollapsed() const { return collapsed; }

    TTavuToolBar *ToolBar() const { return toolBar; }
    QToolButton *HeaderButton() const { return headerButton; }
    QToolButton *BackButton() const { return backButton; }
    QToolButton *ForwardButton() const { return forwardButton; }
    QWidget *ViewingArea() const { return viewingArea; }

    // One tick of the forward and back buttons' timers.
    void ScrollForward();
    void ScrollBack();
    // Shows the scroll buttons exactly when the row is wider than the panel, and places the
    // viewing area accordingly.
    void ArrangeScrollArea();

    std::function<void(TTavuShortcutPanel *)> OnHeaderClick;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QString tabName;
    bool collapsed = false;
    QFrame *line = nullptr;
    QToolButton *headerButton = nullptr;
    QWidget *scrollArea = nullptr;
    QToolButton *backButton = nullptr;
    QToolButton *forwardButton = nullptr;
    QWidget *viewingArea = nullptr;
    TTavuToolBar *toolBar = nullptr;
    QTimer *backTimer = nullptr;
    QTimer *forwardTimer = nullptr;

    QToolButton *MakeScrollButton(const QString &name, QTimer *timer);
};

class TTavuShortcutBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int BarHeight = 27;

    explicit TTavuShortcutBar(QWidget *parent = nullptr);

    // Rebuilds the bar from shortcut.txt: one panel per tab, one button or separator per item;
    // the first panel becomes active. A missing file leaves the bar empty with no active panel.
    void LoadFromFile(const QString &fileName);

    int PanelCount() const { return panels.size(); }
    TTavuShortcutPanel *Panel(int index) const { return panels.value(index); }
    int ActiveIndex() const { return activeIndex; }
    // Expands panel i and collapses the others; the active panel again does nothing.
    void SetActiveIndex(int index);
    // The font and text colour of the shortcut buttons, those shown and those loaded later.
    void SetButtonLook(const QFont &font, const QColor &textColor);

    // Shown on a right click on the bar.
    QMenu *PopupMenu = nullptr;
    std::function<void(TTavuShortcutToolButton *)> OnShortcutClick;
    std::function<void(TTavuShortcutToolButton *)> OnShortcutCreated;

    // Room for the active panel at its first width and the collapsed ones.
    QSize sizeHint() const override;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QList<TTavuShortcutPanel *> panels;
    int activeIndex = -1;

    void Clear();
    TTavuShortcutPanel *AddPanel(const QStringList &fields);
    void AddShortcut(TTavuShortcutPanel *panel, quint8 kind, const QStringList &fields);
};
