// The thread tabs: the window builds the thread request flow (Threads, flows/ThreadController.h) and
// the tab manager (mainwindow/TabManager.h), shows what they report and keeps the title panel and
// the caption.

#include "mainwindow/VarneloWindow.h"

#include "commands/NoticeCommands.h"

#include "controls/BoardTree.h"
#include "controls/ExtListView.h"
#include "controls/UserFiles.h"
#include "controls/WindowEvents.h"
#include "controls/WindowLists.h"
#include "controls/WindowServices.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/ResList.h"
#include "core/Res.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "flows/ThreadController.h"
#include "mainwindow/ListPane.h"
#include "mainwindow/VarneloWindowStatusBar.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "render/TavuResWriter.h"
#include "services/EventLog.h"
#include "services/ThreadListPane.h"
#include "services/Urls.h"
#include "tools/PreviewBrowser.h"

#include <QComboBox>
#include <QCursor>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace {

const QString VersionCaption = QStringLiteral(" 2 β(vid23 dare60)");

}  // namespace

// ---- set-up ----

void TVarneloWindow::CreateTabManager()
{
    tabs = std::make_unique<TTabManager>(*this, TTabManager::TWidgets{panes->ThreadListTabBar(), panes->BrowserTabBar(),
                                                                      ThreadListTabMenu, BrowserTabMenu, ThreadListPopup,
                                                                      BrowserPopup, panes->BrowserViewPanel()});
    listPane->BindTabs(*tabs);
    connect(tabs.get(), &TTabManager::ListDocCountChanged, this,
            [this](int count) { ShowCount(1, QStringLiteral("板: %1"), count); });
    connect(tabs.get(), &TTabManager::BrowserMade, this, &TVarneloWindow::BindBrowserEvents);
    connect(tabs.get(), &TTabManager::BrowserClosing, this, [this](TTavuBrowser *tab) { Threads->DetachBrowser(tab); });
    connect(tabs.get(), &TTabManager::BrowserCountChanged, this,
            [this](int count) { ShowCount(2, QStringLiteral("ｽﾚ: %1"), count); });
    connect(tabs.get(), &TTabManager::BrowserClosed, this, &TVarneloWindow::BrowserTabClosed);
}

void TVarneloWindow::BindThreadFlow()
{
    ThreadTitlePanel = new QWidget(panes->BrowserPane());
    ThreadTitlePanel->setObjectName(QStringLiteral("ThreadTitlePanel"));
    ThreadTitlePanel->setAutoFillBackground(true);   // colours and place: PaneLooks::ApplyThreadTitlePanelLook
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
    row->setContentsMargins(4, 0, 4, 0);   // the panel is THREADTITLESIZE high
    row->addWidget(ThreadTitleLabel, TavuConfig->THREADTITLEAUTOFIT ? 0 : 1);
    row->addWidget(ThreadCountLabel);
    row->addStretch(TavuConfig->THREADTITLEAUTOFIT ? 1 : 0);
    auto *paneLayout = static_cast<QBoxLayout *>(panes->BrowserPane()->layout());
    paneLayout->insertWidget(paneLayout->indexOf(panes->BrowserArea()), ThreadTitlePanel);

    TTavuBrowser::SetTabImages([this](TTavuBrowser::TTabImage image) {
        static const int pictures[] = {imgThreadList, imgUpdate, imgReload, imgStop, imgGlobe, imgLock};
        return ActionImage.value(pictures[image]);
    });

    BindThreadFlowReports();
    ActionList1->Bind(QStringLiteral("actBrowserNavigate"), this, &TVarneloWindow::actBrowserNavigateExecute);
    // Enter in the address box opens its URL also while no browser tab is open.
    connect(UrlComboBox->lineEdit(), &QLineEdit::returnPressed, this, &TVarneloWindow::actBrowserNavigateExecute);
}

void TVarneloWindow::actBrowserNavigateExecute()
{
    const QString url = UrlComboBox->currentText().trimmed();
    if (url.isEmpty())
        return;
    UserFiles::AddUrlLog(UrlComboBox, url);
    OpenThreadUrl(url);
}

// ---- reading ----

void TVarneloWindow::OpenThread(TThreadItem *item, bool reload, bool newTab, bool activate, int resNumber)
{
    Threads->OpenThread(item, reload, newTab, activate, resNumber, false, QString());
}

void TVarneloWindow::OpenBoard(TBoard *board, bool reload)
{
    listPane->StartThreadListDownload(board, reload, false);
}

