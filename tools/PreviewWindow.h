#pragma once
// TPreviewWindow: the composer's companion tool window "プレビュー". A browser tab fills it and shows
// the post being written as the thread's skin would render it (the composer fills the tab), or the
// board's local rules while nothing is written yet. Its place is kept in the configuration
// (PREVIEWWIN_LEFT, _TOP, _WIDTH, _HEIGHT); it never opens over the composer.

#include <QRect>
#include <QWidget>
#include <functional>

class QStatusBar;
class TTavuBrowser;

class TPreviewWindow : public QWidget {
    Q_OBJECT
public:
    // owner: the composer; the preview stays above it.
    explicit TPreviewWindow(QWidget *owner);

    TTavuBrowser *Browser() const { return browser; }
    QStatusBar *StatusBar1 = nullptr;

    // Stores the bounds in the configuration while the window is visible.
    void SaveBounds();
    // Shows a file in the browser tab when the file exists.
    void ShowFile(const QString &path);

    // Where the window shows: its stored bounds, or, when they would cover the composer (owner),
    // the same size beside it, to its right, or to its left when the screen has no room there.
    static QRect ShownBounds(const QRect &stored, const QRect &owner, const QRect &screen);

    // Raised when the user closes the window.
    std::function<void()> OnClose;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    TTavuBrowser *browser;
};
