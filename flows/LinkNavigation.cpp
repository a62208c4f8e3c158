#include "flows/LinkNavigation.h"

#include "boards/Be2chManager.h"
#include "controls/Dialogs.h"
#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "core/BBS.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "render/TavuResWriter.h"
#include "services/PopupKillList.h"
#include "services/Urls.h"
#include "tools/PreviewBrowser.h"
#include "tools/UrlDialog.h"

#include <QGuiApplication>
#include <QPointer>
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

// True when the URL names a thread of a known board: the fresh item is bound to it and resNo is the
// response the URL points at.
bool MatchThreadUrl(const QString &url, TThreadItem &item, int &resNo)
{
    TSite *site = nullptr;
    TBoard *board = nullptr;
    return Urls::MatchBoardUrl(url, nullptr, item, resNo, site, board);
}

// The responses a link into the shown thread names, as its popup collects them, and no others:
// copies that keep their numbers.
TResList *NamedResponses(const TResList &shown, const Urls::TBoardUrlParts &parts)
{
    TResList marked(shown.Item());
    Urls::FillPopupResList(shown, marked, parts.From, parts.To, parts.NoFirst);
    auto *named = new TResList(shown.Item());
    for (int i = 0; i < marked.Count(); ++i) {
        const TRes *res = marked.Get(i);
        if (!res->Visible)
            continue;
        auto *copy = new TRes;
        copy->Assign(*res);
        named->Add(copy);
    }
    return named;
}

}  // namespace

TLinkNavigation::TLinkNavigation(TWindowFrameServices &frame, TTabServices &tabs, TReadingServices &reading,
                                 TSearchViewServices &searchViews, TThreadViewServices &views, QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), reading(reading), searchViews(searchViews), views(views)
{
    connect(&frame.Events(), &TWindowEvents::BrowserTabCreated, this, &TLinkNavigation::BindLinkNavigation);
}

void TLinkNavigation::BindLinkNavigation(TTavuBrowser *tab)
{
    connect(tab->Browser(), &TEmbeddedWB::BeforeNavigate, this,
            [this, tab](const QUrl &url, bool &cancel) { OnBrowserBeforeNavigate(tab, url.toString(), cancel); });
    connect(tab->Browser(), &TEmbeddedWB::NewWindow, this,
            [this, tab](const QUrl &url, TEmbeddedWB *&target, bool &cancel) { OpenLink(tab, url.toString(), target, cancel); });
}

