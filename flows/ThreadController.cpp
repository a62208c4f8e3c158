// The thread request flow (see the header). The board type notes the validators of the new log (its
// size on the server, Last-Modified, ETag) in the thread item when the download ends. They describe
// the log only once it is written, so the flow takes them at that moment, keeps them with the
// download and puts the item back on the validators of its stored log until the new log is saved
// with them: whatever reads or writes the item's .inf meanwhile never pairs the old log with the
// new validators.
//
// The rendering trio applies the rules once per response: the first time it passes, every matching
// rule is counted and acts (hide, replace, notice, bookmark, bold), and the response is marked so
// that a later rendering neither counts nor logs it again. What a replace or bold rule does is
// applied to a copy that the view renders; the response itself keeps the text it has in the log.

#include "flows/ThreadController.h"

#include "controls/Dialogs.h"
#include "controls/UserFiles.h"
#include "controls/WindowServices.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/Bookmark.h"
#include "core/Exceptions.h"
#include "core/IniFile.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResDownloader.h"
#include "core/ResList.h"
#include "core/SaveQueue.h"
#include "core/Site.h"
#include "core/TavuAction.h"
#include "core/TavuActionList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadLogSave.h"
#include "flows/ThreadListController.h"
#include "net/HttpCli.h"
#include "render/ResCacheLoader.h"
#include "render/ResultView.h"
#include "render/TavuBrowser.h"
#include "services/ComposerFiles.h"
#include "services/EventLog.h"
#include "services/ThreadListPane.h"
#include "settings/BookmarkShelf.h"

#include <QDateTime>
#include <QPointer>
#include <QScopeGuard>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// The validators of a log.
struct TValidators {
    QString LastModified;
    QString ETag;
    qint64 Size = 0;

    static TValidators Of(const TThreadItem &item) { return {item.LAST_MODIFIED, item.ETAG, item.SIZE}; }
    // What the item's .inf says, that is the validators of the stored log.
    static TValidators Stored(const TThreadItem &item)
    {
        const TIniFile inf(item.GetInfFile());
        const QString log = QStringLiteral("LOG");
        return {inf.ReadString(log, QStringLiteral("LAST_MODIFIED")), inf.ReadString(log, QStringLiteral("ETAG")),
                inf.ReadInt64(log, QStringLiteral("SIZE"), 0)};
    }
    void PutInto(TThreadItem &item) const
    {
        item.LAST_MODIFIED = LastModified;
        item.ETAG = ETag;
        item.SIZE = Size;
    }
};

// One download of a tab. What it reports before the stored log has been rendered waits here, in
// order. The record goes once both its download and the cache loader of its tab have ended.
class TThreadDownload : public TResDownloader {
public:
    using TResDownloader::TResDownloader;

    struct TReport {
        std::unique_ptr<TRes> Res;
        int Maximum = 0;
        int Position = 0;
        std::function<void()> Other;
    };
    std::vector<TReport> Waiting;
    bool CacheEnded = false;
    bool DownloadEnded = false;
    TValidators NewValidators;   // as the board type left them when the download ended
    bool HasNewValidators = false;
    bool InPlace = false;        // new responses of an open thread, appended to its live page

    // Frees the record once nothing will report to it any more.
    static void EndOnce(TThreadDownload *job, bool &end)
    {
        end = true;
        if (job->CacheEnded && job->DownloadEnded)
            delete job;
    }
};

TThreadDownload *DownloadOf(TResDownloader *job)
{
    return static_cast<TThreadDownload *>(job);
}

// The local-log and past-log-store types read what the cache loader reads.
bool ReadsStoredLog(const TBBS *type)
{
    return type && (type->ID == QLatin1String("localscript") || type->ID == QLatin1String("2chkakolog"));
}

// Where an opened thread is shown: the response asked for, else the one at the top of the view
// when the thread was left (0: its start).
int ShownPosition(const TTavuBrowser *tab, const TThreadItem *item)
{
    return tab->ResNumber > 0 ? tab->ResNumber : item->TOP;
}

// The thread goes to the reading history (readhist.txt) when the history is kept.
void QueueReadHistory(TThreadItem *item)
{
    UserFiles::QueueHistoryLine(item, ComposerFiles::ProfileFile(QStringLiteral("readhist.txt")), true, TavuConfig->SAVEHIST);
}

void ShowTab(TTavuBrowser *tab)
{
    tab->Activate();
    tab->DoSelect();
}

QString SiteIdOf(const TThreadItem *item)
{
    return item && item->Site ? item->Site->SITEID : QString();
}

