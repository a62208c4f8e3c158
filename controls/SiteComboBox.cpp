#include "controls/SiteComboBox.h"

#include <QBitmap>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <algorithm>

namespace {

constexpr int PictureSize = 16;
constexpr int Margin = 2;

// The entries of the opened list: the selection colours, then the entry as the box draws it.
class TSiteItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        painter->save();
        painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        TSiteComboBox::SiteComboBoxDrawItem(painter, option.rect, index.data(Qt::DecorationRole).value<QIcon>(),
                                            index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), PictureSize + Margin));
        return size;
    }
};

}  // namespace

TSiteComboBox::TSiteComboBox(QWidget *parent) : QComboBox(parent)
{
    setItemDelegate(new TSiteItemDelegate(this));
}

QPixmap TSiteComboBox::SitePicture(const QIcon &icon)
{
    QPixmap picture = icon.pixmap(PictureSize, PictureSize);
    if (picture.isNull())
        return picture;
    const QImage image = picture.toImage();
    const QColor key = image.pixelColor(0, std::min(15, image.height() - 1));
    picture.setMask(picture.createMaskFromColor(key, Qt::MaskInColor));
    return picture;
}

void TSiteComboBox::SiteComboBoxDrawItem(QPainter *painter, const QRect &rect, const QIcon &icon, const QString &name)
{
    const int left = rect.left() + Margin;
    const QPixmap picture = SitePicture(icon);
    if (!picture.isNull())
        painter->drawPixmap(left, rect.top() + (rect.height() - picture.height()) / 2, picture);
    const QRect text(left + PictureSize + Margin, rect.top(), std::max(0, rect.right() - left - PictureSize - Margin), rect.height());
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
}

// The frame and the arrow as the style draws them, the current entry as the list does.
void TSiteComboBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0)
        return;
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    painter.setPen(palette().color(QPalette::Text));
    SiteComboBoxDrawItem(&painter, field, itemIcon(currentIndex()), itemText(currentIndex()));
}
