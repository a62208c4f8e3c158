#include "settings/BookmarkShelf.h"

#include "controls/BarsAndMenus.h"
#include "controls/UserFiles.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Bookmark.h"
#include "core/Exceptions.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/Site.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"

TBookmarkShelf::TBookmarkShelf(TTextList &index, const QString &indexFile) : index(index), indexFile(indexFile) {}

TBookmarkShelf::~TBookmarkShelf()
{
    for (TThreadItem *item : threads)
        item->Release();
}

QString TBookmarkShelf::IndexName(const TThreadItem *item)
{
    const QString siteId = item->Site ? item->Site->SITEID : QString();
    return siteId + QLatin1Char('/') + item->BoardID + QLatin1Char('/') + item->GetKey();
}

QString TBookmarkShelf::NoCategory()
{
    return QStringLiteral("(未入力)");
}

bool TBookmarkShelf::Add(TThreadItem *item, const TRes &res, const QString &memo, const QString &category)
{
    if (item->GetInfFile().isEmpty())
        return false;
    item->OpenInf();   // what the bookmark windows changed meanwhile
    TBookmarkRes *bookmark = item->Bookmarks.FindByResNo(res.Number);
    if (!bookmark) {
        bookmark = new TBookmarkRes;
        bookmark->ResNo = res.Number;
        bookmark->Name = res.Name;
        bookmark->Date = res.DateField();
        bookmark->Body = res.Body;
        bookmark->PlainName = MonaUtils::StripHtmlTags(res.Name);
        bookmark->Item = item;
        item->Bookmarks.Add(bookmark);
    }
    bookmark->Memo = memo;
    bookmark->Category = category;
    if (!item->SaveInfo())
        return false;
    Enter(item);
    return true;
}

bool TBookmarkShelf::Remove(TThreadItem *item, int resNo)
{
    bool removed = false;
    for (int i = item->Bookmarks.Count() - 1; i >= 0; --i) {
        if (item->Bookmarks.Get(i)->ResNo == resNo) {
            item->Bookmarks.Delete(i);
            removed = true;
        }
    }
    if (removed)
        Save(item);
    return removed;
}

void TBookmarkShelf::Clear(TThreadItem *item)
{
    item->Bookmarks.Clear();
    Save(item);
}

void TBookmarkShelf::SetCategory(TBookmarkRes *bookmark, const QString &category)
{
    bookmark->Category = category;
    Save(bookmark->Item);
}

void TBookmarkShelf::Save(TThreadItem *item)
{
    item->SaveInfo();
    if (item->Bookmarks.Count() > 0)
        Enter(item);
    else
        UserFiles::RemoveBookmarkEntry(item, index, indexFile);
}

// The thread's index line, with its title; the index is saved when that changed it.
void TBookmarkShelf::Enter(TThreadItem *item)
{
    const QString name = IndexName(item);
    if (index.IndexOfName(name) < 0)
        index.Add(name + QLatin1Char('=') + item->TITLE);
    else if (!item->TITLE.isEmpty() && index.Value(name) != item->TITLE)
        index.SetValue(name, item->TITLE);   // (an empty value would remove the line)
    else
        return;
    SaveIndex();
}

void TBookmarkShelf::SaveIndex()
{
    try {
        index.SaveToFile(indexFile);
    } catch (const EFileError &e) {
        EventLog::AddLog(e.Message);
    }
}

void TBookmarkShelf::LoadThreads()
{
    for (TThreadItem *item : threads)
        item->Release();
    threads.clear();
    for (const QString &line : index.Lines) {
        const QStringList parts = TTextList::NameOf(line).split(QLatin1Char('/'));
        if (parts.size() != 3)
            continue;
        auto *item = new TThreadItem;
        if (item->SetLocation(parts[0], parts[1], parts[2], TTextList::ValueOf(line)) && item->GetBoard()) {
            item->LoadInfo();
            if (item->Bookmarks.Count() > 0) {
                threads.append(item);
                continue;
            }
        }
        item->Release();
    }
}

void TBookmarkShelf::DropEmptyThreads()
{
    for (int i = threads.size() - 1; i >= 0; --i) {
        if (threads[i]->Bookmarks.Count() == 0)
            threads.takeAt(i)->Release();
    }
}

QList<TSite *> TBookmarkShelf::Sites() const
{
    QList<TSite *> sites;
    for (const TThreadItem *item : threads)
        if (!sites.contains(item->Site))
            sites.append(item->Site);
    return sites;
}

QList<TBoard *> TBookmarkShelf::Boards(const TSite *site) const
{
    QList<TBoard *> boards;
    for (const TThreadItem *item : threads) {
        TBoard *board = item->GetBoard();
        if ((!site || item->Site == site) && !boards.contains(board))
            boards.append(board);
    }
    return boards;
}

QList<TThreadItem *> TBookmarkShelf::ThreadsOf(const TSite *site, const TBoard *board) const
{
    QList<TThreadItem *> found;
    for (TThreadItem *item : threads)
        if ((!site || item->Site == site) && (!board || item->GetBoard() == board))
            found.append(item);
    return found;
}

QList<TThreadItem *> TBookmarkShelf::ThreadsInCategory(const QString &category) const
{
    QList<TThreadItem *> found;
    for (TThreadItem *item : threads) {
        for (int i = 0; i < item->Bookmarks.Count(); ++i) {
            if (item->Bookmarks.Get(i)->Category == category) {
                found.append(item);
                break;
            }
        }
    }
    return found;
}
