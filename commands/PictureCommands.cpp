#include "commands/PictureCommands.h"

#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "render/TavuBrowser.h"
#include "services/PictureLoader.h"
#include "tools/PicturePopup.h"

#include <QApplication>
#include <QWidget>

TPictureCommands::TPictureCommands(TWindowFrameServices &frame, TTabServices &tabs, QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs)
{
    PictureTimer.setSingleShot(true);
    PictureTimer.setInterval(PopupDelay);
    connect(&PictureTimer, &QTimer::timeout, this, &TPictureCommands::PictureTimerTimer);
    for (TTavuBrowser *tab : tabs.Browsers())
        Watch(tab);
    connect(&frame.Events(), &TWindowEvents::BrowserTabCreated, this, &TPictureCommands::Watch);
}

void TPictureCommands::Watch(TTavuBrowser *tab)
{
    connect(tab, &TTavuBrowser::StatusTextChange, this, [this, tab](const QString &text) { BrowserStatusText(tab, text); });
}

void TPictureCommands::BrowserStatusText(TTavuBrowser *tab, const QString &text)
{
    PictureTimer.stop();
    const bool wanted = !TavuConfig || TavuConfig->JPEGPOPUP;
    if (!wanted || tab != tabs.CurrentBrowser() || tab->IsWebPage() || !TPictureLoader::IsPictureUrl(text))
        return;
    hoveredTab = tab;
    hoveredUrl = text;
    PictureTimer.start();
}

void TPictureCommands::PictureTimerTimer()
{
    PictureTimer.stop();
    if (!hoveredTab || hoveredTab->StatusText != hoveredUrl || QApplication::activeWindow() != frame.Window())
        return;
    if (TavuEnviron && TavuEnviron->IsOffline())
        return;
    const bool needsControl = TavuConfig && TavuConfig->JPEGPOPUP_CTRL;
    if (needsControl && !(QApplication::keyboardModifiers() & Qt::ControlModifier))
        return;
    lastPopup = new TPicturePopup(frame.Window());
    lastPopup->LoadPicture(hoveredUrl);
    lastPopup->show();
}
