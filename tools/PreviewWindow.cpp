#include "tools/PreviewWindow.h"

#include "core/TavuConfig.h"
#include "render/TavuBrowser.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

TPreviewWindow::TPreviewWindow(QWidget *owner)
    : QWidget(owner, Qt::Tool)
{
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(QStringLiteral("プレビュー"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Above whatever the composer stays above.
    if (owner && owner->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        setWindowFlag(Qt::WindowStaysOnTopHint);
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

QRect TPreviewWindow::ShownBounds(const QRect &stored, const QRect &owner, const QRect &screen)
{
    if (owner.isEmpty() || !stored.intersects(owner))
        return stored;
    constexpr int Gap = 12;   // room for the window frames between the two
    QRect bounds(QPoint(owner.right() + 1 + Gap, owner.top()), stored.size());
    if (bounds.right() > screen.right() && owner.left() - Gap - stored.width() >= screen.left())
        bounds.moveLeft(owner.left() - Gap - stored.width());
    return bounds;
}

void TPreviewWindow::showEvent(QShowEvent *event)
{
    const QRect stored(TavuConfig->PREVIEWWIN_LEFT, TavuConfig->PREVIEWWIN_TOP, TavuConfig->PREVIEWWIN_WIDTH,
                       TavuConfig->PREVIEWWIN_HEIGHT);
    const QWidget *owner = parentWidget();
    setGeometry(owner ? ShownBounds(stored, owner->geometry(), owner->screen()->availableGeometry()) : stored);
    QWidget::showEvent(event);
    // The composer maps after its preview; the preview comes to the front once both are up.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            raise();
    });
}

void TPreviewWindow::closeEvent(QCloseEvent *event)
{
    SaveBounds();
    QWidget::closeEvent(event);
    if (OnClose)
        OnClose();
}