void TLinkNavigation::OnBrowserBeforeNavigate(TTavuBrowser *tab, const QString &url, bool &cancel)
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
            views.HintWindow()->hide();
            views.PopupResMenu();
        }
        return;
    }
    if (url.startsWith(QLatin1String("tavu://res/?id="))) {
        cancel = true;
        if (showsThread) {
            views.HintWindow()->hide();
            ClickedTab = tab;
            tab->ClickedID = TTavuResWriter::LinkValue(url);
            views.PopupResIDMenu();
        }
        return;
    }
    if (url.startsWith(QLatin1String("tavu://res/?be="))) {
        cancel = true;
        if (showsThread && Be2chManager) {
            views.HintWindow()->hide();
            ClickedTab = tab;
            const QString member = url.mid(url.indexOf(QLatin1String("?be=")) + 4);
            TTavuBrowser *profile = tabs.NewPageTab(QStringLiteral("BE ユーザープロフィール"));
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
    if (!tabs.Browsers().contains(tab))
        return;
    if (tab->Locked) {
        TTavuBrowser *other = tabs.NewPageTab(LoadingCaption, false);
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
bool TLinkNavigation::FollowBoardLink(TTavuBrowser *tab, const QString &url)
{
    auto *item = new TThreadItem;
    const auto release = qScopeGuard([item] { item->Release(); });
    int resNo = 0;
    if (MatchThreadUrl(url, *item, resNo)) {
        const TThreadItem *shown = tab->ThreadItem();
        if (shown && shown->IsSameThread(*item)) {
            if (TavuConfig->RESANCHORBROWSE == 1 && resNo > 0)
                tab->ScrollToRes(resNo);   // RESANCHORBROWSE 1: to the response, in place
            else
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
    TBoard *board = nullptr;
    if (!Urls::IsBoardUrl(url, board))
        return false;
    views.HintWindow()->hide();
    if (OpenedForTheLink(tab))
        CloseTabLater(tab);
    reading.OpenBoard(board, false);
    return true;
}

// A link into the thread the tab shows: the responses it names come up in the double window;
// one that is gone is named in a message.
void TLinkNavigation::ShowLinkedResponses(TTavuBrowser *tab, const QString &url)
{
    const TBBS *type = tab->ThreadItem()->BBS;
    if (type && type->ID == QLatin1String("ahhanscript") && url.contains(QLatin1String("&al=on"))) {
        searchViews.ShowUrlInDoubleWindow(url);
        return;
    }
    Urls::TBoardUrlParts parts;
    if (!tab->ResList() || !Urls::ParseBoardUrl(url, tab->GetBoard(), parts))
        return;
    const TResList &shown = *tab->ResList();
    const int first = parts.From > 0 ? parts.From : parts.To;
    if (first > shown.Count() || (first > 0 && shown.Get(first - 1)->Erased)) {
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("指定レスは消去されています。"));
        return;
    }
    searchViews.ShowResListInPreview(tab->ThreadItem(), NamedResponses(shown, parts));
}

void TLinkNavigation::OpenThreadLink(const QString &url, bool activate)
{
    auto *item = new TThreadItem;
    const auto release = qScopeGuard([item] { item->Release(); });
    int resNo = 0;
    if (!MatchThreadUrl(url, *item, resNo))
        return;
    item->DownloadRequest = true;
    reading.OpenThread(item, false, true, activate, resNo);
}

void TLinkNavigation::OpenPageLink(TTavuBrowser *tab, const QString &url, bool &cancel)
{
    views.HintWindow()->hide();
    if (AsksHowToOpen(tab) && !tab->IsWebPage()) {
        cancel = true;
        AskHowToOpen(tab, url, false);
        return;
    }
    switch (TavuConfig->URL_OPENINVARNELO) {
    case 0:
        if (TavuConfig->SHOWEXIFINFO && url.toLower().endsWith(QLatin1String(".jpg"))) {
            cancel = true;
            reading.ShowPictureView(url);
            if (OpenedForTheLink(tab))
                CloseTabLater(tab);
            break;
        }
        tab->MarkNavigated();
        if (tab == tabs.CurrentBrowser())
            views.UpdateStatusCaption(nullptr);   // a page now: no thread's caption or figures
        break;
    case 1:
        cancel = true;
        Urls::OpenUrlExternal(url);
        if (OpenedForTheLink(tab))
            CloseTabLater(tab);
        break;
    case 2:
        cancel = true;
        PreviewBrowser::ShowUrl(frame, reading, url);
        break;
    default:
        cancel = true;
        reading.OpenWebPage(url, url);
        break;
    }
}

// CHECKBBSLINK asks before a link opens; Shift held turns it round. A tab that shows a plain page
// never asks.
bool TLinkNavigation::AsksHowToOpen(const TTavuBrowser *tab) const
{
    const bool shift = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    return TavuConfig->CHECKBBSLINK != shift && !tab->IsWebPage();
}

void TLinkNavigation::AskHowToOpen(TTavuBrowser *tab, const QString &url, bool isThread)
{
    TUrlDialog dialog(frame.Window());
    dialog.SetURL(url);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    const QString chosen = dialog.GetURL();
    if (dialog.OpenInVarnelo) {
        if (isThread) {
            OpenThreadLink(chosen, dialog.GetActivateTab());
        } else {
            TTavuBrowser *page = tabs.NewPageTab(chosen, dialog.GetActivateTab());
            page->Navigate(chosen);
        }
    } else if (dialog.OpenInBrowser) {
        Urls::OpenUrlExternal(chosen);
        if (OpenedForTheLink(tab))
            CloseTabLater(tab);
    } else if (dialog.QuickLook) {
        PreviewBrowser::ShowUrl(frame, reading, chosen);
    }
}

// Closes the tab once the event that asked for it is over.
void TLinkNavigation::CloseTabLater(TTavuBrowser *tab)
{
    QTimer::singleShot(0, this, [this, tab = QPointer<TTavuBrowser>(tab)] {
        if (tab)
            tabs.CloseBrowser(tab);
    });
}

void TLinkNavigation::OpenLink(TTavuBrowser *tab, const QString &url, TEmbeddedWB *&target, bool &cancel)
{
    views.HintWindow()->hide();
    const QString link = QString(url).replace(QLatin1String("&amp;"), QLatin1String("&"));
    if (FollowBoardLink(tab, link)) {
        cancel = true;
        return;
    }
    OpenNewWindowTab(target);
}

TTavuBrowser *TLinkNavigation::OpenNewWindowTab(TEmbeddedWB *&target)
{
    TTavuBrowser *tab = tabs.NewPageTab(LoadingCaption);
    target = tab->Browser();
    return tab;
}