QString BoardIdOf(const TThreadItem *item)
{
    return item ? item->BoardID : QString();
}

// What the view takes back from the copy it rendered.
void CopyDisplayState(const TRes &shown, TRes &res)
{
    res.Visible = shown.Visible;
    res.Popup = shown.Popup;
    res.Display1 = shown.Display1;
    res.Display2 = shown.Display2;
}

// The responses the thread will hold once its download ends: as many as the board's listing
// reports, or as the share of the reply taken so far promises (a reply known only as received runs
// ahead of the responses made from it, and its share errs low). Neither is believed beyond what a
// board holds.
int ExpectedResponses(const TThreadItem &item, int stored, int delivered, qint64 maximum, qint64 position)
{
    constexpr qint64 MostResponses = 100000;
    const qint64 promised = position > 0 && maximum > position ? stored + delivered * maximum / position : 0;
    return int(std::min(std::max<qint64>(promised, item.AGECOUNT), MostResponses));
}

}  // namespace

TThreadController::TThreadController(TTabServices &tabs, TRuleServices &rules, TBookmarkServices &bookmarks,
                                     QObject *parent)
    : QObject(parent), tabs(tabs), rules(rules), bookmarks(bookmarks)
{
}

// ---- opening ----

void TThreadController::OpenThread(TThreadItem *item, bool reload, bool newTab, bool activate, int resNumber,
                                   bool keepTab, const QString &url)
{
    if (!item)
        return;
    item->AddRef();   // the item may be freed by a list that lets go of it on the way
    const auto release = qScopeGuard([item] { item->Release(); });

    // The open thread (in this item or another item of it) is only brought to the front, unless a
    // reload is asked for or the setting says so. Opened again, a tab showing another item of the
    // thread takes this one.
    TTavuBrowser *found = FindThreadTab(item);
    if (found && !TavuConfig->BROWSEREXISTSRELOAD && !reload)
        return;

    emit Started();
    const QString target = ThreadListPane::ThreadTarget(*item);
    emit LogLine(QString());
    emit LogLine(QStringLiteral("▽スレッド取得開始 →") + target);
    emit StatusText(QStringLiteral("スレッド取得開始：") + target);
    emit NoticesCleared();
    if (NothingToShowOffline(item)) {
        ReportOfflineWithoutLog(item, target);
        emit Ended();
        return;
    }

    const int listed = item->AGECOUNT;
    QSet<int> erased = item->LoadInfo();
    item->AGECOUNT = listed;
    if (found && found->ThreadItem() == item && UpdateOpenThread(found, item, reload, resNumber, url, erased)) {
        if (activate)
            found->setFocus();
        AddRecentThread(item, target);
        return;
    }

    bool made = false;
    TTavuBrowser *tab = ChooseThreadTab(item, newTab, keepTab, made);
    if (made) {
        tab = tabs.NewThreadTab(item, activate);
    } else if (tab) {
        PrepareReusedTab(tab, item);
        erased = item->OpenInf();   // the thread the tab showed may be this one: its .inf was just written
    } else {
        emit Ended();
        return;
    }

    item->LOAD_COUNT += 1;
    tab->SetFirstRead(!item->LogExists());
    TBBS *type = item->BBS;
    tab->BoardID = item->BoardID;
    tab->URL = type ? type->GetBrowserUrl(item) : QString();
    tab->DownloadState = TTavuBrowser::dsOpening;
    tab->ResNumber = resNumber;
    tab->DownloadCount = 0;
    tab->SelectSkin(item->GetBoard());
    if (made)
        tab->RenewDocument();   // its page loads while the thread is read and fetched
    item->Shown = true;
    if (activate) {
        ShowTab(tab);
        tab->setFocus();
    }
    tab->UpdateTabImage();

    BeginResView(tab, tab->ResList(), erased);
    const bool webPage = type && type->IsWebPage();
    // Those types start after the cache loader.
    const bool downloadLater = ReadsStoredLog(type);
    TResDownloader *job = item->DownloadRequest && !TavuEnviron->IsOffline() && type
        ? NewThreadDownload(tab, item, reload, url)
        : nullptr;
    if (job && !downloadLater)
        job->BBS->DownloadThread(job, reload, false, false);
    if (!webPage)
        StartCacheLoader(tab, item, job, erased);
    else if (!job)
        FinishThreadView(tab, item);   // nothing loads into it: the opening ends here
    emit BrowserCommandsChanged();
    emit ThreadListChanged(item);
    if (job && downloadLater)
        job->BBS->DownloadThread(job, reload, false, false);
    AddRecentThread(item, target);
}

