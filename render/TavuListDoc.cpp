#include "render/TavuListDoc.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/DatLine.h"
#include "core/Site.h"
#include "core/TavuAction.h"
#include "core/TavuActionList.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "net/TavuHttpList.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
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
    previousCounts.clear();
    TTextList lines;
    const QString path = LogFile(SubjectDat);
    if (path.isEmpty() || !lines.LoadFromFile(path))
        return false;
    for (const QString &line : lines.Lines) {
        const QString key = TTextList::NameOf(line);
        if (!key.isEmpty())
            previousCounts.insert(key, TTextList::ValueOf(line).toInt());
    }
    return true;
}

void TTavuListDoc::SaveSubjectDat() const
{
    const QString path = LogFile(SubjectDat);
    if (path.isEmpty())
        return;
    TTextList lines;
    for (int i = 0; i < arrival->Count(); ++i) {
        const TThreadItem *item = arrival->Get(i);
        lines.Add(item->GetKey() + QLatin1Char('=') + QString::number(item->AGECOUNT));
    }
    lines.SaveToFile(path);
}

bool TTavuListDoc::LoadSubjectTxt()
{
    TTextList lines;
    const QString path = LogFile(SubjectTxt);
    if (path.isEmpty() || !lines.LoadFromFile(path))
        return false;
    for (const QString &line : lines.Lines) {
        TSubjectLine subject;
        if (!ParseSubjectLine(line, subject))
            continue;
        auto *item = new TThreadItem;
        item->SetLocation(Site->SITEID, BoardID, subject.DatName, subject.Title);
        item->AGECOUNT = subject.Count;
        item->Number = arrival->Count() + 1;
        AddItem(item);
        item->Release();
    }
    // The erased threads leave together, in one pass over the list.
    const int prepared = ItemLimit > 0 ? std::min(ItemLimit, items->Count()) : items->Count();
    QSet<const TThreadItem *> erased;
    for (int i = prepared - 1; i >= 0; --i) {
        if (!UpdateList(items->Get(i), false))
            erased.insert(items->Get(i));
    }
    if (!erased.isEmpty()) {
        items->DeleteIf([&erased](const TThreadItem *item) { return erased.contains(item); });
        displayCount = std::min(displayCount, items->Count());
    }
    emit Changed(this);
    return true;
}

void TTavuListDoc::SaveSubjectTxt() const
{
    const QString path = LogFile(SubjectTxt);
    if (path.isEmpty())
        return;
    TTextList lines;
    for (int i = 0; i < arrival->Count(); ++i) {
        const TThreadItem *item = arrival->Get(i);
        QString title = item->TITLE;
        title.replace(u'\r', u' ').replace(u'\n', u' ');   // one line per thread, whatever the server sent
        lines.Add(QStringLiteral("%1<>%2 (%3)").arg(item->DatName, title).arg(item->AGECOUNT));
    }
    lines.SaveToFile(path);
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
    if (!previousCounts.isEmpty() && !previousCounts.contains(key))
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

void TTavuListDoc::SetDisplayCount(int count)
{
    displayCount = std::clamp(count, 0, items->Count());
    emit Changed(this);
}

int TTavuListDoc::CountNewThreads() const
{
    return items->CountMarked();
}
