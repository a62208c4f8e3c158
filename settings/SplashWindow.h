#pragma once
// TSplashWindow: the window shown while the program starts, with the version and a progress text.
//
// Its picture is the program folder's resource/splash.bmp; the window takes the picture's size.
// Without the file the window has no size and is never shown, but SetMessage still works.

#include <QWidget>

class QLabel;

class TSplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit TSplashWindow(QWidget *parent = nullptr);

    static QString VersionText() { return QStringLiteral("Version 2 β(vid23 dare60)"); }

    bool HasPicture() const { return hasPicture; }
    // Shows the progress text and paints it at once (start-up does not return to the event loop
    // between its steps).
    void SetMessage(const QString &text);
    QString Message() const;

    // Shows the window on top and paints it at once; nothing without a picture.
    void ShowSplash();

private:
    QLabel *picture;
    QLabel *versionLabel;
    QLabel *progressLabel;
    bool hasPicture = false;
};
