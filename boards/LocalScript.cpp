#include "boards/LocalScript.h"

#include "boards/ThreadListing.h"
#include "core/Board.h"
#include "core/DatLine.h"
#include "core/JConvert.h"
#include "core/ResDownloader.h"
#include "core/ThreadItem.h"
#include "core/ThreadListDownloader.h"

#include <QDir>
#include <QFile>

namespace {

// The title in the first line of a log.
QString FirstLineTitle(const QString &logPath)
{
    QFile file(logPath);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return ParseDatLine(jconvert::SjisToUnicode(file.readLine().trimmed())).Title;
}

void ListFolder(TThreadListDownloader *job)
{
    TThreadListing listing(job);
    TBoard *board = job->Board;
    if (!board) {
        listing.Error(-1, QStringLiteral("フォルダが見つかりません。"));
        return listing.Done(true);
    }
    const QStringList names = QDir(board->GetLogDir()).entryList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    int number = 0;
    for (const QString &name : names) {
        if (!IsSafeFileName(name))
            continue;
        TThreadItem *item = TThreadListing::NewItem(board, name, QString(), 0, ++number);
        item->LoadInfo();
        if (item->TITLE.isEmpty())
            item->SetTitle(FirstLineTitle(item->GetLogFile()));
        item->AGECOUNT = item->COUNT;
        listing.Report(item, int(names.size()), number);
    }
    listing.Done(false);
}

}  // namespace

bool TLocalScript::IsRemote() const
{
    return false;
}

void TLocalScript::DownloadThreadList(TThreadListDownloader *job, bool reload, bool synchronous)
{
    Report(synchronous, [job] { ListFolder(job); });
}

void TLocalScript::DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous)
{
    Report(synchronous, [job] {
        job->NotModified = true;
        job->DeliverDone(false);
    });
}
