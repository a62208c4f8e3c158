#include "commands/PictureCommands.h"

#include "commands/WindowServices.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "render/TavuBrowser.h"
#include "tools/PictureLoader.h"
#include "tools/PicturePopup.h"

#include "mainwindow/KpwSearch.h"

#include <QApplication>
#include <QDir>
#include <QWidget>

TPictureCommands::TPictureCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    PictureTimer.setSingleShot(true);
    PictureTimer.setInterval(PopupDelay);
    connect(&PictureTimer, &QTimer::timeout, this, &TPictureCommands::PictureTimerTimer);
    for (TTavuBrowser *tab : services.Browsers())
        Watch(tab);
    services.WatchBrowserTabs(this, [this](TTavuBrowser *tab) { Watch(tab); });
    services.BindAction(QStringLiteral("actThreadThumbnailImages"), this, [this] { actThreadThumbnailImagesExecute(false); });
    services.BindAction(QStringLiteral("actThreadThumbnailImagesNewOnly"), this, [this] { actThreadThumbnailImagesExecute(true); });
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

void TPictureCommands::actThreadThumbnailImagesExecute(bool newOnly)
{
    TTavuBrowser *tab = services.CurrentBrowser();
    if (!tab || tab->IsWebPage() || !tab->ResList())
        return;
    QList<Kpwfunc::TLinkItem> links;
    Kpwfunc::ExtractLinks(*tab->ResList(), links, newOnly);
    if (!catalogForm) {
        const QString folder = (TavuConfig ? TavuConfig->GetTempDir() : QDir::tempPath() + QLatin1Char('/')) + QStringLiteral("thumbs/");
        catalogForm = new TImageCatalogForm(folder, services.Window());
    }
    for (const Kpwfunc::TLinkItem &link : links) {
        if (TImageCatalog::IsCatalogPicture(link.URL))
            catalogForm->Catalog.AddBack(link.URL);
    }
    if (catalogForm->Catalog.Urls.isEmpty())
        return;
    catalogForm->Rebuild();
    catalogForm->show();
    catalogForm->raise();
}
