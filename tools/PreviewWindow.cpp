#include "tools/PreviewWindow.h"

#include "core/TavuConfig.h"
#include "render/TavuBrowser.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QStatusBar>
#include <QVBoxLayout>

TPreviewWindow::TPreviewWindow(QWidget *owner)
    : QWidget(owner, Qt::Tool)
{
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(QStringLiteral("プレビュー"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *place = new QWidget(this);
    browser = new TTavuBrowser(place);
    auto *placeLayout = new QVBoxLayout(place);
    placeLayout->setContentsMargins(0, 0, 0, 0);
    placeLayout->addWidget(browser);
    layout->addWidget(place, 1);
    StatusBar1 = new QStatusBar(this);
    layout->addWidget(StatusBar1);
}

void TPreviewWindow::SaveBounds()
{
    if (!isVisible())
        return;
    const QRect r = geometry();
    TavuConfig->PREVIEWWIN_LEFT = r.left();
    TavuConfig->PREVIEWWIN_TOP = r.top();
    TavuConfig->PREVIEWWIN_WIDTH = r.width();
    TavuConfig->PREVIEWWIN_HEIGHT = r.height();
}

void TPreviewWindow::ShowFile(const QString &path)
{
    if (!path.isEmpty() && QFileInfo(path).isFile())
        browser->Navigate(path);
}

void TPreviewWindow::showEvent(QShowEvent *event)
{
    setGeometry(TavuConfig->PREVIEWWIN_LEFT, TavuConfig->PREVIEWWIN_TOP, TavuConfig->PREVIEWWIN_WIDTH,
                TavuConfig->PREVIEWWIN_HEIGHT);
    QWidget::showEvent(event);
}

void TPreviewWindow::closeEvent(QCloseEvent *event)
{
    SaveBounds();
    QWidget::closeEvent(event);
    if (OnClose)
        OnClose();
}
