#include "core/FileUtil.h"

#include "core/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace FileUtil {

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void WriteFileAtomic(const QString &path, const QByteArray &data)
{
    ForceDirectories(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw EFileError(QStringLiteral("ファイルを書き込めません: %1").arg(path));
    if (f.write(data) != data.size() || !f.commit())
        throw EFileError(QStringLiteral("ファイルを書き込めません: %1").arg(path));
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
