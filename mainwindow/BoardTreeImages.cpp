#include "mainwindow/BoardTreeImages.h"

#include "core/Board.h"
#include "mainwindow/VarneloWindow.h"

namespace BoardTreeImages {

namespace {

QIcon ActionPicture(int index)
{
    return VarneloWindow ? VarneloWindow->ActionImage.value(index) : QIcon();
}

TImageList &Sites()
{
    static TImageList images;
    return images;
}

}  // namespace

// An open category shows its folder; a closed one the plus box that says it holds more.
QIcon CategoryIcon(bool expanded)
{
    return ActionPicture(expanded ? imgCategory : imgExpand);
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
