#include "services/BBSSetup.h"

#include "core/Board.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/MonaUtils.h"
#include "core/TavuConfig.h"
#include "services/PageFetch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace BBSSetup {

const QStringList &SiteFiles()
{
    static const QStringList files{QStringLiteral("back.bmp"),       QStringLiteral("board.dat"),
                                   QStringLiteral("comment.txt"),    QStringLiteral("icon.bmp"),
                                   QStringLiteral("ParseBoard.ruro"), QStringLiteral("site.ini"),
                                   QStringLiteral("ParseThread.ruro"), QStringLiteral("ParseRes.ruro")};
    return files;
}

QString SiteFolderName(const QString &url)
{
    const QString name = MonaUtils::ExtractUrlName(MonaUtils::ExcludeTrailingSlash(url.trimmed()));
    return TBoard::IsSafePathPart(name) ? name : QString();
}

QString SiteFolder(const QString &name)
{
    return TTavuConfig::AppDir() + QStringLiteral("config/site/") + name + QLatin1Char('/');
}

bool DownloadSiteFiles(const QString &baseUrl, const QString &folder, const std::function<void(const QString &)> &before,
                       const std::function<void(int)> &after)
{
    const bool folderExisted = QFileInfo::exists(folder);
    FileUtil::ForceDirectories(folder);
    QStringList written;
    int done = 0;
    for (const QString &file : SiteFiles()) {
        before(file);
        QByteArray body;
        if (PageFetch::Get(baseUrl + file, body)) {
            try {
                FileUtil::WriteFileAtomic(folder + file, body);
                written << file;
            } catch (const EVarnelo &) {
                // a file that cannot be written is skipped like one the server does not give
            }
        }
        after(++done);
    }
    if (written.contains(QStringLiteral("site.ini")))
        return true;
    for (const QString &file : written)
        QFile::remove(folder + file);
    if (!folderExisted)
        QDir().rmdir(folder);
    return false;
}

QStringList Summary(const QString &folder)
{
    const TIniFile ini(folder + QStringLiteral("site.ini"));
    const QString section = QStringLiteral("SITE");
    return {ini.ReadString(section, QStringLiteral("NAME")),
            ini.ReadString(section, QStringLiteral("URL")),
            QStringLiteral("--"),
            QStringLiteral("SCRIPT:") + ini.ReadString(section, QStringLiteral("BBSTYPE")),
            QStringLiteral("CHAR  :") + ini.ReadString(section, QStringLiteral("CHARSET")),
            QStringLiteral("ADMIN :") + ini.ReadString(section, QStringLiteral("ADMIN"))};
}

}  // namespace BBSSetup