// Offline, a thread without a log has nothing to show (a web page is shown by its board type).
bool TThreadController::NothingToShowOffline(const TThreadItem *item)
{
    return TavuEnviron->IsOffline() && !item->LogExists() && !(item->BBS && item->BBS->IsWebPage());
}

// Why the thread does not open: the log pane and a message say it.
void TThreadController::ReportOfflineWithoutLog(const TThreadItem *item, const QString &target)
{
    const QString reason = QStringLiteral("オフライン状態のため取得できません。このスレッドのログはありません。");
    emit LogLine(QStringLiteral("△スレッド取得エラー →") + target);
    emit LogLine(QStringLiteral("→") + reason);
    emit StatusText(QStringLiteral("スレッド取得エラー：") + target);
    Dialogs::ShowMessage(Dialogs::mkWarning, reason + QStringLiteral("\n\n") + item->ShownTitle());
}

// The thread leads the recent-thread list, once.
void TThreadController::AddRecentThread(const TThreadItem *item, const QString &target)
{
    if (!RecentThreads)
        return;
    const QString prefix = SiteIdOf(item) + QLatin1Char('\t') + item->BoardID + QLatin1Char('\t') + item->GetKey() + QLatin1Char('\t');
    RecentThreads->Lines.removeIf([&prefix](const QString &line) { return line.startsWith(prefix); });
    RecentThreads->Lines.prepend(prefix + target);
}

// An open thread takes its new responses in place: only what is new is fetched, and each new
// response is appended to the live page, before its footer. The stored log is neither read nor
// rendered again; the view moves only to the first new response. False (nothing done) when the
// page cannot simply grow: the tab is busy, shows an extract or a web page, or its responses are
// not the stored log.
bool TThreadController::UpdateOpenThread(TTavuBrowser *tab, TThreadItem *item, bool reload, int resNumber,
                                         const QString &url, const QSet<int> &erased)
{
    const TBBS *type = item->BBS;
    const bool readsCache = ReadsStoredLog(type);
    const bool growable = type && !type->IsWebPage() && !readsCache && !tab->IsWebPage() && !tab->IsExtractMode()
        && tab->DownloadState == TTavuBrowser::dsIdle && !tab->Downloader && item->DownloadRequest
        && !TavuEnviron->IsOffline() && TavuEnviron->GetCached() && !item->LOCALLOG && item->LogExists()
        && tab->ResList() && tab->ResList()->Count() == item->COUNT;
    if (!growable || !tab->ReopenDocument())
        return false;

    item->LOAD_COUNT += 1;
    tab->SetFirstRead(false);   // the log exists
    item->Shown = true;
    tab->DownloadState = TTavuBrowser::dsDownloading;
    tab->ResNumber = resNumber;
    tab->DownloadCount = 0;
    tab->UpdateTabImage();
    tab->ClearNewMarks();   // only what this download brings is new
    BeginResView(tab, tab->ResList(), erased);
    TResDownloader *job = NewThreadDownload(tab, item, reload, url);
    TThreadDownload *download = DownloadOf(job);
    download->InPlace = true;
    download->CacheEnded = true;   // no cache loader: the stored log is on the page already
    job->BBS->DownloadThread(job, reload, false, false);
    emit BrowserCommandsChanged();
    emit ThreadListChanged(item);
    return true;
}

// The tab that shows the thread already (this item or another item of the same thread),
// activated; nullptr when none does.
TTavuBrowser *TThreadController::FindThreadTab(TThreadItem *item)
{
    TTavuBrowser *current = tabs.CurrentBrowser();
    if (current && !current->IsWebPage() && current->ThreadItem() == item) {
        current->UpdateTabImage();
        return current;
    }
    for (TTavuBrowser *tab : tabs.Browsers()) {
        if (!tab->IsWebPage() && TThreadItem::SameThread(tab->ThreadItem(), item)) {
            ShowTab(tab);
            return tab;
        }
    }
    return nullptr;
}

// The tab to reuse, or (made set) none because a new one is to be made: a new tab is made when
// asked for (or when there is none or the setting says so) unless keepTab forbids it, and whenever
// the current tab is locked; never when the current tab shows the thread. nullptr without made:
// there is no tab to open the thread in.
TTavuBrowser *TThreadController::ChooseThreadTab(TThreadItem *item, bool newTab, bool keepTab, bool &made)
{
    TTavuBrowser *current = tabs.CurrentBrowser();
    made = (TavuConfig->OPENNEWBROWSER || tabs.Browsers().isEmpty() || newTab) && !keepTab;
    if (!made)
        made = current && current->Locked;
    if (current && !current->IsWebPage() && TThreadItem::SameThread(current->ThreadItem(), item))
        made = false;
    return made ? nullptr : current;
}

