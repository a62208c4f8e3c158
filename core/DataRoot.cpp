#include "core/DataRoot.h"

#include "core/Exceptions.h"
#include "core/FileUtil.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtDebug>

namespace DataRoot {

QString AppDir()
{
    const QString home = qEnvironmentVariable("VARNELO_HOME");
    if (!home.isEmpty())
        return FileUtil::WithSlash(QDir::cleanPath(home));
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return FileUtil::WithSlash(QDir::cleanPath(data + QStringLiteral("/varnelo")));
}

QString ShipDir()
{
    return FileUtil::WithSlash(QStringLiteral(VARNELO_SHIP_DIR));
}

int Seed(const QString &shipDir, const QString &appDir)
{
    int copied = 0;
    for (const char *sub : {"def", "resource", "config"}) {
        const QDir from(FileUtil::WithSlash(shipDir) + QLatin1String(sub));
        if (!from.exists())
            continue;
        const QString to = FileUtil::WithSlash(appDir) + QLatin1String(sub) + QLatin1Char('/');
        QDirIterator it(from.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString source = it.next();
            const QString target = to + from.relativeFilePath(source);
            if (!QFileInfo::exists(target) && CopyIfMissing(source, target))
                ++copied;
        }
    }
    return copied;
}

bool CopyIfMissing(const QString &source, const QString &target)
{
    if (QFileInfo::exists(target))
        return true;
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    try {
        FileUtil::WriteFileAtomic(target, file.readAll());
    } catch (const EFileError &e) {
        qWarning().noquote() << e.Message;
        return false;
    }
    return true;
}

}  // namespace DataRoot
