#include "core/ThreadItemList.h"

#include "core/Site.h"
#include "core/ThreadItem.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QHashFunctions>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

using Items = QList<TThreadItem *>;

// Sorts by a key computed once per item. less(a, b) orders two keys ascending; descending
// reverses it. Equal keys keep their order.
template <typename Key, typename MakeKey, typename Less>
void SortByKey(Items &items, MakeKey makeKey, Less less, bool descending)
{
    std::vector<std::pair<Key, TThreadItem *>> keyed;
    keyed.reserve(size_t(items.size()));
    for (TThreadItem *item : items)
        keyed.emplace_back(makeKey(item), item);
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto &a, const auto &b) {
        return descending ? less(b.first, a.first) : less(a.first, b.first);
    });
    for (qsizetype i = 0; i < items.size(); ++i)
        items[i] = keyed[size_t(i)].second;
}

// Numbers: a main value, then a second one.
using NumberKey = std::pair<qint64, qint64>;

void SortByNumbers(Items &items, const std::function<NumberKey(const TThreadItem *)> &makeKey,
                   bool descending)
{
    SortByKey<NumberKey>(items, makeKey, std::less<NumberKey>(), descending);
}

// Texts compare by the locale's collation with case folded away.
QCollator &TextCollator()
{
    thread_local QCollator collator = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

using TextKey = QCollatorSortKey;

TextKey MakeTextKey(const QString &text)
{
    return TextCollator().sortKey(text.toCaseFolded());
}

// emptyLast: empty texts follow the others in both directions.
void SortByText(Items &items, const std::function<QString(const TThreadItem *)> &textOf,
                bool descending, bool emptyLast = false)
{
    auto makeKey = [&](const TThreadItem *item) { return MakeTextKey(textOf(item)); };
    if (!emptyLast) {
        SortByKey<TextKey>(items, makeKey,
                           [](const TextKey &a, const TextKey &b) { return a.compare(b) < 0; },
                           descending);
        return;
    }
    // The empty texts are set apart first, so that reversing the order keeps them last.
    Items filled;
    Items empty;
    for (TThreadItem *item : items)
        (textOf(item).isEmpty() ? empty : filled).append(item);
    SortByText(filled, textOf, descending);
    items = filled + empty;
}

// Dat names: their keys as numbers when both are numeric (numbers before texts), else as texts.
struct DatKey {
    bool numeric;
    qint64 number;
    TextKey text;
};

DatKey MakeDatKey(const TThreadItem *item)
{
    bool numeric = false;
    const qint64 number = item->GetKey().toLongLong(&numeric);
    return DatKey{numeric, number, MakeTextKey(item->DatName)};
}

bool DatLess(const DatKey &a, const DatKey &b)
{
    if (a.numeric != b.numeric)
        return a.numeric;
    if (a.numeric)
        return a.number < b.number;
    return a.text.compare(b.text) < 0;
}

// Key 2: the listing number moved into bands by the thread's state.
qint64 StatusRank(const TThreadItem *item)
{
    int band = 80000;
    if (item->IsNew)
        band = 10000;
    else if (item->Updated)
        band = 30000;
    else if (item->KAKOLOG)
        band = 60000;
    else if (item->READ > 0)
        band = 50000;
    return qint64(item->Number) + band;
}

// Key 6: the posts not read yet.
qint64 NewPosts(const TThreadItem *item)
{
    if (item->NewCount >= 1)
        return item->NewCount;
    if (item->READ > 0 && !item->KAKOLOG)
        return item->AGECOUNT - item->READ;
    return 0;
}

QString SiteAndBoard(const TThreadItem *item)
{
    return (item->Site ? item->Site->NAME : QString()) + item->BoardID;
}

// Sorts in place by the key; any other key leaves the order unchanged.
void SortItems(Items &items, int key, bool ascending)
{
    const bool descending = !ascending;
    switch (key) {
    case TThreadItemList::SortNumber:
        return SortByNumbers(items, [](auto *i) { return NumberKey(i->Number, 0); }, descending);
    case TThreadItemList::SortStatus:
        return SortByNumbers(items, [](auto *i) { return NumberKey(StatusRank(i), 0); }, descending);
    case TThreadItemList::SortInfo:
        return SortByNumbers(items, [](auto *i) { return NumberKey(i->READ > 0 ? 0 : 1, i->Number); },
                             descending);
    case TThreadItemList::SortTitle:
        return SortByText(items, [](auto *i) { return i->TITLE; }, descending);
    case TThreadItemList::SortAgeCount:
        return SortByNumbers(items, [](auto *i) { return NumberKey(i->AGECOUNT, 0); }, descending);
    case TThreadItemList::SortNewCount:   // the ascending flag asks for the largest first
        return SortByNumbers(items, [](auto *i) { return NumberKey(NewPosts(i), 0); }, ascending);
    case TThreadItemList::SortRead:
        return SortByNumbers(items, [](auto *i) { return NumberKey(i->READ, 0); }, descending);
    case TThreadItemList::SortPriority:   // the ascending flag asks for the largest first
        return SortByNumbers(items, [](auto *i) { return NumberKey(i->PRIORITY, 0); }, ascending);
    case TThreadItemList::SortLastLoad:
        return SortByText(items, [](auto *i) { return i->LAST_LOAD; }, descending, true);
    case TThreadItemList::SortLastSent:
        return SortByText(items, [](auto *i) { return i->LAST_SENT; }, descending, true);
    case TThreadItemList::SortComment:
        return SortByText(items, [](auto *i) { return i->COMMENT; }, descending);
    case TThreadItemList::SortBoard:
        return SortByText(items, [](auto *i) { return i->BoardID; }, descending);
    case TThreadItemList::SortSite:
        return SortByText(items, SiteAndBoard, descending);
    case TThreadItemList::SortReadPoint:
        return SortByNumbers(items, [](auto *i) { return NumberKey(i->READPOINT > 0 ? 0 : 1, i->Number); },
                             descending);
    case TThreadItemList::SortReadPointNo:
        return SortByNumbers(items, [](auto *i) { return NumberKey(i->READPOINT, 0); }, descending);
    case TThreadItemList::SortDat:
        return SortByKey<DatKey>(items, MakeDatKey, DatLess, descending);
    case TThreadItemList::SortSince:
        return SortByText(items, [](auto *i) { return i->SINCE; }, descending);
    case TThreadItemList::SortThreadNo:
        return SortByText(items, [](auto *i) { return i->THREADNO; }, descending);
    default:
        return;
    }
}

// A thread key's code in the table of keys: its number, as a listing row holds it, else a hash of
// it apart from every number (negative).
qint64 KeyCode(QStringView key)
{
    qint64 number = 0;
    if (TListingRows::NumberOf(key, number))
        return number;
    return -1 - qint64(qHash(key) & 0x7fffffffffffffffULL);
}

}  // namespace

