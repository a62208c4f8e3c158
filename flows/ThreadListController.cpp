#include "flows/ThreadListController.h"

#include "controls/Dialogs.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/Exceptions.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "core/ThreadListDownloader.h"
#include "net/HttpSettings.h"
#include "render/TavuListDoc.h"
#include "services/Ninkinet.h"

#include <QCoreApplication>

#include <algorithm>
#include <memory>

namespace {

bool ListsWhatArrives(const TBoard *board)
{
    // Favorites folders and local folders are listed whole; their rows are prepared as shown.
    const QString id = board && board->BBS ? board->BBS->ID : QString();
    return id == QLatin1String("favoritesscript") || id == QLatin1String("localscript");
}

// While a list downloads, its rows are drawn after every thread, or after every
// THREADLISTREFRESHCOUNT threads when THREADLISTDOWNLOADMODE is 1.
bool DrawsAt(int count)
{
    return TavuConfig->THREADLISTDOWNLOADMODE != 1 || count % std::max(1, TavuConfig->THREADLISTREFRESHCOUNT) == 0;
}

}  // namespace

TThreadListController::TThreadListController(QObject *parent) : QObject(parent) {}

bool TThreadListController::IsPaged(const TBoard *board)
{
    return board && board->BBS && board->BBS->IsThreadListPaged();
}

QString TThreadListController::BoardTarget(const TBoard *board)
{
    if (!board)
        return QString();
    return board->Name + QStringLiteral("＠") + (board->Site ? board->Site->NAME : QString());
}

QString TThreadListController::BlockPageUrl(const TBBS *bbs, int code, const QString &detail)
{
    if (!bbs || bbs->ID != QLatin1String("dolibscript") || code != 302)
        return QString();
    const int start = detail.indexOf(QLatin1String("http"));
    if (start < 0)
        return QString();
    int end = start;
    while (end < detail.size() && !detail.at(end).isSpace())
        ++end;
    const QString url = detail.mid(start, end - start);
    return url.contains(QLatin1String("/403/")) ? url : QString();
}

// ---- starting ----

void TThreadListController::StartThreadListDownload(TTavuListDoc *doc, TBoard *board, bool reload, bool cacheOnly)
{
    emit Started(doc);
    doc->Items()->BBS = board->BBS;
    doc->Items()->Site = board->Site;
    emit RowCountChanged(doc, 0, false);
    const QString target = BoardTarget(board);
    emit LogLine(QString());
    emit LogLine(QStringLiteral("▽スレッド一覧の取得開始 →") + target);
    emit StatusText(QStringLiteral("スレッド一覧の取得開始：") + target);

    doc->ItemLimit = IsPaged(board) ? 0 : TavuConfig->THREADLISTCOUNT;
    if (doc->PageStep <= 0)
        doc->PageStep = TavuConfig->THREADLISTCOUNT;
    doc->PageNumber = 1;
    doc->LoadSubjectDat();
    doc->LoadInfFileList();
    doc->DownloadState = TTavuListDoc::dsDownloading;
    doc->UpdateTabImage();

    TThreadListDownloader *job = NewJob(doc, board);
    const bool favorites = board->Site && board->Site == TavuEnviron->FavoritesSite();
    if (board->BBS && ((!cacheOnly && !TavuEnviron->IsOffline()) || favorites)) {
        TavuConfig->SetLoadBoardCount(TavuConfig->VOZADAZOZ_LOAD_BOARD_COUNT + 1);
        board->BBS->DownloadThreadList(job, reload, false);
    } else {
        job->NotModified = true;
        OnThreadListDone(job, false);
    }
    RememberBoard(board);
}

void TThreadListController::RememberBoard(const TBoard *board)
{
    if (!RecentBoards)
        return;
    const QString siteId = board->Site ? board->Site->SITEID : QString();
    const QString prefix = siteId + QLatin1Char('\t') + board->ID + QLatin1Char('\t');
    RecentBoards->Lines.removeIf([&prefix](const QString &line) { return line.startsWith(prefix); });
    RecentBoards->Lines.prepend(prefix + BoardTarget(board));
}

