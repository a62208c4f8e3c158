#pragma once
// TSiteComboBox: the site selector of the board pane. It draws its entries itself, in its list and
// in its own box alike (SiteComboBoxDrawItem): the site's picture at the left, whose pixel (0, 15)
// gives the colour that is transparent, and the site's name after it, vertically centred.

#include <QComboBox>
#include <QPixmap>

class QIcon;
class QPainter;
class QRect;

class TSiteComboBox : public QComboBox {
public:
    explicit TSiteComboBox(QWidget *parent = nullptr);

    // Draws the entry into the rectangle: picture and name.
    static void SiteComboBoxDrawItem(QPainter *painter, const QRect &rect, const QIcon &icon, const QString &name);
    // The picture with its transparent colour taken out.
    static QPixmap SitePicture(const QIcon &icon);

protected:
    void paintEvent(QPaintEvent *event) override;
};
