#pragma once
// What the site set-up (TBBSSetupDialog) does without its window: the folder name a base URL gives,
// the eight files of a published site folder fetched into the program's config/site/<name>/, and the
// lines that show the fetched site's identity.

#include <QString>
#include <QStringList>
#include <functional>

namespace BBSSetup {

// back.bmp, board.dat, comment.txt, icon.bmp, ParseBoard.ruro, site.ini, ParseThread.ruro,
// ParseRes.ruro, in the order they are fetched.
const QStringList &SiteFiles();

// The last part of the URL, one trailing "/" removed: the site's folder name and SITEID. Empty when
// it is no safe folder name.
QString SiteFolderName(const QString &url);

// The program's folder of an installed site (config/site/<name>/).
QString SiteFolder(const QString &name);

// Fetches each site file from baseUrl (ending in "/") into the folder, made when missing; a file the
// server does not give is skipped. before(file) runs before each fetch, after(count done) after each.
// A site is its site.ini: without it nothing is installed, so the files fetched are removed again, and
// the folder when it was made here, and the result is false.
bool DownloadSiteFiles(const QString &baseUrl, const QString &folder, const std::function<void(const QString &)> &before,
                       const std::function<void(int)> &after);

// NAME, URL, "--", "SCRIPT:" BBSTYPE, "CHAR  :" CHARSET, "ADMIN :" ADMIN of the folder's site.ini.
QStringList Summary(const QString &folder);

}  // namespace BBSSetup
