#pragma once
// Storing a board's HTTP Basic credentials in config/_BasicAuthorization.ini of the profile: the
// section is the site id directly followed by the board id, keys USERNAME and PASSWORD. The board
// requests read them back through TBoard.

#include <QString>

class TBoard;

namespace BasicAuthorization {

QString FileName();
// Stores the user name and password of the board; an empty user name removes both keys (the
// section stays). The file and its folder are made when missing.
void Apply(const TBoard &board, const QString &userName, const QString &password);

}  // namespace BasicAuthorization
