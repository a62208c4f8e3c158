#include "settings/SplashWindow.h"

#include "core/TavuConfig.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

TSplashWindow::TSplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture(new QLabel(this)),
      versionLabel(new QLabel(VersionText(), this)),
      progressLabel(new QLabel(this))
{
    setObjectName(QStringLiteral("SplashWindow"));
    const QString path = TTavuConfig::AppDir() + QStringLiteral("resource/splash.bmp");
    QPixmap pixmap;
    hasPicture = QFile::exists(path) && pixmap.load(path);
    if (!hasPicture) {
        resize(0, 0);
        return;
    }
    picture->setPixmap(pixmap);
    picture->setGeometry(0, 0, pixmap.width(), pixmap.height());
    setFixedSize(pixmap.size());

    const int line = fontMetrics().height() + 4;
    versionLabel->setGeometry(12, pixmap.height() - 2 * line - 6, pixmap.width() - 24, line);
    versionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    progressLabel->setGeometry(12, pixmap.height() - line - 6, pixmap.width() - 24, line);
    for (QLabel *label : {versionLabel, progressLabel})
        label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TSplashWindow::SetMessage(const QString &text)
{
    progressLabel->setText(text);
    if (isVisible())
        progressLabel->repaint();
}

QString TSplashWindow::Message() const
{
    return progressLabel->text();
}

void TSplashWindow::ShowSplash()
{
    if (!hasPicture)
        return;
    show();
    raise();
    repaint();
}
