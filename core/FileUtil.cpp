#include "core/FileUtil.h"

#include "core/Exceptions.h"
#include "core/SaveQueue.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileUtil {

namespace {

// Temporaries of a run that is still going are never older than this.
const QDateTime kRunStarted = QDateTime::currentDateTimeUtc();

// The longest file name the folder's file system takes, in bytes.
int NameLimit(const QString &folder)
{
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 ? int(limit) : 255;
}

// How many bytes the name of a temporary adds: a dot and six letters.
constexpr int kSuffixSize = 7;

// The part of a file's name that its temporaries begin with: the whole name, or as much of its
// start as leaves room for the suffix within the file system's limit.
QString TemporaryStem(const QString &name, int nameLimit)
{
    QString stem = name;
    while (!stem.isEmpty() && QFile::encodeName(stem).size() + kSuffixSize > nameLimit)
        stem.chop(stem.back().isLowSurrogate() && stem.size() > 1 ? 2 : 1);
    return stem;
}

// Six random letters with both cases among them.
QString RandomSuffix()
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QString suffix;
    while (suffix.size() != 6 || suffix == suffix.toLower() || suffix == suffix.toUpper()) {
        suffix.clear();
        for (int i = 0; i < 6; ++i)
            suffix += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(52)]);
    }
    return suffix;
}

// The name of an atomic write's temporary file: the name of a file beside it (or, for a name too
// long to take the suffix, the start of it), a dot and six random letters of both cases. A suffix
// in one case only ("backup", "OLD") may be a name the user chose and is left alone.
bool IsTemporaryName(const QString &name, const QStringList &files, int nameLimit)
{
    static const QRegularExpression kPattern(QStringLiteral("^(.+)\\.([A-Za-z]{6})$"));
    const QRegularExpressionMatch m = kPattern.match(name);
    if (!m.hasMatch())
        return false;
    const QString suffix = m.captured(2);
    if (suffix == suffix.toLower() || suffix == suffix.toUpper())
        return false;
    const QString stem = m.captured(1);
    return std::any_of(files.begin(), files.end(), [&](const QString &file) {
        return file != name && file.startsWith(stem) && TemporaryStem(file, nameLimit) == stem;
    });
}

// Removes, once a run, the temporaries that a killed earlier run left in the folder: files named
// after a file beside them and last written before this run began. A write still going on in this
// run is newer than that, so it is never touched.
void RemoveStaleTemporaries(const QString &folder)
{
    static QMutex mutex;
    static QSet<QString> cleaned;
    {
        QMutexLocker lock(&mutex);
        if (cleaned.contains(folder))
            return;
        cleaned.insert(folder);
    }
    const QDir dir(folder);
    const QStringList candidates = dir.entryList({QStringLiteral("*.??????")}, QDir::Files | QDir::Hidden);
    if (candidates.isEmpty())
        return;
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden);
    const int nameLimit = NameLimit(folder);
    for (const QString &name : candidates) {
        const QFileInfo info(dir.filePath(name));
        if (info.lastModified().toUTC() < kRunStarted && IsTemporaryName(name, files, nameLimit))
            QFile::remove(info.filePath());
    }
}

QString Cause(int error, const QString &otherwise)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT: return QStringLiteral("ディスクの空きが足りません");
    case EACCES:
    case EPERM:
    case EROFS: return QStringLiteral("書き込む権限がありません");
    default: return otherwise;
    }
}

QString WriteFailure(const QString &path, const QString &cause)
{
    return QStringLiteral("ファイルを書き込めません: %1（%2）").arg(path, cause);
}

