#include "core/ListingRows.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/ThreadItem.h"

namespace {

const QString DatExtension = QStringLiteral(".dat");
constexpr qsizetype TitleBlock = 64 * 1024;   // characters

// Nothing but what SetLocation, the count and the number give is set.
bool HoldsNothingElse(const TThreadItem &item)
{
    return item.COUNT == 0 && item.READ == 0 && !item.BOLD && !item.REVERSE && item.COLOR == clWindowText
        && !item.ABONE && !item.KAKOLOG && !item.FAVORITE && !item.SHORTCUT && item.PRIORITY == 0
        && item.READPOINT == 0 && item.TOP == 0 && item.COMMENT.isEmpty() && item.LAST_LOAD.isEmpty()
        && item.LAST_SENT.isEmpty() && item.LOAD_COUNT == 0 && item.SEND_COUNT == 0 && item.SINCE.isEmpty()
        && item.THREADNO.isEmpty() && !item.LOCALLOG && item.LAST_MODIFIED.isEmpty() && item.ETAG.isEmpty()
        && item.SIZE == 0 && item.Bookmarks.Count() == 0 && item.NewCount == -1 && item.ServerCount == 0
        && item.Live && !item.DownloadRequest && !item.IsNew && !item.Updated && !item.Checking
        && !item.CheckError && !item.Shown && !item.OnAddRef && !item.OnRelease && !item.OnChange;
}

}  // namespace

TListingRows::TListingRows(const QString &siteId, const QString &boardId) : siteId(siteId), boardId(boardId) {}

TListingRows::~TListingRows()
{
    for (const TEntry &entry : rows) {
        if (entry.item)
            entry.item->Release();
    }
}

QString TListingRows::TRow::DatName() const
{
    return QString::number(Key) + DatExtension;
}

QString TListingRows::DatName(int row) const
{
    return QString::number(Key(row)) + DatExtension;
}

bool TListingRows::KeyOf(QStringView datName, qint64 &key)
{
    return datName.endsWith(DatExtension) && NumberOf(datName.chopped(DatExtension.size()), key);
}

bool TListingRows::NumberOf(QStringView digits, qint64 &key)
{
    if (digits.isEmpty() || digits.size() > 18 || digits.front() == u'0')
        return false;
    key = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return false;
        key = key * 10 + (c.unicode() - u'0');
    }
    return true;
}

bool TListingRows::Takes(const TThreadItem &item, qint64 &key) const
{
    if (item.RefCount() != 1 || !item.Site || item.Site->SITEID != siteId || item.BoardID != boardId)
        return false;
    const TBoard *listed = item.Site->Boards ? item.Site->Boards->FindByID(boardId) : nullptr;
    return listed && item.GetBoard() == listed && item.BBS == listed->BBS && KeyOf(item.DatName, key)
        && HoldsNothingElse(item);
}

int TListingRows::Add(qint64 key, const QString &title, int count, int number)
{
    if (titles.empty() || titles.back().size() + title.size() > titles.back().capacity()) {
        titles.emplace_back();
        titles.back().reserve(std::max(TitleBlock, title.size()));
    }
    QString &block = titles.back();
    rows.push_back(TEntry{key, count, number, int(titles.size() - 1), int(block.size()), int(title.size()), nullptr});
    block += title;
    return Count() - 1;
}

QString TListingRows::TitleOf(const TEntry &entry) const
{
    return titles[size_t(entry.block)].sliced(entry.offset, entry.length);
}

TListingRows::TRow TListingRows::Row(int row) const
{
    const TEntry &entry = rows[size_t(row)];
    return TRow{entry.key, TitleOf(entry), entry.count, entry.number};
}

TThreadItem *TListingRows::Item(int row)
{
    TEntry &entry = rows[size_t(row)];
    if (!entry.item) {
        entry.item = new TThreadItem;
        entry.item->SetLocation(siteId, boardId, DatName(row), TitleOf(entry));
        entry.item->AGECOUNT = entry.count;
        entry.item->Number = entry.number;
    }
    return entry.item;
}

TThreadItem *TListingRows::Made(int row) const
{
    return rows[size_t(row)].item;
}
