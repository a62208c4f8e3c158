// The thread request flow: opening a thread shows it in a browser tab, its stored log first
// (rendered in the background by a cache loader), then the new responses that its download brings,
// after the stored ones. The page begins with the responses where the thread is shown
// (TTavuBrowser::ShowFirst); the ones before them go in front afterwards.
//
// A tab keeps the download that fills it (TTavuBrowser::Downloader). A tab closed or given another
// thread while it is still opening lets go of its cache loader and its download: what they still
// report is dropped, so nothing is ever written into a tab that is gone or into a rendering that
// was replaced.
//
// The board type notes the validators of the new log (its size on the server, Last-Modified, ETag)
// in the thread item when the download ends. They describe the log only once it is written, so the
// flow takes them at that moment, keeps them with the download and puts the item back on the
// validators of its stored log until the new log is saved with them: whatever reads or writes the
// item's .inf meanwhile never pairs the old log with the new validators.

#include "mainwindow/VarneloWindow.h"

#include "commands/NoticeCommands.h"

#include "controls/Dialogs.h"
#include "controls/ExtListView.h"
#include "controls/KpwBoardTree.h"
#include "controls/KpwServices.h"
#include "controls/KpwUserFiles.h"
#include "controls/TavuSplitter.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/Exceptions.h"
#include "core/IniFile.h"
#include "core/Res.h"
#include "core/ResDownloader.h"
#include "core/ResList.h"
#include "core/SaveQueue.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadLogSave.h"
#include "mainwindow/VarneloWindowStatusBar.h"
#include "mainwindow/WindowTabs.h"
#include "net/HttpCli.h"
#include "render/ResCacheLoader.h"
#include "render/TavuBrowser.h"
#include "services/KpwUrl.h"
#include "services/ThreadListPane.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScopeGuard>
#include <memory>
#include <vector>

namespace {

constexpr int FlowStatusPanel = 0;   // StatusBar2
constexpr int NewResPanel = 4;       // StatusBar1

const QString VersionCaption = QStringLiteral(" 2 β(vid23 dare60)");

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

bool SameThread(const TThreadItem *a, const TThreadItem *b)
{
    return a && b && a->Site == b->Site && a->BoardID == b->BoardID && a->GetKey() == b->GetKey();
}

// Where an opened thread is shown: the response asked for, else the one at the top of the view
// when the thread was left (0: its start).
int ShownPosition(const TTavuBrowser *tab, const TThreadItem *item)
{
    return tab->ResNumber > 0 ? tab->ResNumber : item->TOP;
}

QString ProfileFile(const QString &name)
{
    return TavuConfig->GetProfileDir() + name;
}

}  // namespace

// ---- set-up ----

void TVarneloWindow::BindThreadFlow()
{
    ThreadTitlePanel = new QWidget(BrowserPanel);
    ThreadTitlePanel->setObjectName(QStringLiteral("ThreadTitlePanel"));
    ThreadTitlePanel->setAutoFillBackground(true);   // colours and place: Kpwfunc::ApplyThreadTitlePanelLook
    ThreadTitleLabel = new QLabel(ThreadTitlePanel);
    ThreadTitleLabel->setObjectName(QStringLiteral("ThreadTitleLabel"));
    ThreadTitleLabel->setTextFormat(Qt::PlainText);   // a thread's title comes from its server
    QFont titleFont = ThreadTitleLabel->font();
    titleFont.setBold(true);
    ThreadTitleLabel->setFont(titleFont);
    ThreadCountLabel = new QLabel(ThreadTitlePanel);
    ThreadCountLabel->setObjectName(QStringLiteral("ThreadCountLabel"));
    ThreadCountLabel->setTextFormat(Qt::PlainText);   // it may show the extract text the user typed
    auto *row = new QHBoxLayout(ThreadTitlePanel);
    row->setContentsMargins(4, 1, 4, 1);
    row->addWidget(ThreadTitleLabel, TavuConfig->THREADTITLEAUTOFIT ? 0 : 1);
    row->addWidget(ThreadCountLabel);
    row->addStretch(TavuConfig->THREADTITLEAUTOFIT ? 1 : 0);
    auto *paneLayout = static_cast<QBoxLayout *>(BrowserPanel->layout());
    paneLayout->insertWidget(paneLayout->indexOf(ImagePaneSplitter), ThreadTitlePanel);

    TTavuBrowser::SetTabImages([this](TTavuBrowser::TTabImage image) {
        static const int pictures[] = {imgThreadList, imgUpdate, imgReload, imgStop, imgGlobe, imgLock};
        return ActionImage.value(pictures[image]);
    });

    ActionList1->Bind(QStringLiteral("actBrowserNavigate"), this, &TVarneloWindow::actBrowserNavigateExecute);
    // Enter in the address box opens its URL also while no browser tab is open.
    connect(UrlComboBox->lineEdit(), &QLineEdit::returnPressed, this, &TVarneloWindow::actBrowserNavigateExecute);
}

