#include "services/BoardEditRules.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/IniFile.h"
#include "core/Site.h"

namespace BoardEditRules {

bool SplitBoardUrl(const QString &url, QString &id, QString &path)
{
    QString s = url.trimmed();
    if (s.endsWith(QLatin1Char('/')))
        s.chop(1);
    const int cut = std::max(s.lastIndexOf(QLatin1Char('/')), s.lastIndexOf(QLatin1Char(':')));
    id = s.mid(cut + 1);
    // Host and folder without the scheme, whichever it is, and without the separator before the id.
    QString head = s.left(std::max(cut, 0));
    const int scheme = head.indexOf(QStringLiteral("://"));
    if (scheme >= 0)
        head = head.mid(scheme + 3);
    path = head;
    return !id.isEmpty();
}

QString TakeFolderId(TSite *site, const QString &prefix)
{
    const QString section = QStringLiteral("LIST");
    const QString key = QStringLiteral("USED");
    TIniFile ini(site->PrepareOwnFile(QStringLiteral("site.ini")));
    const int number = ini.ReadInteger(section, key, 0) + 1;
    ini.WriteInteger(section, key, number);
    ini.UpdateFile();
    return prefix + QStringLiteral("%1").arg(number, 5, 10, QLatin1Char('0'));
}

TBoard *OtherBoardWithId(const TSite *site, const QString &id, const TBoard *skip)
{
    for (int i = 0; i < site->Boards->Count(); ++i) {
        TBoard *board = site->Boards->Get(i);
        if (board != skip && board->ID == id)
            return board;
    }
    return nullptr;
}

}  // namespace BoardEditRules
