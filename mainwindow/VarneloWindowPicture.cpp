// The picture view of the browser panel: what it is navigated to opens as a browser tab, a JPEG
// picture with its Exif display.

#include "mainwindow/VarneloWindow.h"

#include "controls/WindowServices.h"
#include "core/TavuConfig.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "tools/ExifView.h"

void TVarneloWindow::ShowPictureView(const QString &url)
{
    if (!WebBrowser1) {
        WebBrowser1 = new TEmbeddedWB(panes->BrowserPane());
        WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
        WebBrowser1->hide();
        connect(WebBrowser1, &TEmbeddedWB::BeforeNavigate, this,
                [this](const QUrl &target, bool &) { WebBrowser1BeforeNavigate2X(target.toString()); });
    }
    WebBrowser1->Navigate(url);
}

void TVarneloWindow::WebBrowser1BeforeNavigate2X(const QString &url)
{
    TTavuBrowser *tab = tabs->NewPageTab(url, true);
    tab->SetWebPage(true);
    if (url.right(4).compare(QLatin1String(".jpg"), Qt::CaseInsensitive) == 0)
        WebBrowser1NavigateComplete2(tab, url);
    else
        tab->Browser()->Navigate(url);
}

// The Exif display of the picture, written into the tab once the picture is fetched.
void TVarneloWindow::WebBrowser1NavigateComplete2(TTavuBrowser *tab, const QString &url)
{
    auto *display = new TExifDisplay(TavuConfig->GetTempDir() + QStringLiteral("thumbs/"), tab->Browser());
    display->Show(url);
}