void TThreadListController::StartCounter(const QString &counterId)
{
    if (counterId.isEmpty() || !TavuConfig->NINKINET_CHECK)
        return;
    const QString cookie = TavuConfig->Ini.ReadString(QStringLiteral("NINKINET"), counterId);
    auto *counter = new TNinkinet(counterId, TavuConfig->NINKINET_URL, cookie, ConfiguredProxy(false), this);
    connect(counter, &TNinkinet::CookieReceived, this, [](const QString &id, const QString &value) {
        TavuConfig->Ini.WriteString(QStringLiteral("NINKINET"), id, value);
    });
    connect(counter, &QThread::finished, counter, &QObject::deleteLater);
    emit WorkerStarted(counter);
    counter->start();
}

bool TThreadListController::DownloadNextPage(TTavuListDoc *doc)
{
    TBoard *board = doc->GetBoard();
    if (doc->DownloadState != TTavuListDoc::dsIdle || !board || !board->BBS)
        return false;
    emit Started(doc);
    TThreadListDownloader *job = NewJob(doc, board);
    doc->DownloadState = TTavuListDoc::dsDownloading;
    doc->UpdateTabImage();
    job->Page = ++doc->PageNumber;
    board->BBS->DownloadThreadListNextPage(job, doc->PageNumber);
    return true;
}

void TThreadListController::Detach(TTavuListDoc *doc)
{
    if (!doc || !doc->Downloader)
        return;
    doc->CancelDownload();
    doc->Downloader = nullptr;
    doc->DownloadState = TTavuListDoc::dsIdle;
}

// The download that fills the document with the board's listing.
TThreadListDownloader *TThreadListController::NewJob(TTavuListDoc *doc, TBoard *board)
{
    auto *job = new TThreadListDownloader;
    job->BBS = board->BBS;
    job->Site = board->Site;
    job->Board = board;
    job->Items = doc->Items();
    job->Doc = doc;
    job->CodePage = board->CodePage;
    job->OnThreadItem = [this](TThreadListDownloader *j, TThreadItem *item) { OnThreadListItem(j, item); };
    job->OnProgress = [this](TThreadListDownloader *j, TThreadItem *item, int maximum, int position) {
        return OnThreadListProgress(j, item, maximum, position);
    };
    job->OnDone = [this](TThreadListDownloader *j, bool failed) { OnThreadListDone(j, failed); };
    job->OnError = [this](TThreadListDownloader *j, int code, const QString &message, const QString &detail) {
        OnThreadListError(j, code, message, detail);
    };
    doc->Downloader = job;
    return job;
}

// The document a download still fills; nullptr once it let go of it.
TTavuListDoc *TThreadListController::LiveListDoc(const TThreadListDownloader *job) const
{
    auto *doc = qobject_cast<TTavuListDoc *>(job->Doc.data());
    return doc && doc->Downloader == job ? doc : nullptr;
}

// ---- what the board type reports ----

// Every listed thread joins the document, so the stored list is kept whole however many of them
// the list prepares for display. A "not modified" answer reports the stored threads: the document
// reads them itself when the download ends.
void TThreadListController::OnThreadListItem(TThreadListDownloader *job, TThreadItem *item)
{
    TTavuListDoc *doc = LiveListDoc(job);
    if (!doc || !item || job->NotModified)
        return;
    doc->AddListed(item);
}

bool TThreadListController::OnThreadListProgress(TThreadListDownloader *job, TThreadItem *item, int maximum,
                                                 int position)
{
    emit Progress(std::max(maximum, 0), std::clamp(position, 0, std::max(maximum, 0)));
    TTavuListDoc *doc = LiveListDoc(job);
    if (!doc)
        return false;
    const bool merge = item && !job->NotModified;
    if (merge) {
        emit StatusText(QStringLiteral("スレッド一覧取得中・・・"));
        emit NewThreadCount(doc->CountNewThreads());
    }
    if (IsPaged(job->Board)) {
        if (merge)
            doc->UpdateList(item, true);
        return true;
    }
    if (doc->Items()->Count() >= TavuConfig->THREADLISTCOUNT + 1)
        return false;
    if (!ListsWhatArrives(job->Board)) {
        if (merge)
            doc->UpdateList(item, true);
    } else if (DrawsAt(doc->Items()->Count())) {
        emit RowCountChanged(doc, doc->Items()->Count(), true);
    }
    return true;
}

