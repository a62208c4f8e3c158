#pragma once
// THeaderFrame: the title band at the top of most dialogs: a picture at each end, an icon and the
// title. The host dialog sets the title (and may set the icon at run time).
//
// The end pictures are the program folder's resource/dialogl.bmp and resource/dialogr.bmp, each
// shown only when its file exists.

#include <QFrame>

class QLabel;
class QPixmap;

class THeaderFrame : public QFrame {
    Q_OBJECT
public:
    explicit THeaderFrame(QWidget *parent = nullptr);

    void SetTitle(const QString &title);
    void SetIcon(const QPixmap &icon);

    QFrame *HeaderFramePanel;
    QLabel *HeaderLeftImage;
    QLabel *HeaderIcon;
    QLabel *HeaderLabel;
    QLabel *HeaderRightImage;

private:
    static void LoadPicture(QLabel *label, const QString &fileName);
};
