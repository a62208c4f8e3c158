#include "tools/PicturePopup.h"

#include "controls/Dialogs.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/TavuConfig.h"
#include "services/PictureLoader.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace {

bool OnTop()
{
    return !TavuConfig || TavuConfig->JPEGWIN_ONTOP;
}

}  // namespace

TPicturePopup::TPicturePopup(QWidget *parent)
    : QWidget(parent, Qt::Window), Image1(new QLabel), btnResize(new QToolButton), TrackBar1(new QSlider(Qt::Horizontal)),
      PopupMenu1(new QMenu(this)), Loader(new TPictureLoader(this)), scroller(new QScrollArea)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("JPEG Popup"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setScaledContents(true);
    Image1->setWordWrap(true);
    scroller->setWidget(Image1);
    scroller->setWidgetResizable(true);
    btnResize->setText(QStringLiteral("サイズ"));
    btnResize->setCheckable(true);
    TrackBar1->setRange(0, 200);
    TrackBar1->setValue(200);

    auto *bar = new QHBoxLayout;
    bar->addWidget(btnResize);
    bar->addWidget(TrackBar1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroller, 1);
    layout->addLayout(bar);

    SaveAs1 = PopupMenu1->addAction(QStringLiteral("名前を付けて保存(&S)..."), this, &TPicturePopup::SaveAs1Click);
    PopupMenu1->addSeparator();
    N2 = PopupMenu1->addAction(QStringLiteral("常に手前に表示"), this, &TPicturePopup::N2Click);
    N2->setCheckable(true);
    SaveAs1->setEnabled(false);

    connect(TrackBar1, &QSlider::valueChanged, this, [this](int position) { setWindowOpacity(OpacityFor(position)); });
    connect(btnResize, &QToolButton::toggled, this, [this](bool down) {
        Image1->setScaledContents(!down);
        scroller->setWidgetResizable(!down);
        if (down)
            Image1->adjustSize();
    });
    connect(Loader, &TPictureLoader::Loaded, this, [this](const QImage &image) { ShowPicture(image); });
    connect(Loader, &TPictureLoader::Failed, this, &TPicturePopup::ShowFailure);
    ApplyTopmost();
}

double TPicturePopup::OpacityFor(int position)
{
    return position >= 200 ? 1.0 : (position + 55) / 255.0;
}

void TPicturePopup::LoadPicture(const QString &url)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        Loader->FitSize = screen->availableGeometry().size();
    Image1->setText(QStringLiteral("読み込み中...\n") + url);
    SaveAs1->setEnabled(false);
    Loader->Load(url);
}

void TPicturePopup::ShowPicture(const QImage &image)
{
    picture = image;
    Image1->setPixmap(QPixmap::fromImage(image));
    if (btnResize->isChecked())
        Image1->adjustSize();
    SaveAs1->setEnabled(true);
}

// The window keeps its previous picture; the message replaces only a "loading" text.
void TPicturePopup::ShowFailure(const QString &message)
{
    if (picture.isNull())
        Image1->setText(message + QLatin1Char('\n') + Loader->URL());
    setToolTip(message);
}

void TPicturePopup::SaveAs1Click()
{
    QFileDialog dialog(this, QString(), QString(), QStringLiteral("JPEG (*.jpg);;All Files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    try {
        FileUtil::WriteFileAtomic(dialog.selectedFiles().constFirst(), Loader->Body());
    } catch (const EFileError &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
}

void TPicturePopup::N2Click()
{
    if (TavuConfig)
        TavuConfig->JPEGWIN_ONTOP = !TavuConfig->JPEGWIN_ONTOP;
    ApplyTopmost();
}

void TPicturePopup::ApplyTopmost()
{
    const bool onTop = OnTop();
    N2->setChecked(onTop);
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == onTop)
        return;
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (shown)
        show();
}

// The window stays on top of the program's windows, so a modal dialog of another window would open
// under it and then keep it from being closed: it goes away while such a dialog runs and comes back
// after. Its own dialogs (saving the picture) leave it where it is.
bool TPicturePopup::event(QEvent *event)
{
    if (event->type() == QEvent::WindowBlocked && isVisible()) {
        const QWindow *modal = QGuiApplication::modalWindow();
        if (!modal || !windowHandle() || !windowHandle()->isAncestorOf(modal, QWindow::IncludeTransients)) {
            hiddenForDialog = true;
            hide();
        }
    } else if (event->type() == QEvent::WindowUnblocked && hiddenForDialog) {
        hiddenForDialog = false;
        show();
    }
    return QWidget::event(event);
}

void TPicturePopup::showEvent(QShowEvent *event)
{
    if (TavuConfig && windowState() == Qt::WindowNoState) {
        const TTavuConfig &config = *TavuConfig;
        if (config.DESKTOP_JPEGWIN_WIDTH > 0 && config.DESKTOP_JPEGWIN_HEIGHT > 0)
            setGeometry(config.DESKTOP_JPEGWIN_LEFT, config.DESKTOP_JPEGWIN_TOP, config.DESKTOP_JPEGWIN_WIDTH,
                        config.DESKTOP_JPEGWIN_HEIGHT);
        TrackBar1->setValue(config.DESKTOP_JPEGWIN_ALPHA);
    }
    setWindowOpacity(OpacityFor(TrackBar1->value()));
    QWidget::showEvent(event);
}

void TPicturePopup::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            ApplyTopmost();
        else
            StoreBounds();
    }
    QWidget::changeEvent(event);
}

void TPicturePopup::closeEvent(QCloseEvent *event)
{
    StoreBounds();
    Loader->Abort();
    QWidget::closeEvent(event);
}

void TPicturePopup::contextMenuEvent(QContextMenuEvent *event)
{
    PopupMenu1->popup(event->globalPos());
}

void TPicturePopup::StoreBounds()
{
    if (!TavuConfig)
        return;
    TTavuConfig &config = *TavuConfig;
    if (windowState() == Qt::WindowNoState) {
        // The inner area, as showEvent places it.
        const QRect bounds = geometry();
        config.DESKTOP_JPEGWIN_LEFT = bounds.left();
        config.DESKTOP_JPEGWIN_TOP = bounds.top();
        config.DESKTOP_JPEGWIN_WIDTH = bounds.width();
        config.DESKTOP_JPEGWIN_HEIGHT = bounds.height();
    }
    config.DESKTOP_JPEGWIN_ALPHA = TrackBar1->value();
}
