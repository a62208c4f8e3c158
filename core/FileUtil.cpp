#include "core/FileUtil.h"

#include "core/Exceptions.h"
#include "core/SaveQueue.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

namespace FileUtil {

namespace {

// Temporaries of a run that is still going are never older than this.
const QDateTime kRunStarted = QDateTime::currentDateTimeUtc();

// The name of an atomic write's temporary file: the name of a file beside it, a dot and six random
// letters of both cases. A suffix in one case only ("backup", "OLD") may be a name the user chose
// and is left alone.
bool IsTemporaryName(const QString &name, const QDir &folder)
{
    static const QRegularExpression kPattern(QStringLiteral("^(.+)\\.([A-Za-z]{6})$"));
    const QRegularExpressionMatch m = kPattern.match(name);
    if (!m.hasMatch())
        return false;
    const QString suffix = m.captured(2);
    const bool mixedCase = suffix != suffix.toLower() && suffix != suffix.toUpper();
    return mixedCase && QFileInfo(folder.filePath(m.captured(1))).isFile();
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
    for (const QString &name : candidates) {
        const QFileInfo info(dir.filePath(name));
        if (info.lastModified().toUTC() < kRunStarted && IsTemporaryName(name, dir))
            QFile::remove(info.filePath());
    }
}

QString WriteFailure(const QString &path, const QFileDevice &f)
{
    QString cause;
    switch (f.error()) {
    case QFileDevice::ResourceError: cause = QStringLiteral("ディスクの空きが足りません"); break;
    case QFileDevice::PermissionsError: cause = QStringLiteral("書き込む権限がありません"); break;
    case QFileDevice::OpenError: cause = QStringLiteral("ファイルを作れません"); break;
    case QFileDevice::RenameError: cause = QStringLiteral("元のファイルと置き換えられません"); break;
    default: cause = QStringLiteral("書き込みに失敗しました"); break;
    }
    return QStringLiteral("ファイルを書き込めません: %1（%2）").arg(path, cause);
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
    const QString folder = QFileInfo(path).absolutePath();
    ForceDirectories(folder);
    RemoveStaleTemporaries(folder);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw EFileError(WriteFailure(path, f));
    // A short write is often buffered and fails only when flushed: every step is checked before
    // the new file may take the old one's place.
    const bool written = f.write(data) == data.size() && f.flush() && f.error() == QFileDevice::NoError
        && f.size() == data.size();
    if (!written) {
        const QString message = WriteFailure(path, f);
        f.cancelWriting();
        throw EFileError(message);
    }
    if (!f.commit())
        throw EFileError(WriteFailure(path, f));
}

bool MakeBackup(const QString &path, const QString &bakPath)
{
    // A file that cannot be read must not replace the last good copy with nothing.
    QFile source(path);
    if (!QFileInfo(path).isFile() || !source.open(QIODevice::ReadOnly))
        return false;
    const QString target = bakPath.isEmpty() ? path + QStringLiteral(".bak") : bakPath;
    const QByteArray data = source.readAll();
    try {
        WriteFileAtomic(target, data);
    } catch (const EFileError &) {
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