// A thread of a known board opens as a thread tab (with its stored log when there is one), a board
// of a known site as its thread list, anything else as a web page.
void TVarneloWindow::OpenThreadUrl(const QString &url, bool fromViewer)
{
    auto *item = new TThreadItem;
    int resNo = 0;
    TSite *site = nullptr;
    TBoard *board = nullptr;
    if (Urls::MatchBoardUrl(url, nullptr, *item, resNo, site, board)) {
        item->BoardID = board->ID;
        if (board->BBS)
            item->BBS = board->BBS;
        item->Site = site;
        item->DownloadRequest = true;
        Threads->OpenThread(item, false, false, true, resNo, false, item->BBS->GetThreadUrl(item));
    } else if (Urls::IsBoardUrl(url, board)) {
        listPane->StartThreadListDownload(board, false, false);
    } else {
        OpenUrl(url, url, fromViewer);
    }
    item->Release();
}

void TVarneloWindow::OpenWebPage(const QString &url, const QString &caption)
{
    OpenUrl(url, caption, false);
}

void TVarneloWindow::OpenUrl(const QString &url, const QString &caption, bool fromViewer)
{
    switch (TavuConfig->URL_OPENINVARNELO) {
    case 0:
    case 2:
        tabs->NewWebPageTab(url, caption, true)->FromViewer = fromViewer;
        break;
    case 1:
        Urls::OpenUrlExternal(url);
        break;
    default:
        break;
    }
}

// ---- thread views ----

void TVarneloWindow::AddLog(const QString &text)
{
    EventLog::AddLog(text);
}

void TVarneloWindow::RenderResList(IResultView *view, TResList *list)
{
    Threads->RenderResList(view, list);
}

void TVarneloWindow::PopupResMenu()
{
    ResPopup->popup(QCursor::pos());
}

void TVarneloWindow::PopupResIDMenu()
{
    ResIDPopup->popup(QCursor::pos());
}

void TVarneloWindow::TypeAddress(const QString &text)
{
    UrlComboBox->setEditText(text);
    UrlComboBox->setFocus();
}

void TVarneloWindow::OpenInPreviewBrowser(const QString &url)
{
    PreviewBrowser::ShowUrl(*this, *this, url);
}

void TVarneloWindow::BindBrowserEvents(TTavuBrowser *tab)
{
    connect(tab, &TTavuBrowser::Activated, this, &TVarneloWindow::BrowserTabActivated);
    connect(tab, &TTavuBrowser::Uncovered, this, &TVarneloWindow::BrowserTabUncovered);
    connect(tab, &TTavuBrowser::StatusTextChange, this, [this, tab](const QString &text) {
        tab->StatusText = text;
        TTavuBrowser *current = nullptr;
        if (tabs->GetActiveBrowser(current) && current == tab)
            StatusBar2->SetText(1, TTavuResWriter::LinkStatusText(text));
    });
    emit events->BrowserTabCreated(tab);
}

// The flow runs in Threads; the window shows what it reports.
void TVarneloWindow::BindThreadFlowReports()
{
    Threads = new TThreadController(Tabs(), Rules(), Bookmarks(), this);
    Threads->PrivateTab = PrivateBrowser;
    Threads->RecentThreads = &Lists->RecentThreads;
    searchViews = std::make_unique<TSearchViews>(*this, Views(), *tabs, *panes, *Threads, PrivateBrowser, Panel10);
    connect(Threads, &TThreadController::Started, this, &TVarneloWindow::BeginBusy);
    connect(Threads, &TThreadController::Ended, this, &TVarneloWindow::EndBusy);
    connect(Threads, &TThreadController::LogLine, this, [](const QString &text) { EventLog::AddLog(text); });
    connect(Threads, &TThreadController::StatusText, this, &TVarneloWindow::ShowFlowStatus);
    connect(Threads, &TThreadController::Progress, this, &TVarneloWindow::ShowFlowProgress);
    connect(Threads, &TThreadController::ProgressEnded, ProgressBar, &TStatusProgress::Reset);
    connect(Threads, &TThreadController::NewResCount, this, &TVarneloWindow::ShowNewResCount);
    connect(Threads, &TThreadController::NoticesCleared, this, [this] {
        if (Notices)
            Notices->Clear();
    });
    connect(Threads, &TThreadController::ResNoticed, this, [this](const QString &text, TThreadItem *item, const TRes *res) {
        if (Notices)
            Notices->AddResNotice(text, item, *res);
    });
    connect(Threads, &TThreadController::TabCaptionChanged, this,
            [this](TTavuBrowser *tab) { tabs->SetBrowserTabCaption(tab); });
    connect(Threads, &TThreadController::TabBarChanged, this, [this] { BoardTree::UpdateBarWidth(panes->BrowserTabBar()); });
    connect(Threads, &TThreadController::ThreadDone, this, &TVarneloWindow::UpdateStatusCaption);
    connect(Threads, &TThreadController::CaptionChanged, this, [this] { UpdateStatusCaption(LastThreadShown); });
    connect(Threads, &TThreadController::ThreadItemChanged, listPane, &TListPane::RefreshThreadListItem);
    connect(Threads, &TThreadController::ThreadListChanged, listPane, &TListPane::RepaintThreadListRows);
    connect(Threads, &TThreadController::BrowserCommandsChanged, this, &TVarneloWindow::UpdateBrowserMenu);
    connect(Threads, &TThreadController::ThreadListCommandsChanged, this, &TVarneloWindow::UpdateThreadListCommands);
    connect(Threads, &TThreadController::WorkerStarted, this, &TVarneloWindow::TrackWorker);
    connect(Threads, &TThreadController::BlockPageFound, this, &TVarneloWindow::ShowBlockPage);
}

