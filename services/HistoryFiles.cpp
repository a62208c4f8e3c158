#include "services/HistoryFiles.h"

#include "core/TavuConfig.h"
#include "core/Tavutils.h"

#include <QFileInfo>

namespace HistoryFiles {

QList<TEntry> Entries()
{
    return {{QStringLiteral("フィルタ、ログ検索などの検索履歴"), QStringLiteral("findlog.txt")},
            {QStringLiteral("ログ検索のスレッドタイトル検索履歴"), QStringLiteral("findtext.txt")},
            {QStringLiteral("書き込み時の使用ハンドル履歴"), QStringLiteral("namelog.txt")},
            {QStringLiteral("書き込み時の使用メールアドレス履歴"), QStringLiteral("maillog.txt")},
            {QStringLiteral("スレッド別の書き込み時の設定履歴"), QStringLiteral("sendname.txt")},
            {QStringLiteral("書き込みログ(レス)"), QStringLiteral("sendlog.txt")},
            {QStringLiteral("書き込みログ(スレたて)"), QStringLiteral("thrdlog.txt")},
            {QStringLiteral("URLのログ"), QStringLiteral("urllog.txt")}};
}

QString SizeText(const QString &path)
{
    const QFileInfo info(path);
    const qint64 size = info.isFile() ? info.size() : 0;
    return QString::number((size + 1023) / 1024) + QStringLiteral("KB");
}

bool Delete(const QStringList &fileNames)
{
    const bool toTrash = TavuConfig->MOVETOTRASH;
    bool deleted = true;
    for (const QString &name : fileNames)
        deleted = Tavutils::ShellDeleteFiles(TavuConfig->GetProfileDir() + name, toTrash) && deleted;
    return deleted;
}

}  // namespace HistoryFiles
