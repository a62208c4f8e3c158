#pragma once
// File helpers shared by every module: whole-file reads, atomic rewrites and ".bak" copies.

#include <QByteArray>
#include <QString>

namespace FileUtil {

// The whole file; an empty array when it is missing or unreadable.
QByteArray ReadFile(const QString &path);

// Writes the file atomically: a temporary file beside it, flushed, then renamed over it,
// so that a crash leaves either the old or the new file, never half of one.
// Creates the folder when missing. Raises EFileError on failure.
void WriteFileAtomic(const QString &path, const QByteArray &data);

// Copies path to path + ".bak" (or to bakPath when given), replacing an older copy.
// Returns false, leaving an older copy as it was, when the source is missing or cannot be read or
// the copy failed.
bool MakeBackup(const QString &path, const QString &bakPath = QString());

// Creates the folder and its parents; true when it exists afterwards.
bool ForceDirectories(const QString &dir);

// A path with a trailing "/".
QString WithSlash(const QString &dir);

}  // namespace FileUtil
