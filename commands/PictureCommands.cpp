#include "commands/PictureCommands.h"

#include "controls/WindowServices.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "render/TavuBrowser.h"
#include "services/PictureLoader.h"
#include "tools/PicturePopup.h"

#include <QApplication>
#include <QWidget>

TPictureCommands::TPictureCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    PictureTimer.setSingleShot(true);
    PictureTimer.setInterval(PopupDelay);
    connect(&PictureTimer, &QTimer::timeout, this, &TPictureCommands::PictureTimerTimer);
    for (TTavuBrowser *tab : services.Browsers())
        Watch(tab);
    services.OnBrowserTabCreated(this, [this](TTavuBrowser *tab) { Watch(tab); });
}

void TPictureCommands::Watch(TTavuBrowser *tab)
{
    connect(tab, &TTavuBrowser::StatusTextChange, this, [this, tab](const QString &text) { BrowserStatusText(tab, text); });
}

void TPictureCommands::BrowserStatusText(TTavuBrowser *tab, const QString &text)
{
    PictureTimer.stop();
    const bool wanted = !TavuConfig || TavuConfig->JPEGPOPUP;
    if (!wanted || tab != services.CurrentBrowser() || tab->IsWebPage() || !TPictureLoader::IsPictureUrl(text))
        return;
    hoveredTab = tab;
    hoveredUrl = text;
    PictureTimer.start();
}

void TPictureCommands::PictureTimerTimer()
{
    PictureTimer.stop();
    if (!hoveredTab || hoveredTab->StatusText != hoveredUrl || QApplication::activeWindow() != services.Window())
        return;
    if (TavuEnviron && TavuEnviron->IsOffline())
        return;
    const bool needsControl = TavuConfig && TavuConfig->JPEGPOPUP_CTRL;
    if (needsControl && !(QApplication::keyboardModifiers() & Qt::ControlModifier))
        return;
    lastPopup = new TPicturePopup(services.Window());
    lastPopup->LoadPicture(hoveredUrl);
    lastPopup->show();
}
