#include "commands/TrayIcon.h"

#include "controls/WindowServices.h"
#include "core/TavuConfig.h"

#include <QAction>
#include <QApplication>
#include <QStyle>
#include <QWidget>

TTrayIcon::TTrayIcon(TWindowFrameServices &frame, QObject *parent)
    : QObject(parent), frame(frame), icon(new QSystemTrayIcon(this))
{
    icon->setToolTip(QStringLiteral("ヴァルネロ"));
    connect(icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)   // the left button; other clicks do nothing
            Restore();
    });
    frame.BindAction(QStringLiteral("actHide"), this, [this] { actHideExecute(); });
}

void TTrayIcon::ShowHideState()
{
    if (QAction *action = frame.Action(QStringLiteral("actHide")))
        action->setChecked(icon->isVisible());
}

void TTrayIcon::MinimizeToTray()
{
    if (icon->isVisible())
        return;
    if (!TrayAvailable()) {
        if (!frame.Window()->isMinimized())
            frame.Window()->showMinimized();
        ShowHideState();   // the command checked itself when triggered
        return;
    }
    QIcon picture = QApplication::windowIcon();
    if (picture.isNull())
        picture = frame.Window()->style()->standardIcon(QStyle::SP_ComputerIcon);
    icon->setIcon(picture);
    icon->show();
    ShowHideState();
    frame.Window()->hide();
}

void TTrayIcon::actHideExecute()
{
    if (!icon->isVisible())
        frame.Window()->showMinimized();
    MinimizeToTray();
}

void TTrayIcon::WindowMinimized()
{
    if (TavuConfig->INTOTASKTRAY)
        MinimizeToTray();
}

void TTrayIcon::WindowRestored()
{
    icon->hide();
    ShowHideState();
}

void TTrayIcon::Restore()
{
    QWidget *window = frame.Window();
    window->showNormal();
    window->raise();
    window->activateWindow();
    WindowRestored();
}
