#include "services/BasicAuthorization.h"

#include "core/Board.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/Site.h"
#include "core/TavuConfig.h"

namespace BasicAuthorization {

QString FileName()
{
    return TavuConfig->GetProfileDir() + QStringLiteral("config/_BasicAuthorization.ini");
}

void Apply(const TBoard &board, const QString &userName, const QString &password)
{
    FileUtil::ForceDirectories(TavuConfig->GetProfileDir() + QStringLiteral("config/"));
    TIniFile ini(FileName());
    const QString section = board.Site->SITEID + board.ID;
    if (userName.isEmpty()) {
        ini.WriteString(section, QStringLiteral("USERNAME"), QString());
        ini.DeleteKey(section, QStringLiteral("USERNAME"));
        ini.DeleteKey(section, QStringLiteral("PASSWORD"));
    } else {
        ini.WriteString(section, QStringLiteral("USERNAME"), userName);
        ini.WriteString(section, QStringLiteral("PASSWORD"), password);
    }
    ini.UpdateFile();
}

}  // namespace BasicAuthorization
