// The update check and the patrol of the current thread-list tab (run by UpdateChecks,
// flows/UpdateCheckController.h), and the navigation of links in the browser tabs.
//
// Every navigation of a browser tab passes the window's filter first: internal links of rendered
// threads become popups, links to threads and boards of known sites open in the program, other
// pages open as the settings say, and URLs of killurl.txt close the tab that tries to open them.

#include "mainwindow/VarneloWindow.h"

#include "controls/WindowServices.h"
#include "render/TavuResWriter.h"
#include "services/PopupKillList.h"

#include "services/TavuRound.h"
#include "services/TavuUpdateCheck.h"
#include "tools/ExifView.h"
#include "tools/PreviewBrowser.h"
#include "tools/UrlDialog.h"

#include "boards/Be2chManager.h"
#include "controls/Dialogs.h"
#include "controls/KpwBoardTree.h"
#include "controls/KpwServices.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "flows/UpdateCheckController.h"
#include "mainwindow/WindowSearch.h"
#include "mainwindow/WindowTabs.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "render/TavuListDoc.h"
#include "services/KpwSearch.h"
#include "services/KpwUrl.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QScopeGuard>
#include <QTimer>

namespace {

const QString LoadingCaption = QStringLiteral("Loading...");

bool IsHttp(const QString &url)
{
    return url.startsWith(QLatin1String("http://")) || url.startsWith(QLatin1String("https://"));
}

// A tab made only to open one link: no thread and nothing shown yet.
bool OpenedForTheLink(const TTavuBrowser *tab)
{
    return !tab->ThreadItem() && !tab->Browser()->HasDocument();
}

}  // namespace

// The commands of the checks, and the link filter for every browser tab made from now on and for the
// private browser.
void TVarneloWindow::BindUpdateCheck()
{
    UpdateChecks = new TUpdateCheckController(this);
    connect(UpdateChecks, &TUpdateCheckController::RowCountChanged, this, [this](TTavuListDoc *doc, int count) {
        if (doc == shownListDoc)
            SetThreadListRowCount(count, true);
    });
    connect(UpdateChecks, &TUpdateCheckController::CommandsChanged, this, &TVarneloWindow::UpdateThreadListMenu);
    connect(UpdateChecks, &TUpdateCheckController::RowsChanged, this, [this] { Services().RepaintThreadList(); });
    connect(UpdateChecks, &TUpdateCheckController::Finished, this, [this](bool patrol, int sound) {
        SetActionState(patrol ? QStringLiteral("actBoardFavRound") : QStringLiteral("actBoardFavCheckUpdate"), true);
        if (sound >= 0)
            Kpwfunc::PlayEventSound(sound);
    });
    const auto check = [this](bool patrol) {
        TTavuListDoc *doc = nullptr;
        UpdateChecks->actThreadListCheckUpdateExecute(GetActiveListDoc(doc) ? doc : nullptr, patrol);
    };
    ActionList1->Bind(QStringLiteral("actThreadListCheckUpdate"), this, [check] { check(false); });
    ActionList1->Bind(QStringLiteral("actThreadListRound"), this, [check] { check(true); });
    connect(this, &TVarneloWindow::BrowserTabCreated, this, &TVarneloWindow::BindLinkNavigation);
    if (PrivateBrowser)
        BindLinkNavigation(PrivateBrowser);
}

// ---- link navigation ----

void TVarneloWindow::BindLinkNavigation(TTavuBrowser *tab)
{
    connect(tab->Browser(), &TEmbeddedWB::BeforeNavigate, this,
            [this, tab](const QUrl &url, bool &cancel) { OnBrowserBeforeNavigate(tab, url.toString(), cancel); });
    connect(tab->Browser(), &TEmbeddedWB::NewWindow, this,
            [this, tab](const QUrl &url, TEmbeddedWB *&target, bool &cancel) { OpenLink(tab, url.toString(), target, cancel); });
}