void TThreadListController::OnThreadListDone(TThreadListDownloader *job, bool failed)
{
    TTavuListDoc *doc = LiveListDoc(job);
    if (doc)
        FinishThreadList(doc, job, failed);
    emit StatusText(QString());
    if (doc)
        doc->Downloader = nullptr;
    const std::unique_ptr<TThreadListDownloader> done(job);
    emit Ended(doc, job->Site);
}

void TThreadListController::FinishThreadList(TTavuListDoc *doc, TThreadListDownloader *job, bool failed)
{
    TBoard *board = job->Board;
    if (TavuConfig->DATOCHIMODE == 1 && doc->Items()->Count() > 0)
        emit FallenThreadsWanted(doc);
    if (!failed && job->NotModified) {
        doc->DownloadState = TTavuListDoc::dsLoadingStored;
        doc->UpdateTabImage();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        doc->LoadSubjectTxt();
    }
    TThreadItemList *items = doc->Items();
    // A failed listing was told by its error lines; it completed nothing.
    if (!failed) {
        emit LogLine(QStringLiteral("△スレッド一覧の取得完了 →") + BoardTarget(board)
                     + QStringLiteral(" (%1件 / %2件)").arg(items->CountMarked()).arg(items->Count()));
        emit StatusText(QStringLiteral("スレッド一覧の取得完了：") + BoardTarget(board));
        DropRepeatedLast(doc);
        if (TavuEnviron->GetCached() && !job->NotModified && items->Count() > 0 && !TavuEnviron->IsOffline()) {
            try {
                doc->SaveSubjectDat();
                doc->SaveSubjectTxt();
            } catch (const EVarnelo &e) {
                emit LogLine(e.Message);
            }
        }
        doc->SetDisplayCount(IsPaged(board) ? items->Count() : TavuConfig->THREADLISTCOUNT);
        if (doc->DisplayCount() < items->Count())   // the rows held back by the limit are told of
            emit LogLine(QStringLiteral("  %1件中%2件を表示しています。残りは「続きを表示する」で表示します。")
                             .arg(items->Count())
                             .arg(doc->DisplayCount()));
    }
    doc->DownloadState = TTavuListDoc::dsIdle;
    doc->DownloadFailed = failed;
    doc->UpdateTabImage();
    emit RowCountChanged(doc, doc->DisplayCount(), true);
}

// A list whose last line repeats its first thread loses the repetition.
void TThreadListController::DropRepeatedLast(TTavuListDoc *doc)
{
    TThreadItemList *items = doc->Items();
    if (items->Count() <= 1 || items->Get(0)->GetKey() != items->Get(items->Count() - 1)->GetKey())
        return;
    TThreadItemList *arrival = doc->ArrivalItems();
    if (arrival->Count() > 1 && arrival->Get(arrival->Count() - 1) == items->Get(items->Count() - 1))
        arrival->Delete(arrival->Count() - 1);
    items->Delete(items->Count() - 1);
}

void TThreadListController::OnThreadListError(TThreadListDownloader *job, int code, const QString &message,
                                              const QString &detail)
{
    if (code == 0 || !job->Board)
        return;
    const QString target = BoardTarget(job->Board);
    emit LogLine(QStringLiteral("△スレッド一覧取得エラー →") + target);
    emit LogLine(QStringLiteral("→%1:%2").arg(code).arg(message));
    emit LogLine(QString());
    emit StatusText(QStringLiteral("スレッド一覧取得エラー：") + target);
    if (LiveListDoc(job))   // once the tab is gone nobody waits for the message
        ReportError(job, code, message, detail);
}

// A 2ch server that blocks the reader answers 302 to its block page: that page shows instead of an
// error box.
void TThreadListController::ReportError(TThreadListDownloader *job, int code, const QString &message,
                                        const QString &detail)
{
    const QString blockPage = BlockPageUrl(job->BBS, code, detail);
    if (!blockPage.isEmpty()) {
        emit BlockPageFound(blockPage);
        return;
    }
    Dialogs::ShowMessage(Dialogs::mkError,
                         QStringLiteral("%1\n%2\n\nスレッド一覧ダウンロードエラー\n%3\n\n"
                                        "板が移転したかもしれません。\n"
                                        "[板|ボード一覧の更新]を実行してボード一覧を最新にした後、\n"
                                        "もう一度トライしてみてください。")
                             .arg(code)
                             .arg(message, job->Board->Name));
}
