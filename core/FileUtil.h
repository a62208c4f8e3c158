#pragma once
// File helpers shared by every module: whole-file reads, atomic rewrites and ".bak" copies.

#include <QByteArray>
#include <QString>

namespace FileUtil {

// How a whole-file read went.
enum class TReadResult {
    Read,      // the data holds the file
    Missing,   // there is no file at the path
    Failed,    // the file exists but could not be read; the data is empty
};

// Reads the whole file into data (left empty unless the result is Read), once the saves pending on
// the file (TSaveQueue) have ended.
TReadResult ReadWholeFile(const QString &path, QByteArray &data);

// The whole file; an empty array when it is missing or unreadable.
QByteArray ReadFile(const QString &path);

// Writes the file atomically: a temporary file beside it, flushed and checked, then renamed over
// it, so that a crash or a full disk leaves either the old or the new file, never half of one.
// Creates the folder when missing. The first write into a folder in a run removes the temporary
// files that earlier runs left there when they were killed mid-write.
// Raises EFileError, with the cause, on failure; the old file is then untouched.
void WriteFileAtomic(const QString &path, const QByteArray &data);

// Copies path to path + ".bak" (or to bakPath when given), replacing an older copy.
// Returns false, leaving an older copy as it was, when the source is missing or cannot be read or
// the copy failed; failure, when given, then receives why, naming the file.
bool MakeBackup(const QString &path, const QString &bakPath = QString(), QString *failure = nullptr);

// Creates the folder and its parents; true when it exists afterwards.
bool ForceDirectories(const QString &dir);

// A path with a trailing "/".
QString WithSlash(const QString &dir);

}  // namespace FileUtil