// The tab takes the thread: the thread it showed keeps the response at the top of its view, and the
// tab starts a new response list and a new document for this one.
void TThreadController::PrepareReusedTab(TTavuBrowser *tab, TThreadItem *item)
{
    DetachBrowser(tab);
    TThreadItem *old = tab->ThreadItem();
    if (!tab->IsWebPage() && old && old->LogExists()) {
        old->TOP = tab->GetTopResNumber();
        old->SaveInfo();
    }
    tab->SetResList(new TResList(item));
    tab->SetThreadItem(item);
    tab->SetExtractMode(false);
    tab->Title = item->TITLE;
    tab->SetWebPage(item->BBS && item->BBS->IsWebPage());
    tab->RenewDocument();   // the thread it showed stays until this one is drawn
    emit TabCaptionChanged(tab);
}

// The download of the thread for the tab. A local log is read through the local site's type.
TResDownloader *TThreadController::NewThreadDownload(TTavuBrowser *tab, TThreadItem *item, bool reload, const QString &url)
{
    TBBS *type = item->BBS;
    const TSite *local = TavuEnviron->LocalSite();
    if (item->LOCALLOG && local && local->BBS)
        type = local->BBS;
    TBoard *board = item->GetBoard();
    auto *job = new TThreadDownload(item);
    job->BBS = type;
    job->Site = item->Site;
    job->Board = board;
    job->ResList = tab->ResList();
    job->Tab = tab;
    job->Reload = reload;
    job->FirstMode = false;
    job->CodePage = board ? board->CodePage : 0;
    job->SetUrl(url);
    // Reports reach the flow at once; it keeps them itself until the stored log is rendered.
    job->SetCacheReady();
    job->CacheEnded = type->IsWebPage();   // no cache loader renders a web page

    job->OnRes = [this](TResDownloader *j, TRes *res, int maximum, int position) {
        TThreadDownload *d = DownloadOf(j);
        if (d->CacheEnded)
            OnThreadDownloadRes(j, res, maximum, position);
        else
            d->Waiting.push_back({std::unique_ptr<TRes>(res), maximum, position, {}});
    };
    auto dispatch = [](TResDownloader *j, std::function<void()> report) {
        TThreadDownload *d = DownloadOf(j);
        if (d->CacheEnded)
            report();
        else
            d->Waiting.push_back({nullptr, 0, 0, std::move(report)});
    };
    job->OnWebPage = [this, dispatch](TResDownloader *j, const QString &pageUrl) {
        dispatch(j, [this, j, pageUrl] { OnThreadDownloadWebPage(j, pageUrl); });
    };
    job->OnError = [this, dispatch](TResDownloader *j, int code, const QString &message, const QString &detail) {
        dispatch(j, [this, j, code, message, detail] { OnThreadDownloadError(j, code, message, detail); });
    };
    job->OnDone = [this, dispatch](TResDownloader *j, bool failed) {
        // The validators the board type just noted describe the log not written yet.
        TThreadDownload *d = DownloadOf(j);
        if (TThreadItem *doneItem = j->Item()) {
            d->NewValidators = TValidators::Of(*doneItem);
            d->HasNewValidators = !failed;
            TValidators::Stored(*doneItem).PutInto(*doneItem);
        }
        dispatch(j, [this, j, failed] { OnThreadDownloadDone(j, failed); });
    };
    tab->Downloader = job;
    return job;
}

void TThreadController::StartCacheLoader(TTavuBrowser *tab, TThreadItem *item, TResDownloader *job,
                                         const QSet<int> &erased)
{
    auto *loader = new TResCacheLoader(tab, tab->ResList(), item, erased);
    emit WorkerStarted(loader);
    tab->ShowFirst(ShownPosition(tab, item));
    loader->OnCacheRes = [this](TResCacheLoader *l, TRes *res) { AppendResToView(l->Tab(), l->ResList(), res); };
    loader->OnCacheChunk = [](TResCacheLoader *l, const QString &html) {
        if (l->Tab())
            l->Tab()->AppendHtml(html);
    };
    loader->OnCacheDone = [this, job](TResCacheLoader *l) { OnCacheDone(l, job); };
    loader->Start();
    loader->RenderFirstScreen();   // before the window lays out and paints itself for the tab
}