void TVarneloWindow::OnBrowserBeforeNavigate(TTavuBrowser *tab, const QString &url, bool &cancel)
{
    cancel = false;
    if (url.contains(QLatin1String("about:"))) {
        cancel = tab->Browser()->HasDocument();
        return;
    }
    if (url.startsWith(QLatin1String("mailto:"))) {
        cancel = TavuConfig->CANCELMAILTO;
        return;
    }
    const bool showsThread = tab->ThreadItem() && !tab->IsWebPage();
    if (url.startsWith(QLatin1String("tavu://res/?no=")) || url.startsWith(QLatin1String("menu:"))) {
        cancel = true;
        if (showsThread) {
            ClickedTab = tab;
            tab->ClickedResNumber = TTavuBrowser::GetLinkNumber(url);
            HintWindow->hide();
            ResPopup->popup(QCursor::pos());
        }
        return;
    }
    if (url.startsWith(QLatin1String("tavu://res/?id="))) {
        cancel = true;
        if (showsThread) {
            HintWindow->hide();
            ClickedTab = tab;
            tab->ClickedID = TTavuResWriter::LinkValue(url);
            ResIDPopup->popup(QCursor::pos());
        }
        return;
    }
    if (url.startsWith(QLatin1String("tavu://res/?be="))) {
        cancel = true;
        if (showsThread && Be2chManager) {
            HintWindow->hide();
            ClickedTab = tab;
            const QString member = url.mid(url.indexOf(QLatin1String("?be=")) + 4);
            TTavuBrowser *profile = nullptr;
            Kpwfunc::NewBrowser(*this, profile, nullptr, nullptr, true, QStringLiteral("BE ユーザープロフィール"));
            profile->Navigate(QString(Be2chManager->ProfileUrl)
                                  .replace(QLatin1String("<member>"), member)
                                  .replace(QLatin1String("<url>"), tab->URL));
        }
        return;
    }
    if (!TavuConfig->URL_BCC.isEmpty() && url.startsWith(TavuConfig->URL_BCC))
        return;
    if (PopupKillList::IsUrlKilled(url)) {
        CloseTabLater(tab);
        cancel = true;
        return;
    }
    QString target = url;
    if (!url.contains(QLatin1Char('/')) && !url.contains(QLatin1Char('.')))
        target = MonaUtils::ResolveRelativeUrl(tab->Browser()->LocationUrl(), url);
    if (!Browsers.contains(tab))
        return;
    if (tab->Locked) {
        TTavuBrowser *other = nullptr;
        Kpwfunc::NewBrowser(*this, other, nullptr, nullptr, false, LoadingCaption);
        other->Navigate(target);
        cancel = true;
        return;
    }
    if (FollowBoardLink(tab, target)) {
        cancel = true;
        return;
    }
    if (IsHttp(target))
        OpenPageLink(tab, target, cancel);
}

// A link to a thread or a board of a known site opens in the program; false for any other link.
bool TVarneloWindow::FollowBoardLink(TTavuBrowser *tab, const QString &url)
{
    TResList linked;
    auto *item = new TThreadItem;
    const auto release = qScopeGuard([item] { item->Release(); });
    int resNo = 0;
    TSite *site = nullptr;
    TBoard *board = nullptr;
    if (Kpwfunc::MatchBoardUrl(url, linked, *item, resNo, site, board)) {
        const TThreadItem *shown = tab->ThreadItem();
        const bool sameThread = shown && shown->Site == item->Site && shown->BoardID == item->BoardID
                                && shown->GetKey() == item->GetKey();
        if (sameThread) {
            ShowLinkedResponses(tab, url);
            return true;
        }
        if (IsHttp(url)) {
            if (AsksHowToOpen(tab))
                AskHowToOpen(tab, url, true);
            else
                OpenThreadLink(url, true);
        }
        return true;
    }
    if (!Kpwfunc::IsBoardUrl(url, board))
        return false;
    HintWindow->hide();
    if (OpenedForTheLink(tab))
        CloseTabLater(tab);
    StartThreadListDownload(board, false, false);
    return true;
}

// A link into the thread the tab shows: the responses it names come up in the double window;
// one that is gone is named in a message.
void TVarneloWindow::ShowLinkedResponses(TTavuBrowser *tab, const QString &url)
{
    const TBBS *type = tab->ThreadItem()->BBS;
    if (type && type->ID == QLatin1String("ahhanscript") && url.contains(QLatin1String("&al=on"))) {
        Kpwfunc::ShowUrlInDoubleWindow(*this, url);
        return;
    }
    Kpwfunc::TBoardUrlParts parts;
    if (!tab->ResList() || !Kpwfunc::ParseBoardUrl(url, tab->GetBoard(), parts))
        return;
    const TResList &shown = *tab->ResList();
    const int first = parts.From > 0 ? parts.From : parts.To;
    if (first > shown.Count() || (first > 0 && shown.Get(first - 1)->Erased)) {
        Kpwfunc::ShowMessage(Kpwfunc::mkWarning, QStringLiteral("指定レスは消去されています。"));
        return;
    }
    auto *list = new TResList(tab->ThreadItem());
    Kpwfunc::FillPopupResList(shown, *list, parts.From, parts.To, parts.NoFirst);
    Kpwfunc::ShowResListInPreview(*this, tab->ThreadItem(), list);
}