TThreadItemList::~TThreadItemList()
{
    Clear();
}

int TThreadItemList::Add(TThreadItem *item)
{
    item->AddRef();
    places.append(quintptr(item));
    Changed();
    return Count() - 1;
}

void TThreadItemList::AddRow(const std::shared_ptr<TListingRows> &rows, int row)
{
    if (!listing)
        listing = rows;
    if (listing != rows) {
        Add(rows->Item(row));
        return;
    }
    places.append((quintptr(row) << 1) | 1);
    Changed();
}

void TThreadItemList::Insert(int index, TThreadItem *item)
{
    item->AddRef();
    places.insert(index, quintptr(item));
    Changed();
}

TThreadItem *TThreadItemList::Get(int index) const
{
    const quintptr slot = places.at(index);
    if (!IsRow(slot))
        return reinterpret_cast<TThreadItem *>(slot);
    TThreadItem *item = listing->Item(RowOf(slot));
    item->AddRef();
    places[index] = quintptr(item);
    return item;
}

TThreadItem *TThreadItemList::PeekSlot(quintptr slot) const
{
    return IsRow(slot) ? listing->Made(RowOf(slot)) : reinterpret_cast<TThreadItem *>(slot);
}

const TThreadItem *TThreadItemList::Peek(int index) const
{
    return PeekSlot(places.at(index));
}