void TThreadController::OnCacheDone(TResCacheLoader *loader, TResDownloader *job)
{
    TTavuBrowser *tab = loader->Tab();
    const bool live = loader->TabStillWanted() && tab->Downloader == job;
    emit LogLine(QStringLiteral("  キャッシュ(%1件)").arg(loader->RenderedCount()));
    if (live && job) {
        tab->DownloadState = TTavuBrowser::dsDownloading;
        tab->UpdateTabImage();
    } else if (live) {
        FinishThreadView(tab, loader->Item());
    } else if (!job) {
        emit Ended();   // a tab let go of: nothing else ends this opening
    }
    if (job) {
        // What the download reported meanwhile comes now, in order.
        TThreadDownload *d = DownloadOf(job);
        while (!d->Waiting.empty()) {
            TThreadDownload::TReport report = std::move(d->Waiting.front());
            d->Waiting.erase(d->Waiting.begin());
            if (report.Res)
                OnThreadDownloadRes(job, report.Res.release(), report.Maximum, report.Position);
            else
                report.Other();
        }
        TThreadDownload::EndOnce(d, d->CacheEnded);
    }
    emit BrowserCommandsChanged();
}

// The end of an opening without a download: the stored log is all the tab shows.
void TThreadController::FinishThreadView(TTavuBrowser *tab, TThreadItem *item)
{
    tab->DownloadState = TTavuBrowser::dsIdle;
    const int shown = ShownPosition(tab, item);
    if (shown > 0)
        tab->ScrollToRes(shown);
    emit TabBarChanged();
    tab->UpdateTabImage();
    QueueReadHistory(item);
    EndResView(tab);
    if (!tab->IsWebPage()) {
        tab->WriteHtml();
        item->SetRead(tab->ResList()->Count());
        item->COUNT = item->READ;
    }
    item->Checking = false;
    emit ThreadListChanged(item);
    emit ThreadListCommandsChanged();
    emit BrowserCommandsChanged();
    emit TabCaptionChanged(tab);
    emit Ended();
}

// ---- the download's reports ----

// The tab a download still fills; nullptr once the tab let go of it.
TTavuBrowser *TThreadController::LiveThreadTab(const TResDownloader *job) const
{
    auto *tab = qobject_cast<TTavuBrowser *>(job->Tab.data());
    return tab && tab->Downloader == job ? tab : nullptr;
}

void TThreadController::OnThreadDownloadRes(TResDownloader *job, TRes *res, int maximum, int position)
{
    emit Progress(std::max(maximum, 0), std::clamp(position, 0, std::max(maximum, 0)));
    TTavuBrowser *tab = LiveThreadTab(job);
    TThreadItem *item = job->Item();
    if (!tab || !item) {
        delete res;
        return;
    }
    TResList *list = tab->ResList();
    ++tab->DownloadCount;
    res->Number = list->Count() + 1;   // response n is line n of the log
    res->IsNew = item->READ < res->Number;
    list->Add(res);
    tab->ExpectResponses(ExpectedResponses(*item, list->Count() - tab->DownloadCount, tab->DownloadCount, maximum, position));
    AppendResToView(tab, list, res);
    if (res->Number == item->READ + 1 && item->READ > 0)
        tab->ScrollToRes(res->Number);
    if (res->IsNew)
        TavuConfig->SetLoadResCount(TavuConfig->VOZADAZOZ_LOAD_RES_COUNT + 1);
    if (list->Count() > item->READ) {
        item->NewCount = list->Count() - item->READ;
        emit NewResCount(item->NewCount);
    }
}

void TThreadController::OnThreadDownloadWebPage(TResDownloader *job, const QString &pageUrl)
{
    TTavuBrowser *tab = LiveThreadTab(job);
    TThreadItem *item = job->Item();
    if (!tab || !item)
        return;
    item->COUNT = 1;
    item->SaveInfo();
    emit ThreadListChanged(item);
    tab->SetWebPage(true);
    tab->DownloadState = TTavuBrowser::dsDownloading;
    tab->UpdateTabImage();
    tab->Navigate(pageUrl);
}

