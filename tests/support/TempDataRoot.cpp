#include "TempDataRoot.h"

#include "core/FileUtil.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {
void CopyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + QDir(from).relativeFilePath(src);
        QDir().mkpath(QFileInfo(dst).absolutePath());
        QFile::copy(src, dst);
    }
}
}  // namespace

TempDataRoot::TempDataRoot(bool seeded)
{
    hadHome = qEnvironmentVariableIsSet("VARNELO_HOME");
    oldHome = qgetenv("VARNELO_HOME");
    qputenv("VARNELO_HOME", QFile::encodeName(dir.path()));
    if (seeded) {
        for (const char *sub : {"def", "resource", "config"})
            CopyTree(QStringLiteral(VARNELO_SHIP_DIR "/") + QLatin1String(sub), Path() + QLatin1String(sub) + '/');
    }
}

TempDataRoot::~TempDataRoot()
{
    if (hadHome)
        qputenv("VARNELO_HOME", oldHome);
    else
        qunsetenv("VARNELO_HOME");
}

QString TempDataRoot::Path() const
{
    return FileUtil::WithSlash(dir.path());
}

QString TempDataRoot::File(const QString &relative) const
{
    return Path() + relative;
}

void TempDataRoot::Write(const QString &relative, const QByteArray &bytes) const
{
    FileUtil::WriteFileAtomic(File(relative), bytes);
}

QByteArray TempDataRoot::Read(const QString &relative) const
{
    return FileUtil::ReadFile(File(relative));
}