// ---- opening ----

void TVarneloWindow::OpenThread(TThreadItem *item, bool reload, bool newTab, bool activate, int resNumber,
                                bool keepTab, const QString &url)
{
    Threads->OpenThread(item, reload, newTab, activate, resNumber, keepTab, url);
}

void TVarneloWindow::RefreshResView()
{
    Threads->RefreshResView();
}

void TVarneloWindow::ApplySkinChange()
{
    Threads->ApplySkinChange();
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
        emit events->ThreadShown();
        return;
    }
    const TBoard *board = item->GetBoard();
    const QString boardName = board ? board->Name : QString();
    const QString siteName = item->Site ? item->Site->NAME : QString();
    const QString target = ThreadListPane::TitleOrKey(*item) + QStringLiteral("＠") + boardName + QStringLiteral("／") + siteName;
    setWindowTitle(caption + QLatin1Char('-') + target);
    ThreadTitleLabel->setText(target);

    TTavuBrowser *tab = nullptr;
    const int newCount = std::max(item->NewCount, 0);
    if (tabs->GetActiveBrowser(tab) && tab->ThreadItem() == item && tab->IsExtractMode())
        ThreadCountLabel->setText(QStringLiteral("抽出文字：%1 (%2 / %3)").arg(tab->SearchText).arg(tab->SearchCount).arg(item->COUNT));
    else if (TavuConfig->THREADTITLESHOWSIZE)
        ThreadCountLabel->setText(QStringLiteral("(%1 / %2 | %3KB)")
                                      .arg(newCount)
                                      .arg(item->COUNT)
                                      .arg(QFileInfo(item->GetLogFile()).size() / 1024 + 1));
    else
        ThreadCountLabel->setText(QStringLiteral("(%1 / %2)").arg(newCount).arg(item->COUNT));
    emit events->ThreadShown();
}

void TVarneloWindow::BrowserTabActivated(TTavuBrowser *tab)
{
    tabs->MoveBrowserToFront(tab);
    // The caption's thread is this one from now on (the one before may be gone with its tab).
    TThreadItem *shown = tab->IsWebPage() ? nullptr : tab->ThreadItem();
    LastThreadShown = shown;
    if (tab->PageGivenUp())
        Threads->RenderResViewAgain(tab);   // where it was, with its marks
    tabs->GiveUpBackgroundPages();
    UrlComboBox->setEditText(tab->URL);
    if (!tab->IsCovered())   // else the caption changes with the view (BrowserTabUncovered)
        UpdateStatusCaption(shown);
    UpdateBrowserMenu();
}

void TVarneloWindow::BrowserTabUncovered(TTavuBrowser *tab)
{
    TTavuBrowser *current = nullptr;
    if (tabs->GetActiveBrowser(current) && current == tab)
        UpdateStatusCaption(tab->IsWebPage() ? nullptr : tab->ThreadItem());
}

// The last tab gone, the address box and the caption show no page.
void TVarneloWindow::BrowserTabClosed(int left)
{
    if (left == 0) {
        UrlComboBox->setEditText(QString());
        UpdateStatusCaption(nullptr);
    }
    ProgressBar->Reset();
}
