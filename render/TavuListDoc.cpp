#include "render/TavuListDoc.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/DatLine.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/TavuAction.h"
#include "core/TavuActionList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "net/TavuHttpList.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QSet>
#include <algorithm>

namespace {

const QString SubjectDat = QStringLiteral("subject.dat");
const QString SubjectTxt = QStringLiteral("subject.txt");

std::function<QIcon(TTavuListDoc::TTabImage)> &TabImages()
{
    static std::function<QIcon(TTavuListDoc::TTabImage)> images;
    return images;
}

// Each line of the text, split at CR LF, CR or LF as the stored lists are read.
template <typename TakeLine>
void ForEachLine(QStringView text, TakeLine takeLine)
{
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        takeLine(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        takeLine(text.sliced(start));
}

// A place of a listing as the stored lists write it, whether its item was made or not.
struct TListedThread {
    QString DatName;
    QString Title;
    int Count = 0;
};

TListedThread ListedThread(const TThreadItemList &list, int index)
{
    if (const TThreadItem *item = list.Peek(index))
        return {item->DatName, item->TITLE, item->AGECOUNT};
    const TListingRows::TRow row = list.ListedRow(index);
    return {row.DatName(), row.Title, row.Count};
}

QString KeyOfDatName(const QString &datName)
{
    const qsizetype dot = datName.indexOf(u'.');
    return dot < 0 ? datName : datName.left(dot);
}

// Writes one line per place of the list (Shift_JIS, CR LF), encoded line by line so that a
// listing of a million threads is never held as one text besides its bytes.
void SaveListing(const QString &path, const TThreadItemList &list,
                 const std::function<QString(const TListedThread &)> &lineOf)
{
    QByteArray bytes;
    for (int i = 0; i < list.Count(); ++i) {
        bytes += jconvert::UnicodeToSjis(lineOf(ListedThread(list, i)));
        bytes += "\r\n";
    }
    FileUtil::WriteFileAtomic(path, bytes);
}

}  // namespace

TTavuListDoc::TTavuListDoc(TThreadItemList *itemList, QObject *parent)
    : QObject(parent), items(itemList ? itemList : new TThreadItemList), arrival(new TThreadItemList)
{
}

TTavuListDoc::~TTavuListDoc() = default;

void TTavuListDoc::AddItem(TThreadItem *item)
{
    items->Add(item);
    arrival->Add(item);
}

void TTavuListDoc::AddListed(TThreadItem *item)
{
    item->Number = arrival->Count() + 1;
    if (ItemLimit > 0 && items->Count() > ItemLimit) {
        const std::shared_ptr<TListingRows> listing = Rows();
        qint64 key = 0;
        if (listing->Takes(*item, key)) {
            const int row = listing->Add(key, item->TITLE, item->AGECOUNT, item->Number);
            items->AddRow(listing, row);
            arrival->AddRow(listing, row);
            return;
        }
    }
    AddItem(item);
}

void TTavuListDoc::AddStored(const QString &datName, const QString &title, int count, bool rowed)
{
    const int number = arrival->Count() + 1;
    qint64 key = 0;
    if (rowed && TListingRows::KeyOf(datName, key)) {
        const std::shared_ptr<TListingRows> listing = Rows();
        const int row = listing->Add(key, title, count, number);
        items->AddRow(listing, row);
        arrival->AddRow(listing, row);
        return;
    }
    auto *item = new TThreadItem;
    item->SetLocation(Site->SITEID, BoardID, datName, title);
    item->AGECOUNT = count;
    item->Number = number;
    AddItem(item);
    item->Release();
}

std::shared_ptr<TListingRows> TTavuListDoc::Rows() const
{
    if (std::shared_ptr<TListingRows> listing = arrival->Listing())
        return listing;
    return std::make_shared<TListingRows>(Site ? Site->SITEID : QString(), BoardID);
}

void TTavuListDoc::ClearItems()
{
    items->Clear();
    arrival->Clear();
    displayCount = 0;
    emit Changed(this);
}

// ---- the tab ----

void TTavuListDoc::Activate()
{
    if (TabButton)
        TabButton->setChecked(true);
    if (TabMenuItem)
        TabMenuItem->setChecked(true);
    emit Activated(this);
}

void TTavuListDoc::DoSelect()
{
    emit Select(this);
}

TBoard *TTavuListDoc::GetBoard() const
{
    return Site ? Site->Boards->FindByID(BoardID) : nullptr;
}

void TTavuListDoc::SetTabImages(std::function<QIcon(TTabImage)> images)
{
    TabImages() = std::move(images);
}

TTavuListDoc::TTabImage TTavuListDoc::CurrentTabImage() const
{
    if (locked)
        return tiLocked;
    if (DownloadState == dsDownloading)
        return tiDownloading;
    if (DownloadState == dsLoadingStored)
        return tiLoadingStored;
    if (Mode == lmFilter)
        return tiFilter;
    return Mode == lmHeadline ? tiHeadline : tiBoard;
}

void TTavuListDoc::UpdateTabImage()
{
    if (TabButton && TabImages())
        TabButton->setIcon(TabImages()(CurrentTabImage()));
}

void TTavuListDoc::SetLocked(bool on)
{
    locked = on;
    UpdateTabImage();
}

void TTavuListDoc::CancelDownload()
{
    bool ending = false;   // a job runs that will set the document idle when it ends
    // A running job ends through its error and done callbacks.
    if (Downloader && TavuHttpList && TavuHttpList->AbortJobsOf(Downloader))
        ending = true;
    if (!ending && DownloadState != dsIdle) {
        DownloadState = dsIdle;
        UpdateTabImage();
    }
}

// ---- the stored listing ----

QString TTavuListDoc::LogFile(const QString &name) const
{
    const TBoard *board = GetBoard();
    return board ? board->GetLogDir() + name : QString();
}

bool TTavuListDoc::LoadSubjectDat()
{
    previousKeys.clear();
    previousOtherKeys.clear();
    const QString path = LogFile(SubjectDat);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    const QString text = jconvert::SjisToUnicode(FileUtil::ReadFile(path));
    ForEachLine(text, [this](QStringView line) {
        const QStringView key = line.first(std::max<qsizetype>(line.indexOf(u'='), 0));
        qint64 number = 0;
        if (TListingRows::NumberOf(key, number))
            previousKeys.push_back(number);
        else if (!key.isEmpty())
            previousOtherKeys.insert(key.toString());
    });
    std::sort(previousKeys.begin(), previousKeys.end());
    return true;
}

bool TTavuListDoc::HasPreviousListing() const
{
    return !previousKeys.empty() || !previousOtherKeys.isEmpty();
}

bool TTavuListDoc::ListedBefore(const QString &key) const
{
    qint64 number = 0;
    if (TListingRows::NumberOf(key, number))
        return std::binary_search(previousKeys.begin(), previousKeys.end(), number);
    return previousOtherKeys.contains(key);
}

void TTavuListDoc::SaveSubjectDat() const
{
    const QString path = LogFile(SubjectDat);
    if (path.isEmpty())
        return;
    SaveListing(path, *arrival, [](const TListedThread &thread) {
        return KeyOfDatName(thread.DatName) + QLatin1Char('=') + QString::number(thread.Count);
    });
}

bool TTavuListDoc::LoadSubjectTxt()
{
    const QString path = LogFile(SubjectTxt);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    const QString text = jconvert::SjisToUnicode(FileUtil::ReadFile(path));
    TSubjectLine subject;
    ForEachLine(text, [&](QStringView line) {
        if (ParseSubjectLine(line, subject))
            AddStored(subject.DatName, subject.Title, subject.Count, ItemLimit > 0 && items->Count() >= ItemLimit);
    });
    const int prepared = ItemLimit > 0 ? std::min(ItemLimit, items->Count()) : items->Count();
    PrepareRange(0, prepared);
    emit Changed(this);
    return true;
}

void TTavuListDoc::SaveSubjectTxt() const
{
    const QString path = LogFile(SubjectTxt);
    if (path.isEmpty())
        return;
    SaveListing(path, *arrival, [](const TListedThread &thread) {
        QString title = thread.Title;
        title.replace(u'\r', u' ').replace(u'\n', u' ');   // one line per thread, whatever the server sent
        return QStringLiteral("%1<>%2 (%3)").arg(thread.DatName, title).arg(thread.Count);
    });
}

void TTavuListDoc::LoadInfFileList()
{
    infKeys.clear();
    const TBoard *board = GetBoard();
    if (!board)
        return;
    const QStringList names = QDir(board->GetLogDir()).entryList({QStringLiteral("*.inf")}, QDir::Files);
    for (const QString &name : names)
        infKeys.insert(name.left(name.indexOf(u'.')));
}

// ---- display ----

bool TTavuListDoc::UpdateList(TThreadItem *item, bool removeErased)
{
    const QString key = item->GetKey();
    if (HasPreviousListing() && !ListedBefore(key))
        item->IsNew = true;
    if (infKeys.contains(key)) {
        const int listed = item->AGECOUNT;
        item->LoadInfo();
        item->AGECOUNT = listed;
    }
    bool erased = item->ABONE;
    if (!erased && ThreadRules && Site) {
        const QList<TActionHit> hits = ThreadRules->ApplyToThread(*item, Site->SITEID, BoardID);
        erased = std::any_of(hits.begin(), hits.end(),
                             [](const TActionHit &hit) { return hit.Rule->Action == TTavuAction::ABONE; });
        for (const TActionHit &hit : hits) {
            if (hit.Rule->Action == TTavuAction::POPUP && OnThreadNotice)
                OnThreadNotice(item, hit.Rule->Value1);
        }
    }
    if (erased && removeErased) {
        const int index = items->IndexOf(item);
        if (index >= 0) {
            items->Delete(index);
            displayCount = std::min(displayCount, items->Count());
            emit Changed(this);
        }
    }
    return !erased;
}

void TTavuListDoc::PrepareRows(int from, int to)
{
    if (PrepareRange(from, to))
        emit Changed(this);
}

// The threads that follow an erased one move up into the range, so they are prepared in their turn:
// every row of the range ends up prepared, and no erased thread is left in it.
bool TTavuListDoc::PrepareRange(int from, int to)
{
    bool left = false;
    for (int start = std::max(from, 0);;) {
        const int end = std::min(to, items->Count());
        QSet<const TThreadItem *> erased;
        for (int i = end - 1; i >= start; --i) {   // from the end, as the rows were always walked
            TThreadItem *item = items->Get(i);
            if (!UpdateList(item, false))
                erased.insert(item);
        }
        if (erased.isEmpty())
            break;
        items->DeleteItems(erased);
        left = true;
        start = end - int(erased.size());
    }
    if (left)
        displayCount = std::min(displayCount, items->Count());
    return left;
}

void TTavuListDoc::SetDisplayCount(int count)
{
    displayCount = std::clamp(count, 0, items->Count());
    emit Changed(this);
}

int TTavuListDoc::CountNewThreads() const
{
    return items->CountMarked();
}

void TTavuListDoc::SetCaption(const QString &caption)
{
    Caption = caption;
    if (TabButton)
        TabButton->setText(caption);
    if (TabMenuItem)
        TabMenuItem->setText(caption);
}
