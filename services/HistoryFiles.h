#pragma once
// The history files of the profile folder the cleaning dialog offers, their sizes as it shows them,
// and their deletion (to the trash when kpw.ini [VARNELO] MOVETOTRASH is set).

#include <QList>
#include <QString>

namespace HistoryFiles {

struct TEntry {
    QString Description;   // "ログ内容"
    QString FileName;      // in the profile folder
};

QList<TEntry> Entries();
// The size in kilobytes rounded up, then "KB" ("0KB" for a missing file).
QString SizeText(const QString &path);
// Deletes the files of the profile folder named; missing ones are skipped. False when one could not
// be deleted.
bool Delete(const QStringList &fileNames);

}  // namespace HistoryFiles
