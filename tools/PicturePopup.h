#pragma once
// TPicturePopup ("JPEG Popup"): a translucent, resizable window showing one picture fetched from a
// link. The picture is fitted to the screen while it is decoded (TPictureLoader); a failure shows its
// message in the window. The bounds and the opacity are kept in the configuration (DESKTOP
// JPEGWIN_*), the topmost state in VARNELO JPEGWIN_ONTOP. The window frees itself when closed.

#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class QSlider;
class QToolButton;
class TPictureLoader;

class TPicturePopup : public QWidget {
    Q_OBJECT
public:
    explicit TPicturePopup(QWidget *parent = nullptr);

    void LoadPicture(const QString &url);

    // The parts, named as on the form.
    QLabel *Image1;
    QToolButton *btnResize;
    QSlider *TrackBar1;
    QMenu *PopupMenu1;
    QAction *SaveAs1;
    QAction *N2;
    TPictureLoader *Loader;

    // The window's opacity for a track-bar position: 1 at the maximum, else (position + 55) / 255.
    static double OpacityFor(int position);
    void SaveAs1Click();
    void N2Click();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void ShowPicture(const QImage &image);
    void ShowFailure(const QString &message);
    void ApplyTopmost();
    void StoreBounds();

    QScrollArea *scroller;
    QImage picture;
    bool hiddenForDialog = false;   // out of the way of a modal dialog of another window
};
