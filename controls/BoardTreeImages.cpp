#include "controls/BoardTreeImages.h"

#include "core/Board.h"

#include <QPainter>
#include <QPixmap>

namespace BoardTreeImages {

namespace {

// The pictures of the actions, read once from the same strip as the window's actions.
QIcon ActionPicture(int index)
{
    static const TImageList images = ActionCatalogue::LoadImages(ActionCatalogue::ImageStripFile());
    return images.value(index);
}

TImageList &Sites()
{
    static TImageList images;
    return images;
}

}  // namespace

// A category shows its folder; a closed one has a small plus in its corner that says it holds more.
QIcon CategoryIcon(bool expanded)
{
    const QIcon folder = ActionPicture(imgCategory);
    if (expanded || folder.isNull())
        return folder;
    QPixmap closed = folder.pixmap(16, 16);
    QPainter painter(&closed);
    painter.drawPixmap(QRect(7, 7, 9, 9), ActionPicture(imgExpand).pixmap(16, 16));
    painter.end();
    return QIcon(closed);
}

QIcon BoardIcon(const TBoard &board)
{
    switch (board.Kind) {
    case TBoard::KIND_FAVORITES:
        return ActionPicture(imgFavoritesFolder);
    case TBoard::KIND_LOCAL:
        return ActionPicture(imgLocalFolder);
    case TBoard::KIND_WWW:
        return ActionPicture(imgGlobe);
    default:
        return ActionPicture(board.Opened ? imgGaishutu : imgBoard);
    }
}

const TImageList &SiteImages()
{
    return Sites();
}

int AddSiteImage(const QIcon &icon)
{
    Sites().append(icon);
    return int(Sites().size()) - 1;
}

QIcon DefaultSiteIcon()
{
    return ActionPicture(imgBoardList);
}

}  // namespace BoardTreeImages
