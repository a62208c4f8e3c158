#include "boards/FavoritesScript.h"

#include "boards/ThreadListing.h"
#include "core/Board.h"
#include "core/ResDownloader.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "core/ThreadListDownloader.h"
#include "net/HttpCli.h"

namespace {

QString FolderFileOf(const TBoard *folder)
{
    return folder->GetLogDir() + folder->ID + QStringLiteral(".txt");
}

// The items of a folder's file, each with the reference it was made with. A missing file is an empty
// folder; readable tells whether a file that exists could be read.
QList<TThreadItem *> FolderItems(const TBoard *folder, bool *readable = nullptr)
{
    TTextList file;
    file.LoadFromFile(FolderFileOf(folder));
    if (readable)
        *readable = !file.ReadFailed();
    QList<TThreadItem *> items;
    for (int i = 1; i < file.Count(); ++i) {
        const QStringList fields = file[i].split(u'\t');
        if (fields.size() < 3)
            continue;
        auto *item = new TThreadItem();
        item->SetLocation(fields[0], fields[1], fields[2], fields.value(3));
        item->LoadInfo();
        item->Number = int(items.size()) + 1;
        items << item;
    }
    return items;
}

void ListFolder(TThreadListDownloader *job)
{
    TThreadListing listing(job);
    if (!job->Board || job->Board->Kind != TBoard::KIND_FAVORITES) {
        listing.Error(-1, QStringLiteral("お気に入りのフォルダではありません。"));
        return listing.Done(true);
    }
    bool readable = true;
    const QList<TThreadItem *> items = FolderItems(job->Board, &readable);
    if (!readable) {
        listing.Error(httpFileError, QStringLiteral("ファイルを読み込めませんでした。"), FolderFileOf(job->Board));
        return listing.Done(true);
    }
    for (TThreadItem *item : items)
        listing.Report(item, int(items.size()), item->Number);
    listing.Done(false);
}

}  // namespace

bool TFavoritesScript::IsRemote() const
{
    return false;
}

void TFavoritesScript::DownloadThreadList(TThreadListDownloader *job, bool reload, bool synchronous)
{
    Report(synchronous, [job] { ListFolder(job); });
}

void TFavoritesScript::DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous)
{
    const TBoard *board = job->Item() ? job->Item()->GetBoard() : nullptr;
    TBBS *own = board ? board->BBS : nullptr;
    if (own && own != this)
        return own->DownloadThread(job, reload, firstMode, synchronous);
    TBBS::DownloadThread(job, reload, firstMode, synchronous);
}

void TFavoritesScript::CollectFolderThreads(const TBoard *folder, TThreadItemList *list)
{
    if (!folder)
        return;
    for (TThreadItem *item : FolderItems(folder)) {
        list->Add(item);
        item->Release();
    }
}
