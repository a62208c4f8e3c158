#pragma once
// What the board editor settles for a board on OK, apart from the dialog: the id and host path a
// board URL gives, the next folder id of the favorites and local sites, and the board that already
// holds an id.

#include <QString>

class TBoard;
class TSite;

namespace BoardEditRules {

// Splits a board URL ("http://host/folder/bbs/") into the board id ("bbs", after the last "/" or
// ":" once one trailing "/" is dropped) and the host path ("host/folder": the scheme and the "/"
// before the id dropped). False when the URL leaves no id.
bool SplitBoardUrl(const QString &url, QString &id, QString &path);

// Hands out the site's next folder id: USED of section LIST in the site's site.ini is raised by one
// and written at once; the id is the prefix followed by the number in five digits ("fav00001").
// Raises EFileError when site.ini cannot be written.
QString TakeFolderId(TSite *site, const QString &prefix);

// The board of the site other than skip whose id is the given one; nullptr when none.
TBoard *OtherBoardWithId(const TSite *site, const QString &id, const TBoard *skip);

}  // namespace BoardEditRules
