#pragma once
// TTrayIcon: the notification-area icon that stands in for the main window while it is hidden.
// Minimising the window puts it there when INTOTASKTRAY is on, and actHide puts it there at any
// time; a left click on the icon brings the window back, and any restore of the window takes the
// icon away. actHide is checked exactly while the icon is shown. A desktop without a notification
// area gets a minimised window instead, so that the taskbar still leads back to it.

#include <QObject>
#include <QSystemTrayIcon>
#include <functional>

class TWindowFrameServices;

class TTrayIcon : public QObject {
    Q_OBJECT
public:
    TTrayIcon(TWindowFrameServices &frame, QObject *parent = nullptr);

    QSystemTrayIcon *Icon() const { return icon; }
    // Whether the desktop has a notification area to put the icon in.
    std::function<bool()> TrayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };

    // Adds the icon and hides the window (nothing while the icon is shown already); without a
    // notification area the window is only minimised.
    void MinimizeToTray();
    void actHideExecute();
    // The window's state changed: minimised goes to the tray when INTOTASKTRAY says so; any other
    // state takes the icon away.
    void WindowMinimized();
    void WindowRestored();
    // What a left click on the icon does.
    void Restore();

private:
    TWindowFrameServices &frame;
    QSystemTrayIcon *icon;

    void ShowHideState();
};
