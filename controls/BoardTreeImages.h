#pragma once
// The pictures of the board pane: the nodes of the board tree (categories open and closed, boards
// by kind, boards already opened in this run) and the sites' pictures of the site list, which the
// board-type bar and the menus of visited boards show too.

#include "controls/ActionCatalogue.h"

#include <QIcon>

class TBoard;

namespace BoardTreeImages {

// A category's folder, marked with a plus while it is closed.
QIcon CategoryIcon(bool expanded);
// A favorites folder, a local folder, a web page, or a board (opened in this run or not).
QIcon BoardIcon(const TBoard &board);

// The site pictures, by TSite::ImageIndex.
const TImageList &SiteImages();
// Adds a site's picture; returns its index.
int AddSiteImage(const QIcon &icon);
QIcon DefaultSiteIcon();

}  // namespace BoardTreeImages