void TVarneloWindow::OpenThreadLink(const QString &url, bool activate)
{
    TResList linked;
    auto *item = new TThreadItem;
    const auto release = qScopeGuard([item] { item->Release(); });
    int resNo = 0;
    TSite *site = nullptr;
    TBoard *board = nullptr;
    if (!Kpwfunc::MatchBoardUrl(url, linked, *item, resNo, site, board))
        return;
    item->DownloadRequest = true;
    OpenThread(item, false, true, activate, resNo, false, QString());
}

void TVarneloWindow::OpenPageLink(TTavuBrowser *tab, const QString &url, bool &cancel)
{
    HintWindow->hide();
    if (AsksHowToOpen(tab) && !tab->IsWebPage()) {
        cancel = true;
        AskHowToOpen(tab, url, false);
        return;
    }
    switch (TavuConfig->URL_OPENINVARNELO) {
    case 0:
        if (TavuConfig->SHOWEXIFINFO && url.toLower().endsWith(QLatin1String(".jpg"))) {
            cancel = true;
            ShowExifView(url);
            if (OpenedForTheLink(tab))
                CloseTabLater(tab);
            break;
        }
        tab->MarkNavigated();
        break;
    case 1:
        cancel = true;
        Kpwfunc::OpenUrlExternal(url);
        if (OpenedForTheLink(tab))
            CloseTabLater(tab);
        break;
    case 2:
        cancel = true;
        PreviewBrowser::ShowUrl(Services(), url);
        break;
    default:
        cancel = true;
        Kpwfunc::OpenUrl(*this, url, url);
        break;
    }
}

// The picture with its Exif values, in a window of its own.
void TVarneloWindow::ShowExifView(const QString &url)
{
    auto *view = new TExifViewForm(TavuConfig->GetTempDir() + QStringLiteral("thumbs/"), this);
    view->ShowPicture(url);
}

// CHECKBBSLINK asks before a link opens; Shift held turns it round. A tab that shows a plain page
// never asks.
bool TVarneloWindow::AsksHowToOpen(const TTavuBrowser *tab) const
{
    const bool shift = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    return TavuConfig->CHECKBBSLINK != shift && !tab->IsWebPage();
}

void TVarneloWindow::AskHowToOpen(TTavuBrowser *tab, const QString &url, bool isThread)
{
    TUrlDialog dialog(this);
    dialog.SetURL(url);
    if (Kpwfunc::ExecDialog(dialog) != QDialog::Accepted)
        return;
    const QString chosen = dialog.GetURL();
    if (dialog.OpenInVarnelo) {
        if (isThread) {
            OpenThreadLink(chosen, dialog.GetActivateTab());
        } else {
            TTavuBrowser *page = nullptr;
            Kpwfunc::NewBrowser(*this, page, nullptr, nullptr, dialog.GetActivateTab(), chosen);
            page->Navigate(chosen);
        }
    } else if (dialog.OpenInBrowser) {
        Kpwfunc::OpenUrlExternal(chosen);
        if (OpenedForTheLink(tab))
            CloseTabLater(tab);
    } else if (dialog.QuickLook) {
        PreviewBrowser::ShowUrl(Services(), chosen);
    }
}

// Closes the tab once the event that asked for it is over.
void TVarneloWindow::CloseTabLater(TTavuBrowser *tab)
{
    QTimer::singleShot(0, this, [this, tab = QPointer<TTavuBrowser>(tab)] {
        if (tab)
            Kpwfunc::CloseBrowser(*this, tab);
    });
}

void TVarneloWindow::OpenLink(TTavuBrowser *tab, const QString &url, TEmbeddedWB *&target, bool &cancel)
{
    HintWindow->hide();
    const QString link = QString(url).replace(QLatin1String("&amp;"), QLatin1String("&"));
    if (FollowBoardLink(tab, link)) {
        cancel = true;
        return;
    }
    OpenNewWindowTab(target);
}

TTavuBrowser *TVarneloWindow::OpenNewWindowTab(TEmbeddedWB *&target)
{
    TTavuBrowser *tab = nullptr;
    Kpwfunc::NewBrowser(*this, tab, nullptr, nullptr, true, LoadingCaption);
    target = tab->Browser();
    return tab;
}
