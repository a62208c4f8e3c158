#pragma once
// Tavutils: small helpers shared by every part of the program: captions, wildcard matching,
// file copy and delete by mask, temporary file names, elapsed time, code pages, file names
// made from URLs.

#include "core/JConvert.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace Tavutils {

// The code pages of sites and boards (site.ini and board.dat CHARSET).
enum CodePage { CP_SJIS = 0, CP_EUC = 1, CP_UTF8 = 2 };

// The caption cut to maxLength characters with "..." after it; unchanged when it fits
// (or maxLength is 0 or less).
QString MakeShortCaption(const QString &text, int maxLength);

// "*" stands for any run of characters, "?" for one; the whole text must match; case is ignored.
bool MatchWildcard(const QString &pattern, const QString &text);

// Copies the files that sourceMask names (a file, or a folder and a file-name pattern such as
// "log/*.dat") into targetFolder, which is created when missing. An existing target is replaced
// only when overwrite is set. False when a file could not be copied.
bool ShellCopyFiles(const QString &sourceMask, const QString &targetFolder, bool overwrite = true);

// Deletes the files that path names: one file, or a folder and a pattern holding "*" ("*.*" is
// every file). Missing files are skipped. With toRecycleBin the files go to the trash, and a file
// that cannot go there is kept. False when a file could not be deleted.
bool ShellDeleteFiles(const QString &path, bool toRecycleBin);

// ASCII digits turned into full-width digits ("12" -> "１２").
QString ToFullWidth(const QString &digits);

// Creates an empty file with a new name "KPW" + four hexadecimal digits + ".tmp" in the folder
// (created when missing) and returns its path. Raises EFileError when none can be made.
QString MakeTempFileName(const QString &folder);

// The time from then to now in words, e.g. "2日3時間4分5秒" (leading zero units left out).
QString FormatElapsedTime(const QDateTime &then, const QDateTime &now);

// The Japanese code of a code page (anything unknown is Shift_JIS).
jconvert::Code CodePageCode(int codePage);

// Bytes of a site's code page read into the program's text.
QString ConvertToSjis(int codePage, const QByteArray &bytes);

// 0, 1, 2 <-> "SJIS", "EUC", "UTF8". Names compare ignoring case; anything else is 0.
QString CharsetToName(int codePage);
int NameToCharset(const QString &name);

// The text between the first startText and the endText after it; empty when either is missing.
// An empty startText starts at the beginning, an empty endText runs to the end.
QString ExtractBetween(const QString &text, const QString &startText, const QString &endText);

// A URL made into a file name: the scheme cut, each of / \ ? & : ; * " < > | , turned into "_",
// and "." too except in the last 8 characters (so an extension survives).
QString UrlToFileName(const QString &url);

}  // namespace Tavutils