void TThreadController::OnThreadDownloadDone(TResDownloader *job, bool failed)
{
    TThreadItem *item = job->Item();
    TTavuBrowser *tab = LiveThreadTab(job);
    // The page is sent what it still waits for first; the rest is done while it shows it.
    const int newCount = tab && item ? ShowDownloadedThread(tab, job, failed) : 0;
    emit ProgressEnded();
    emit StatusText(QString());
    if (item)
        item->Checking = false;
    if (tab && item) {
        FinishThreadDownload(tab, job, failed, newCount);
        tab->Downloader = nullptr;
        emit ThreadDone(item);
    }
    if (item)
        emit ThreadItemChanged(item);   // the rows of this thread show its new counts
    job->ReleaseItem();
    emit ThreadListCommandsChanged();
    emit BrowserCommandsChanged();
    emit Ended();
    TThreadDownload *d = DownloadOf(job);
    TThreadDownload::EndOnce(d, d->DownloadEnded);
}

// The end of the download on the page: the item counts what the tab holds, the footer counts it
// too and goes with the responses still unsent, and the view moves where it should. Gives the
// number of new responses.
int TThreadController::ShowDownloadedThread(TTavuBrowser *tab, TResDownloader *job, bool failed)
{
    TThreadItem *item = job->Item();
    TResList *list = tab->ResList();
    int newCount = 0;
    if (!failed) {
        newCount = list->Count() - item->READ;
        item->NewCount = newCount;
        if (!job->BBS || !job->BBS->IsWebPage()) {
            item->SetRead(list->Count());
            item->COUNT = item->READ;
            item->RaiseListedCount();
        }
    }
    if (!tab->IsWebPage())
        tab->DownloadState = TTavuBrowser::dsIdle;
    if (DownloadOf(job)->InPlace)
        tab->ShowFramesPromptly();   // the reader waits for what the update brings
    EndResView(tab);
    if (!tab->IsWebPage())
        tab->WriteHtml();
    if (failed)
        return 0;
    if (!DownloadOf(job)->InPlace)
        ScrollAfterDownload(tab, item, newCount);
    else if (tab->ResNumber > 0)
        tab->ScrollToRes(tab->ResNumber);   // an open thread stays where it is (or at its first new response)
    return newCount;
}

// What follows the page's part: the tab's caption, the log's save, the history, the log pane,
// the counters and the sound.
void TThreadController::FinishThreadDownload(TTavuBrowser *tab, TResDownloader *job, bool failed, int newCount)
{
    TThreadItem *item = job->Item();
    TResList *list = tab->ResList();
    const int stored = list->Count() - tab->DownloadCount;   // the responses the log held
    emit TabCaptionChanged(tab);
    if (!failed && TavuEnviron->GetCached() && !job->NotModified)
        SaveDownloadedLog(job, list, item, stored);
    if (!failed)
        QueueReadHistory(item);

    // A failed download was reported by its error lines; it completed nothing.
    if (!failed) {
        const QString target = ThreadListPane::ThreadTarget(*item);
        emit LogLine(QStringLiteral("△スレッド取得完了 →") + target
                     + QStringLiteral(" (%1件/%2件)").arg(std::max(newCount, 0)).arg(item->READ));
        emit StatusText(QStringLiteral("スレッド取得完了：") + target);
    }
    TavuConfig->SetLoadThreadCount(TavuConfig->VOZADAZOZ_LOAD_THREAD_COUNT + 1);
    EventLog::PlayEventSound(failed ? EventLog::esError
                                   : newCount > 0 ? EventLog::esThreadNewRes : EventLog::esThreadNoNewRes);
}

// The first new response comes into view, or, without new ones, the read point or the response
// at the top when the thread was left (a response asked for wins).
void TThreadController::ScrollAfterDownload(TTavuBrowser *tab, TThreadItem *item, int newCount)
{
    const int count = tab->ResList()->Count();
    int target = 0;
    if (tab->DownloadCount == 0 && newCount > 0)
        target = count - newCount + 1;
    else if (newCount < 1 && tab->ResNumber == 0)
        target = item->READPOINT > 0 ? item->READPOINT : item->TOP;
    else if (tab->ResNumber > 0)
        target = tab->ResNumber;
    if (target > 0)
        tab->ScrollToRes(target);
}

// The log and the validators that describe it are written together, after the page shows the new
// responses and away from the GUI thread: the new responses are appended to the stored ones,
// then the .inf counts them. A save that fails is told in the log pane (through the log sink: the
// save may end after the flow), and the item goes back to what its .inf still says, that is to the
// stored log.
void TThreadController::SaveDownloadedLog(TResDownloader *job, TResList *list, TThreadItem *item, int stored)
{
    if (item->GetLogFile().isEmpty())
        return;
    const TThreadDownload *d = DownloadOf(job);
    if (d->HasNewValidators)
        d->NewValidators.PutInto(*item);
    item->SetLastLoadNow();
    const TThreadLogSave save(*list, stored, *item);
    item->AddRef();
    TSaveQueue::Instance().Push(save.Files(), [save] { return save.Run(); }, [item](const QString &failure) {
        if (!failure.isEmpty()) {
            EventLog::AddLog(failure);
            item->ReloadInfo();
        }
        item->Release();
    });
}

