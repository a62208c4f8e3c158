#pragma once
// The popup-suppression lists of the profile folder: killurl.txt (URL patterns with wildcards) and
// killtitl.txt (whole page titles). A browser tab whose navigation matches a URL pattern, or whose
// page title stands in the title list (in any letter case), is closed. The files are read again
// whenever they are needed; a missing file is an empty list.

#include <QString>
#include <QStringList>

namespace PopupKillList {

QString UrlFile();     // <profile>killurl.txt
QString TitleFile();   // <profile>killtitl.txt
// The lines of a list file; a missing file gives none.
QStringList Load(const QString &fileName);

bool IsUrlKilled(const QString &url);
bool IsTitleKilled(const QString &title);

// "about:blank" and the browser's error page cannot be suppressed.
bool CanSuppress(const QString &value);
// Appends the trimmed value to the list file unless it is listed already; the file is written
// atomically.
void Add(const QString &fileName, const QString &value);

// What the list dialog's duplicate removal leaves: for each line, every later line equal to it
// or blank is removed (the first line stays even when blank).
QStringList RemoveDuplicates(QStringList lines);
// What the dialog saves: every entry that begins with "about:blank" (any letter case) dropped.
QStringList Cleaned(QStringList lines);

}  // namespace PopupKillList