// The file the write replaces: the path, or where its links lead.
QString FinalPath(const QString &path)
{
    QFileInfo file(path);
    for (int depth = 0; depth < 128 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file.isSymLink() ? path : file.filePath();
}

// A new temporary file beside the target, open for writing, with the target's permissions when it
// exists. Raises EFileError when none can be made.
int CreateTemporary(const QString &target, const QString &shownPath, QString &temporary)
{
    const QFileInfo info(target);
    const QString stem = TemporaryStem(info.fileName(), NameLimit(info.absolutePath()));
    struct stat existing {};
    const bool exists = ::stat(QFile::encodeName(target).constData(), &existing) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = info.absolutePath() + QLatin1Char('/') + stem + QLatin1Char('.') + RandomSuffix();
        const int fd = ::open(QFile::encodeName(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (exists)
                ::fchmod(fd, existing.st_mode & 07777);
            return fd;
        }
        if (errno != EEXIST)
            break;
    }
    throw EFileError(WriteFailure(shownPath, Cause(errno, QStringLiteral("ファイルを作れません"))));
}

// Writes all of data; the error number of the write that failed, or 0.
int WriteAll(int fd, const QByteArray &data)
{
    const char *next = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        next += written;
        left -= written;
    }
    // What the file system has only promised may still fail for want of space when it is stored.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP)
        return errno;
    return 0;
}

}  // namespace

TReadResult ReadWholeFile(const QString &path, QByteArray &data)
{
    data.clear();
    TSaveQueue::Instance().Wait(path);
    const QFileInfo info(path);
    if (!info.exists())
        return TReadResult::Missing;
    if (!info.isFile())
        return TReadResult::Failed;   // a folder or a device in the file's place
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return TReadResult::Failed;
    QByteArray read = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return TReadResult::Failed;
    data = std::move(read);
    return TReadResult::Read;
}

QByteArray ReadFile(const QString &path)
{
    QByteArray data;
    ReadWholeFile(path, data);
    return data;
}

void WriteFileAtomic(const QString &path, const QByteArray &data)
{
    const QString target = FinalPath(path);
    const QString folder = QFileInfo(target).absolutePath();
    ForceDirectories(folder);
    RemoveStaleTemporaries(folder);
    const QFileInfo existing(target);
    if (existing.isDir())
        throw EFileError(WriteFailure(path, QStringLiteral("同じ名前のフォルダがあります")));
    if (existing.exists() && !existing.isWritable())
        throw EFileError(WriteFailure(path, QStringLiteral("書き込む権限がありません")));
    QString temporary;
    const int fd = CreateTemporary(target, path, temporary);
    const QByteArray temporaryName = QFile::encodeName(temporary);
    // Every step is checked before the new file may take the old one's place.
    int error = WriteAll(fd, data);
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error != 0) {
        ::unlink(temporaryName.constData());
        throw EFileError(WriteFailure(path, Cause(error, QStringLiteral("書き込みに失敗しました"))));
    }
    if (::rename(temporaryName.constData(), QFile::encodeName(target).constData()) != 0) {
        const int renameError = errno;
        ::unlink(temporaryName.constData());
        throw EFileError(WriteFailure(path, Cause(renameError, QStringLiteral("元のファイルと置き換えられません"))));
    }
}

bool MakeBackup(const QString &path, const QString &bakPath, QString *failure)
{
    // A file that cannot be read must not replace the last good copy with nothing.
    QFile source(path);
    if (!QFileInfo(path).isFile() || !source.open(QIODevice::ReadOnly)) {
        if (failure)
            *failure = QStringLiteral("ファイルを読めないため控えを作れません: %1").arg(path);
        return false;
    }
    const QString target = bakPath.isEmpty() ? path + QStringLiteral(".bak") : bakPath;
    const QByteArray data = source.readAll();
    try {
        WriteFileAtomic(target, data);
    } catch (const EFileError &e) {
        if (failure)
            *failure = e.Message;
        return false;
    }
    return true;
}

bool ForceDirectories(const QString &dir)
{
    return dir.isEmpty() || QDir().mkpath(dir);
}

QString WithSlash(const QString &dir)
{
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

}  // namespace FileUtil