TListingRows::TRow TThreadItemList::ListedRow(int index) const
{
    return listing->Row(RowOf(places.at(index)));
}

QString TThreadItemList::DatNameAt(int index) const
{
    const quintptr slot = places.at(index);
    const TThreadItem *item = PeekSlot(slot);
    return item ? item->DatName : listing->DatName(RowOf(slot));
}

int TThreadItemList::IndexOf(const TThreadItem *item) const
{
    for (qsizetype i = places.size() - 1; i >= 0; --i) {
        if (PeekSlot(places[i]) == item)
            return int(i);
    }
    return -1;
}

int TThreadItemList::IndexOfDatName(const QString &datName) const
{
    // A row's dat name is a number with ".dat": only a name that reads so in lower case is one.
    qint64 key = 0;
    const bool rowName = TListingRows::KeyOf(datName.toLower(), key);
    for (int i = 0; i < Count(); ++i) {
        const quintptr slot = places[i];
        const TThreadItem *item = PeekSlot(slot);
        if (item ? item->DatName.compare(datName, Qt::CaseInsensitive) == 0 : rowName && listing->Key(RowOf(slot)) == key)
            return i;
    }
    return -1;
}

int TThreadItemList::DeleteItems(const QSet<const TThreadItem *> &gone)
{
    QList<TThreadItem *> released;
    const qsizetype removed = places.removeIf([&](quintptr slot) {
        TThreadItem *item = PeekSlot(slot);
        if (!item || !gone.contains(item))
            return false;
        if (!IsRow(slot))
            released.append(item);
        return true;
    });
    for (TThreadItem *item : released)
        item->Release();
    Changed();
    return int(removed);
}

void TThreadItemList::Delete(int index)
{
    const quintptr slot = places.takeAt(index);
    Changed();
    if (!IsRow(slot))
        reinterpret_cast<TThreadItem *>(slot)->Release();
}

TThreadItem *TThreadItemList::Detach(int index)
{
    TThreadItem *item = Get(index);
    places.removeAt(index);
    Changed();
    return item;
}

void TThreadItemList::Move(int from, int to)
{
    places.move(from, to);
    Changed();
}

void TThreadItemList::Clear()
{
    const QList<quintptr> old = std::exchange(places, QList<quintptr>());
    Changed();
    for (const quintptr slot : old) {
        if (!IsRow(slot))
            reinterpret_cast<TThreadItem *>(slot)->Release();
    }
    listing.reset();
}

int TThreadItemList::CountMarked() const
{
    return int(std::count_if(places.begin(), places.end(), [this](quintptr slot) {
        const TThreadItem *item = PeekSlot(slot);
        return item && item->IsNew;
    }));
}

QList<TThreadItem *> TThreadItemList::MakeAll() const
{
    QList<TThreadItem *> all;
    all.reserve(places.size());
    for (int i = 0; i < Count(); ++i)
        all.append(Get(i));
    return all;
}

void TThreadItemList::Sort(int key, bool ascending)
{
    Items all = MakeAll();
    SortItems(all, key, ascending);
    for (qsizetype i = 0; i < all.size(); ++i)
        places[i] = quintptr(all[i]);
    Changed();
}

void TThreadItemList::Changed()
{
    keyTable = {};
}

void TThreadItemList::MakeKeyTable() const
{
    keyTable.reserve(size_t(places.size()));
    for (int i = 0; i < Count(); ++i) {
        const quintptr slot = places[i];
        keyTable.emplace_back(IsRow(slot) ? listing->Key(RowOf(slot)) : KeyCode(PeekSlot(slot)->KeyView()), i);
    }
    std::sort(keyTable.begin(), keyTable.end());
}

QList<int> TThreadItemList::IndexesOfKey(QStringView key) const
{
    if (keyTable.empty())
        MakeKeyTable();   // nothing to make for an empty list
    const qint64 code = KeyCode(key);
    auto found = std::lower_bound(keyTable.begin(), keyTable.end(), std::pair<qint64, int>(code, 0));
    QList<int> indexes;
    for (; found != keyTable.end() && found->first == code; ++found)
        indexes.append(found->second);
    return indexes;
}