void TThreadController::OnThreadDownloadError(TResDownloader *job, int code, const QString &message,
                                              const QString &detail)
{
    TThreadItem *item = job->Item();
    if (code == 0 || !item)
        return;
    const QString target = ThreadListPane::ThreadTarget(*item);
    emit LogLine(QStringLiteral("△スレッド取得エラー →") + target);
    emit LogLine(QStringLiteral("→%1:%2").arg(code).arg(message));
    emit StatusText(QStringLiteral("スレッド取得エラー：") + target);
    if (!LiveThreadTab(job))
        return;   // the tab is gone: nobody waits for the message

    const QString blockPage = TThreadListController::BlockPageUrl(job->BBS, code, detail);
    if (!blockPage.isEmpty()) {
        emit BlockPageFound(blockPage);
        return;
    }
    // A log that no longer matches the server's is repaired by fetching it whole again.
    const bool mismatch = code == 416 || code == httpLogChanged;
    Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("%1\n%2\n\nスレッドダウンロードエラー\n%3%4")
                                               .arg(code)
                                               .arg(message, item->ShownTitle(),
                                                    mismatch ? QStringLiteral("\n\n「スレッド」メニューの「ログの再取得」で取得し直してください。")
                                                             : QString()));
}

void TThreadController::DetachBrowser(TTavuBrowser *tab)
{
    if (!tab || (tab->DownloadState == TTavuBrowser::dsIdle && !tab->Downloader))
        return;
    tab->CancelDownload();
    tab->Downloader = nullptr;
    renderings.remove(tab);
    tab->DownloadState = TTavuBrowser::dsIdle;
    tab->UpdateTabImage();
}

// ---- the rendering trio ----

// A browser tab that the user sees: rules log and mark only there.
bool TThreadController::IsRealTab(IResultView *view) const
{
    auto *tab = dynamic_cast<TTavuBrowser *>(view);
    return tab && tab != PrivateTab;
}

void TThreadController::BeginResView(IResultView *view, TResList *list)
{
    TThreadItem *item = list ? list->Item() : nullptr;
    BeginResView(view, list, item ? item->OpenInf() : QSet<int>());
}

void TThreadController::BeginResView(IResultView *view, TResList *list, const QSet<int> &erased)
{
    TRenderState state;
    if (list && list->Item())
        state.Erased = erased;
    renderings.insert(view, state);
    view->BeginView(list);
}

void TThreadController::AppendResToView(IResultView *view, TResList *list, TRes *res)
{
    TThreadItem *item = list ? list->Item() : nullptr;
    const bool firstPass = !res->RuleMark;
    const bool inTab = IsRealTab(view);
    TTavuActionList *resRules = rules.ResRules();

    TRes shown;
    shown.Assign(*res);
    QList<TActionHit> hits;
    if (list)
        hits = resRules->ApplyToRes(*list, shown, SiteIdOf(item), BoardIdOf(item), inTab);
    if (!firstPass)
        ReapplyTextRules(shown, item, inTab);
    res->RuleMark = true;
    res->Hidden = shown.Hidden;

    // An erased response is not shown and no rule acts on it (no notice, no log line); its Hidden
    // mark stays the rules' own, so that restoring it brings it back and a response hidden by a rule
    // can be told from an erased one.
    const bool erased = renderings.value(view).Erased.contains(res->Number);
    for (const TActionHit &hit : hits) {
        if (!erased)
            ActOnHit(view, list, *res, hit, inTab);
    }
    if (erased) {
        res->Erased = true;
        shown.Hidden = true;
    }
    if (view->TakesRes(&shown)) {
        view->AppendRes(&shown);
        CopyDisplayState(shown, *res);
    }
}

void TThreadController::EndResView(IResultView *view)
{
    renderings.remove(view);
    if (view->EndView())
        emit CaptionChanged();
}

void TThreadController::RenderResList(IResultView *view, TResList *list)
{
    BeginResView(view, list);
    for (int i = 0; i < list->Count(); ++i)
        AppendResToView(view, list, list->Get(i));
    EndResView(view);
}

