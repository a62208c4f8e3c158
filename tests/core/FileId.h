#pragma once
// The identity (inode) of the file at a path, 0 when there is none: appending to a file keeps it,
// an atomic rewrite puts another file in its place.

#include <QFile>
#include <QString>

#include <sys/stat.h>

inline ino_t FileId(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}
