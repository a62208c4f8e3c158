#pragma once
// Pictures on hover: resting the mouse on a picture link of a thread tab opens a TPicturePopup
// after the popup delay, when VARNELO JPEGPOPUP is on (and, with JPEGPOPUP_CTRL, only while
// Control is held), the program is online and the main window is the active one.

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "tools/PicturePopup.h"
class TTavuBrowser;
class TTabServices;
class TWindowFrameServices;

class TPictureCommands : public QObject {
    Q_OBJECT
public:
    static constexpr int PopupDelay = 1000;   // ms after the last hover

    explicit TPictureCommands(TWindowFrameServices &frame, TTabServices &tabs, QObject *parent = nullptr);

    // A hover on a tab: arms the popup for a picture link, disarms it for anything else.
    void BrowserStatusText(TTavuBrowser *tab, const QString &text);
    // The delay is over: opens the popup when the link is still hovered. The popup opened last.
    void PictureTimerTimer();
    TPicturePopup *LastPopup() const { return lastPopup; }
    QTimer PictureTimer;

private:
    void Watch(TTavuBrowser *tab);

    TWindowFrameServices &frame;

    TTabServices &tabs;
    QPointer<TTavuBrowser> hoveredTab;
    QString hoveredUrl;
    QPointer<TPicturePopup> lastPopup;
};