// What a rule that hit does beyond the text of the response.
void TThreadController::ActOnHit(IResultView *view, TResList *list, TRes &res, const TActionHit &hit, bool inTab)
{
    const QString number = QString::number(res.Number);
    if (hit.Chained || hit.Rule->Action == TTavuAction::ABONE) {
        view->HideRes(&res, hit.Rule);
        if (!hit.Chained && inTab)
            emit LogLine(QStringLiteral("・アクション作動：『非表示』　→") + number);
        return;
    }
    switch (hit.Rule->Action) {
    case TTavuAction::REPLACE:
        if (inTab)
            emit LogLine(QStringLiteral("・アクション作動：『置換』　　→") + number);
        break;
    case TTavuAction::POPUP:
        if (inTab) {
            emit ResNoticed(hit.Rule->Value1, list ? list->Item() : nullptr, &res);
            emit LogLine(QStringLiteral("・アクション作動：『お知らせ』→") + number + QLatin1Char(':')
                         + MonaUtils::HtmlToPlainText(res.Body));
        }
        break;
    case TTavuAction::BOOKMARK:
        if (inTab && BookmarkRes(list, res))
            emit LogLine(QStringLiteral("・アクション作動：『しおり』　→") + number + QLatin1Char(':')
                         + MonaUtils::HtmlToPlainText(res.Name));
        break;
    default:
        break;
    }
}

// A later rendering shows the response as the first one did: the replace and bold rules that
// match are applied to the copy again, without counting or logging them.
void TThreadController::ReapplyTextRules(TRes &shown, const TThreadItem *item, bool inTab) const
{
    if (shown.Hidden)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    const TTavuActionList *resRules = rules.ResRules();
    for (int i = 0; i < resRules->Count(); ++i) {
        const TTavuAction *rule = resRules->Get(i);
        if (!rule->Enabled || rule->IsExpired(now) || !rule->Boards.Targets(SiteIdOf(item), BoardIdOf(item))
            || !rule->MatchRes(shown))
            continue;
        if (rule->Action == TTavuAction::ABONE)
            return;
        if (rule->Action == TTavuAction::REPLACE)
            rule->ReplaceInRes(shown);
        else if (rule->Action == TTavuAction::RESMARK && inTab)
            shown.Body = QStringLiteral("<B>") + shown.Body + QStringLiteral("</B>");
    }
}

// A bookmark ("しおり") on the response, kept in the thread's .inf and listed in the bookmark index;
// only once per response. False when it was there already.
bool TThreadController::BookmarkRes(TResList *list, const TRes &res)
{
    TThreadItem *item = list ? list->Item() : nullptr;
    if (!item)
        return false;
    if (item->Bookmarks.Count() == 0)
        item->OpenInf();
    if (item->Bookmarks.FindByResNo(res.Number))
        return false;
    TBookmarkShelf(bookmarks.BookmarkIndex(), bookmarks.BookmarkIndexFile()).Add(item, res, QString(), QString());
    return true;
}

void TThreadController::RefreshResView()
{
    if (TTavuBrowser *tab = tabs.CurrentBrowser())
        RenderResViewAgain(tab);
}

// The page begins with the responses at the kept place. A tab whose page was given up shows its last
// frame when it comes back: it takes a page again at once, and the page is filled once that frame is
// on the screen (rendering holds the GUI thread).
void TThreadController::RenderResViewAgain(TTavuBrowser *tab)
{
    if (!tab->ResList())
        return;
    const int top = tab->GetTopResNumber();
    const bool comingBack = tab->PageGivenUp();
    tab->RenewDocument();
    if (!comingBack) {
        RenderPage(tab, top);
        return;
    }
    tab->WhenCoverShown([self = QPointer<TThreadController>(this), tab = QPointer<TTavuBrowser>(tab), top] {
        if (self && tab && tab->ResList())
            self->RenderPage(tab, top);
    });
}

void TThreadController::RenderPage(TTavuBrowser *tab, int top)
{
    try {
        tab->ShowFirst(top);
        tab->WriteHeader();
        RenderResList(tab, tab->ResList());
        tab->WriteHtml();
        tab->ScrollToRes(top);
    } catch (const EVarnelo &e) {
        renderings.remove(tab);
        emit LogLine(e.Message);
    }
}

void TThreadController::ApplySkinChange()
{
    for (TTavuBrowser *tab : tabs.Browsers()) {
        if (tab->IsWebPage() || !tab->ResList())
            continue;
        tab->SelectSkin(tab->GetBoard());
        RenderResViewAgain(tab);
    }
}