void TVarneloWindow::actBrowserNavigateExecute()
{
    const QString url = UrlComboBox->currentText().trimmed();
    if (url.isEmpty())
        return;
    Kpwfunc::AddUrlLog(UrlComboBox, url);
    Kpwfunc::OpenThreadUrl(*this, url, false);
}

void TVarneloWindow::BindBrowserEvents(TTavuBrowser *tab)
{
    connect(tab, &TTavuBrowser::Activated, this, &TVarneloWindow::BrowserTabActivated);
    connect(tab, &TTavuBrowser::StatusTextChange, this, [this, tab](const QString &text) {
        tab->StatusText = text;
        TTavuBrowser *current = nullptr;
        if (GetActiveBrowser(current) && current == tab)
            StatusBar2->SetText(1, text);
    });
    connect(tab, &TTavuBrowser::TitleChange, this, [this, tab](const QString &title) {
        if (tab->IsWebPage() && !title.isEmpty() && tab->TabButton) {
            tab->Title = title;
            Kpwfunc::SetBrowserTabCaption(*this, tab);
        }
    });
    emit BrowserTabCreated(tab);
}

// ---- opening ----

void TVarneloWindow::OpenThread(TThreadItem *item, bool reload, bool newTab, bool activate, int resNumber,
                                bool keepTab, const QString &url)
{
    if (!item)
        return;
    item->AddRef();   // the item may be freed by a list that lets go of it on the way
    const auto release = qScopeGuard([item] { item->Release(); });

    // The open thread is only brought to the front, unless a reload is asked for or the setting
    // says so. A tab showing another item of the thread opens it again with this item.
    TTavuBrowser *found = FindThreadTab(item);
    if (found && found->ThreadItem() == item && !TavuConfig->BROWSEREXISTSRELOAD && !reload)
        return;

    BeginBusy();
    const QString target = ThreadListPane::ThreadTarget(*item);
    Kpwfunc::AddLog(QString());
    Kpwfunc::AddLog(QStringLiteral("▽スレッド取得開始 →") + target);
    StatusBar2->SetText(FlowStatusPanel, QStringLiteral("スレッド取得開始：") + target);
    if (Notices)
        Notices->Clear();

    const int listed = item->AGECOUNT;
    item->LoadInfo();
    item->AGECOUNT = listed;
    if (found && found->ThreadItem() == item && UpdateOpenThread(found, item, reload, resNumber, url)) {
        if (activate)
            found->setFocus();
        AddRecentThread(item, target);
        return;
    }

    bool made = false;
    TTavuBrowser *tab = ChooseThreadTab(item, newTab, keepTab, made);
    if (made) {
        Kpwfunc::NewBrowser(*this, tab, new TResList(item), item, activate, item->ShownTitle());
    } else if (tab) {
        PrepareReusedTab(tab, item);
    } else {
        EndBusy();
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
    item->Shown = true;
    if (activate) {
        ShowBrowserTab(tab, false);
        tab->setFocus();
    }
    tab->UpdateTabImage();

    BeginResView(tab, tab->ResList());
    const bool webPage = type && type->IsWebPage();
    // The local-log and past-log-store types read what the cache loader reads: they start after it.
    const bool downloadLater = type && (type->ID == QLatin1String("localscript") || type->ID == QLatin1String("2chkakolog"));
    TResDownloader *job = item->DownloadRequest && !TavuEnviron->IsOffline() && type
        ? NewThreadDownload(tab, item, reload, url)
        : nullptr;
    if (job && !downloadLater)
        job->BBS->DownloadThread(job, reload, false, false);
    if (!webPage)
        StartCacheLoader(tab, item, job);
    else if (!job)
        FinishThreadView(tab, item);   // nothing loads into it: the opening ends here
    UpdateBrowserMenu();
    ThreadListView->viewport()->update();
    if (job && downloadLater)
        job->BBS->DownloadThread(job, reload, false, false);
    AddRecentThread(item, target);
}

// The thread leads the recent-thread list, once.
void TVarneloWindow::AddRecentThread(const TThreadItem *item, const QString &target)
{
    const QString siteId = item->Site ? item->Site->SITEID : QString();
    const QString prefix = siteId + QLatin1Char('\t') + item->BoardID + QLatin1Char('\t') + item->GetKey() + QLatin1Char('\t');
    RecentThreads->Lines.removeIf([&prefix](const QString &line) { return line.startsWith(prefix); });
    RecentThreads->Lines.prepend(prefix + target);
}

// An open thread takes its new responses in place: only what is new is fetched, and each new
// response is appended to the live page, before its footer. The stored log is neither read nor
// rendered again and the view keeps its place. False (nothing done) when the page cannot simply
// grow: the tab is busy, shows an extract or a web page, or its responses are not the stored log.
bool TVarneloWindow::UpdateOpenThread(TTavuBrowser *tab, TThreadItem *item, bool reload, int resNumber,
                                      const QString &url)
{
    const TBBS *type = item->BBS;
    const bool readsCache = type && (type->ID == QLatin1String("localscript") || type->ID == QLatin1String("2chkakolog"));
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
    BeginResView(tab, tab->ResList());
    TResDownloader *job = NewThreadDownload(tab, item, reload, url);
    TThreadDownload *download = DownloadOf(job);
    download->InPlace = true;
    download->CacheEnded = true;   // no cache loader: the stored log is on the page already
    job->BBS->DownloadThread(job, reload, false, false);
    UpdateBrowserMenu();
    ThreadListView->viewport()->update();
    return true;
}

// The tab that shows the thread already (this item or another item of the same thread),
// activated; nullptr when none does.
TTavuBrowser *TVarneloWindow::FindThreadTab(TThreadItem *item)
{
    TTavuBrowser *current = nullptr;
    if (GetActiveBrowser(current) && !current->IsWebPage() && current->ThreadItem() == item) {
        current->UpdateTabImage();
        return current;
    }
    for (TTavuBrowser *tab : std::as_const(Browsers)) {
        if (!tab->IsWebPage() && (tab->ThreadItem() == item || SameThread(tab->ThreadItem(), item))) {
            ShowBrowserTab(tab, false);
            return tab;
        }
    }
    return nullptr;
}

// The tab to reuse, or (made set) none because a new one is to be made: a new tab is made when
// asked for (or when there is none or the setting says so) unless keepTab forbids it, and whenever
// the current tab is locked; never when the current tab shows the thread. nullptr without made:
// there is no tab to open the thread in.
TTavuBrowser *TVarneloWindow::ChooseThreadTab(TThreadItem *item, bool newTab, bool keepTab, bool &made)
{
    TTavuBrowser *current = nullptr;
    GetActiveBrowser(current);
    made = (TavuConfig->OPENNEWBROWSER || Browsers.isEmpty() || newTab) && !keepTab;
    if (!made)
        made = current && current->Locked;
    if (current && !current->IsWebPage() && SameThread(current->ThreadItem(), item))
        made = false;
    return made ? nullptr : current;
}

// The tab takes the thread: the thread it showed keeps the response at the top of its view, and the
// tab starts a new response list and a new document for this one.
void TVarneloWindow::PrepareReusedTab(TTavuBrowser *tab, TThreadItem *item)
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
    Kpwfunc::SetBrowserTabCaption(*this, tab);
}

