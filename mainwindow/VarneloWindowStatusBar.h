#pragma once
// TStatusBar: a status bar of the main window made of panels, each a text of its own width; the last
// panel takes the rest. A panel may hold a widget instead of its text (the progress bar). A new text
// is drawn in its panel without laying the window out again.
//
// TStatusProgress: the progress bar of a panel. A new position is drawn with the window's next
// paint: a flow reports one for every response it reads, and drawing each at once would keep the
// reading waiting. A reply of unknown length (maximum 0) shows the style's busy bar until Reset.

#include <QList>
#include <QWidget>

class TStatusPanel;

class TStatusBar : public QWidget {
    Q_OBJECT
public:
    // widths: one per panel; the last panel stretches whatever its width.
    TStatusBar(const QList<int> &widths, QWidget *parent = nullptr);

    int PanelCount() const { return panels.size(); }
    QString Text(int panel) const;
    void SetText(int panel, const QString &text);
    void SetWidth(int panel, int width);
    int Width(int panel) const;
    // Places the widget in the panel (above its text).
    void PutWidget(int panel, QWidget *widget);

private:
    QList<TStatusPanel *> panels;
};

class TStatusProgress : public QWidget {
    Q_OBJECT
public:
    explicit TStatusProgress(QWidget *parent = nullptr);

    // The bar shows position of maximum, or that something runs when maximum is 0.
    void SetProgress(int maximum, int position);
    // The bar shows nothing.
    void Reset();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool running = false;
    int maximum = 0;
    int position = 0;
};