// The download of the thread for the tab. A local log is read through the local site's type.
TResDownloader *TVarneloWindow::NewThreadDownload(TTavuBrowser *tab, TThreadItem *item, bool reload, const QString &url)
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

void TVarneloWindow::StartCacheLoader(TTavuBrowser *tab, TThreadItem *item, TResDownloader *job)
{
    auto *loader = new TResCacheLoader(tab, tab->ResList(), item);
    TrackWorker(loader);
    tab->ShowFirst(ShownPosition(tab, item));
    loader->OnCacheRes = [this](TResCacheLoader *l, TRes *res) { AppendResToView(l->Tab(), l->ResList(), res); };
    loader->OnCacheChunk = [](TResCacheLoader *l, const QString &html) {
        if (l->Tab())
            l->Tab()->AppendHtml(html);
    };
    loader->OnCacheDone = [this, job](TResCacheLoader *l) { OnCacheDone(l, job); };
    loader->Start();
}

void TVarneloWindow::OnCacheDone(TResCacheLoader *loader, TResDownloader *job)
{
    TTavuBrowser *tab = loader->Tab();
    const bool live = tab && !loader->isInterruptionRequested() && tab->ResList() == loader->ResList()
        && tab->Downloader == job;
    Kpwfunc::AddLog(QStringLiteral("  キャッシュ(%1件)").arg(loader->RenderedCount()));
    if (live && job) {
        tab->DownloadState = TTavuBrowser::dsDownloading;
        tab->UpdateTabImage();
    } else if (live) {
        FinishThreadView(tab, loader->Item());
    } else if (!job) {
        EndBusy();   // a tab let go of: nothing else ends this opening
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
    UpdateBrowserMenu();
}

// The end of an opening without a download: the stored log is all the tab shows.
void TVarneloWindow::FinishThreadView(TTavuBrowser *tab, TThreadItem *item)
{
    tab->DownloadState = TTavuBrowser::dsIdle;
    const int shown = ShownPosition(tab, item);
    if (shown > 0)
        tab->ScrollToRes(shown);
    Kpwfunc::UpdateBarWidth(BrowserToolBar);
    tab->UpdateTabImage();
    Kpwfunc::QueueHistoryLine(item, ProfileFile(QStringLiteral("readhist.txt")), true, TavuConfig->SAVEHIST);
    EndResView(tab);
    if (!tab->IsWebPage()) {
        tab->WriteHtml();
        item->SetRead(tab->ResList()->Count());
        item->COUNT = item->READ;
    }
    item->Checking = false;
    ThreadListView->viewport()->update();
    UpdateThreadListMenu();
    UpdateBrowserMenu();
    Kpwfunc::SetBrowserTabCaption(*this, tab);
    EndBusy();
}

// ---- the download's reports ----

// The tab a download still fills; nullptr once the tab let go of it.
TTavuBrowser *TVarneloWindow::LiveThreadTab(const TResDownloader *job) const
{
    auto *tab = qobject_cast<TTavuBrowser *>(job->Tab.data());
    return tab && tab->Downloader == job ? tab : nullptr;
}

void TVarneloWindow::OnThreadDownloadRes(TResDownloader *job, TRes *res, int maximum, int position)
{
    ProgressBar->setRange(0, std::max(maximum, 0));
    ProgressBar->setValue(std::clamp(position, 0, std::max(maximum, 0)));
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
    AppendResToView(tab, list, res);
    if (res->Number == item->READ + 1 && item->READ > 0 && !DownloadOf(job)->InPlace)
        tab->ScrollToRes(res->Number);
    if (res->IsNew)
        TavuConfig->SetLoadResCount(TavuConfig->VOZADAZOZ_LOAD_RES_COUNT + 1);
    if (list->Count() > item->READ) {
        item->NewCount = list->Count() - item->READ;
        StatusBar1->SetText(NewResPanel, QStringLiteral("新ﾚｽ: %1").arg(item->NewCount));
    }
}

void TVarneloWindow::OnThreadDownloadWebPage(TResDownloader *job, const QString &pageUrl)
{
    TTavuBrowser *tab = LiveThreadTab(job);
    TThreadItem *item = job->Item();
    if (!tab || !item)
        return;
    item->COUNT = 1;
    item->SaveInfo();
    ThreadListView->viewport()->update();
    tab->SetWebPage(true);
    tab->DownloadState = TTavuBrowser::dsDownloading;
    tab->UpdateTabImage();
    tab->Navigate(pageUrl);
}

void TVarneloWindow::OnThreadDownloadDone(TResDownloader *job, bool failed)
{
    ProgressBar->reset();
    StatusBar2->SetText(FlowStatusPanel, QString());
    TThreadItem *item = job->Item();
    if (item)
        item->Checking = false;
    TTavuBrowser *tab = LiveThreadTab(job);
    if (tab && item) {
        FinishThreadDownload(tab, job, failed);
        tab->Downloader = nullptr;
        UpdateStatusCaption(item);
    }
    if (item)
        Kpwfunc::RefreshThreadListItem(*this, item);   // the rows of this thread show its new counts
    job->ReleaseItem();
    ThreadListView->viewport()->update();
    UpdateThreadListMenu();
    UpdateBrowserMenu();
    EndBusy();
    TThreadDownload *d = DownloadOf(job);
    TThreadDownload::EndOnce(d, d->DownloadEnded);
}

void TVarneloWindow::FinishThreadDownload(TTavuBrowser *tab, TResDownloader *job, bool failed)
{
    TThreadItem *item = job->Item();
    TResList *list = tab->ResList();
    const bool webPage = job->BBS && job->BBS->IsWebPage();
    const int stored = list->Count() - tab->DownloadCount;   // the responses the log held
    int newCount = 0;
    if (!failed) {
        newCount = list->Count() - item->READ;
        item->NewCount = newCount;
        if (!DownloadOf(job)->InPlace)
            ScrollAfterDownload(tab, item, newCount);
        else if (tab->ResNumber > 0)
            tab->ScrollToRes(tab->ResNumber);   // an open thread keeps its place unless a response is asked for
        if (!webPage) {
            item->SetRead(list->Count());
            item->COUNT = item->READ;
        }
    }
    if (!tab->IsWebPage())
        tab->DownloadState = TTavuBrowser::dsIdle;
    Kpwfunc::SetBrowserTabCaption(*this, tab);
    // The page is sent what it still waits for first; the files are written while it shows it.
    EndResView(tab);
    if (!tab->IsWebPage())
        tab->WriteHtml();
    if (!failed && TavuEnviron->GetCached() && !job->NotModified)
        SaveDownloadedLog(job, list, item, stored);
    if (!failed)
        Kpwfunc::QueueHistoryLine(item, ProfileFile(QStringLiteral("readhist.txt")), true, TavuConfig->SAVEHIST);

    // A failed download was reported by its error lines; it completed nothing.
    if (!failed) {
        const QString target = ThreadListPane::ThreadTarget(*item);
        Kpwfunc::AddLog(QStringLiteral("△スレッド取得完了 →") + target
                        + QStringLiteral(" (%1件/%2件)").arg(std::max(newCount, 0)).arg(item->READ));
        StatusBar2->SetText(FlowStatusPanel, QStringLiteral("スレッド取得完了：") + target);
    }
    TavuConfig->SetLoadThreadCount(TavuConfig->VOZADAZOZ_LOAD_THREAD_COUNT + 1);
    Kpwfunc::PlayEventSound(failed ? Kpwfunc::esError
                                   : newCount > 0 ? Kpwfunc::esThreadNewRes : Kpwfunc::esThreadNoNewRes);
}

// The first new response comes into view, or, without new ones, the read point or the response
// at the top when the thread was left (a response asked for wins).
void TVarneloWindow::ScrollAfterDownload(TTavuBrowser *tab, TThreadItem *item, int newCount)
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
// responses and away from the window's thread: the new responses are appended to the stored ones,
// then the .inf counts them. A save that fails is told in the log pane, and the item goes back to
// what its .inf still says, that is to the stored log.
void TVarneloWindow::SaveDownloadedLog(TResDownloader *job, TResList *list, TThreadItem *item, int stored)
{
    if (item->GetLogFile().isEmpty())
        return;
    const TThreadDownload *d = DownloadOf(job);
    if (d->HasNewValidators)
        d->NewValidators.PutInto(*item);
    item->SetLastLoad(QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
    const TThreadLogSave save(*list, stored, *item);
    item->AddRef();
    TSaveQueue::Instance().Push(save.Files(), [save] { return save.Run(); }, [item](const QString &failure) {
        if (!failure.isEmpty()) {
            Kpwfunc::AddLog(failure);
            item->ReloadInfo();
        }
        item->Release();
    });
}

void TVarneloWindow::OnThreadDownloadError(TResDownloader *job, int code, const QString &message,
                                           const QString &detail)
{
    TThreadItem *item = job->Item();
    if (code == 0 || !item)
        return;
    const QString target = ThreadListPane::ThreadTarget(*item);
    Kpwfunc::AddLog(QStringLiteral("△スレッド取得エラー →") + target);
    Kpwfunc::AddLog(QStringLiteral("→%1:%2").arg(code).arg(message));
    StatusBar2->SetText(FlowStatusPanel, QStringLiteral("スレッド取得エラー：") + target);
    if (!LiveThreadTab(job))
        return;   // the tab is gone: nobody waits for the message

    if (OpenBlockPage(job->BBS, code, detail))
        return;
    // A log that no longer matches the server's is repaired by fetching it whole again.
    const bool mismatch = code == 416 || code == httpLogChanged;
    Kpwfunc::ShowMessage(Kpwfunc::mkError, QStringLiteral("%1\n%2\n\nスレッドダウンロードエラー\n%3%4")
                                               .arg(code)
                                               .arg(message, item->ShownTitle(),
                                                    mismatch ? QStringLiteral("\n\n「スレッド」メニューの「ログの再取得」で取得し直してください。")
                                                             : QString()));
}

void TVarneloWindow::DetachBrowser(TTavuBrowser *tab)
{
    if (!tab || (tab->DownloadState == TTavuBrowser::dsIdle && !tab->Downloader))
        return;
    tab->CancelDownload();
    tab->Downloader = nullptr;
    renderings.remove(tab);
    tab->DownloadState = TTavuBrowser::dsIdle;
    tab->UpdateTabImage();
}

// ---- caption and tabs ----

void TVarneloWindow::UpdateStatusCaption(TThreadItem *item)
{
    LastThreadShown = item;
    const QString caption = TavuConfig->APPNAME + VersionCaption;
    if (!item) {
        setWindowTitle(caption);
        ThreadTitleLabel->clear();
        ThreadCountLabel->clear();
        emit ThreadShown();
        return;
    }
    const TBoard *board = item->GetBoard();
    const QString boardName = board ? board->Name : QString();
    const QString siteName = item->Site ? item->Site->NAME : QString();
    const QString target = item->ShownTitle() + QStringLiteral("＠") + boardName + QStringLiteral("／") + siteName;
    setWindowTitle(caption + QLatin1Char('-') + target);
    ThreadTitleLabel->setText(target);

    TTavuBrowser *tab = nullptr;
    const int newCount = std::max(item->NewCount, 0);
    if (GetActiveBrowser(tab) && tab->ThreadItem() == item && tab->IsExtractMode())
        ThreadCountLabel->setText(QStringLiteral("抽出文字：%1 (%2 / %3)").arg(tab->SearchText).arg(tab->SearchCount).arg(item->COUNT));
    else if (TavuConfig->THREADTITLESHOWSIZE)
        ThreadCountLabel->setText(QStringLiteral("(%1 / %2 | %3KB)")
                                      .arg(newCount)
                                      .arg(item->COUNT)
                                      .arg(QFileInfo(item->GetLogFile()).size() / 1024 + 1));
    else
        ThreadCountLabel->setText(QStringLiteral("(%1 / %2)").arg(newCount).arg(item->COUNT));
    emit ThreadShown();
}

void TVarneloWindow::ShowBrowserTab(TTavuBrowser *tab, bool switchPane)
{
    const QAction *browserPane = Action(QStringLiteral("actShowBrowser"));
    if (switchPane && TavuConfig->TABCLICKCHANGEPANE && browserPane && !browserPane->isChecked())
        Execute(QStringLiteral("actShowPaneChange"));
    tab->Activate();
    tab->DoSelect();
}

// Only the thread tabs shown last keep a live page: the ones further back hide and give theirs up,
// which frees what the engine keeps for it.
void TVarneloWindow::GiveUpBackgroundPages()
{
    constexpr qsizetype LivePages = 2;
    for (qsizetype i = LivePages; i < Browsers.size(); ++i) {
        TTavuBrowser *tab = Browsers[i];
        if (tab->PageGivenUp() || tab->IsWebPage())
            continue;
        tab->hide();
        tab->GiveUpPage();
    }
}

void TVarneloWindow::MoveBrowserToFront(TTavuBrowser *tab)
{
    const qsizetype index = Browsers.indexOf(tab);
    if (index > 0)
        Browsers.move(index, 0);
}

void TVarneloWindow::BrowserTabActivated(TTavuBrowser *tab)
{
    MoveBrowserToFront(tab);
    if (tab->PageGivenUp())
        RenderResViewAgain(tab);   // where it was, with its marks
    GiveUpBackgroundPages();
    UrlComboBox->setEditText(tab->URL);
    UpdateStatusCaption(tab->IsWebPage() ? nullptr : tab->ThreadItem());
    UpdateBrowserMenu();
}
