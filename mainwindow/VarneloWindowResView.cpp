// The rendering trio: every rendering of responses into a view (a thread tab, a popup, a preview,
// an export) goes through BeginResView, AppendResToView once per response and EndResView, which
// apply the response rules on the way.
//
// The rules run once per response: the first time it passes, every matching rule is counted and
// acts (hide, replace, notice, bookmark, bold), and the response is marked so that a later
// rendering neither counts nor logs it again. What a replace or bold rule does is applied to a copy
// that the view renders; the response itself keeps the text it has in the log.

#include "mainwindow/VarneloWindow.h"

#include "commands/NoticeCommands.h"

#include "controls/Dialogs.h"
#include "controls/KpwServices.h"
#include "core/Bookmark.h"
#include "core/Exceptions.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/TavuAction.h"
#include "core/TavuActionList.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "render/ResultView.h"
#include "render/TavuBrowser.h"
#include "settings/BookmarkShelf.h"

#include <QDateTime>

namespace {

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

}  // namespace

// A browser tab that the user sees: rules log and mark only there.
bool TVarneloWindow::IsRealTab(IResultView *view) const
{
    auto *tab = dynamic_cast<TTavuBrowser *>(view);
    return tab && tab != PrivateBrowser;
}

void TVarneloWindow::BeginResView(IResultView *view, TResList *list)
{
    TRenderState state;
    if (TThreadItem *item = list ? list->Item() : nullptr) {
        item->OpenInf();
        state.Erased = item->ReadErasedRes();
    }
    renderings.insert(view, state);
    view->BeginView(list);
}

void TVarneloWindow::AppendResToView(IResultView *view, TResList *list, TRes *res)
{
    TThreadItem *item = list ? list->Item() : nullptr;
    const bool firstPass = !res->RuleMark;
    const bool inTab = IsRealTab(view);

    TRes shown;
    shown.Assign(*res);
    QList<TActionHit> hits;
    if (list)
        hits = ResRules->ApplyToRes(*list, shown, SiteIdOf(item), BoardIdOf(item), inTab);
    if (!firstPass)
        ReapplyTextRules(shown, item, inTab);
    res->RuleMark = true;
    res->Hidden = shown.Hidden;

    for (const TActionHit &hit : hits)
        ActOnHit(view, list, *res, hit, inTab);

    // An erased response is not shown; its Hidden mark stays the rules' own, so that restoring it
    // brings it back and a response hidden by a rule can be told from an erased one.
    if (renderings.value(view).Erased.contains(res->Number)) {
        res->Erased = true;
        shown.Hidden = true;
    }
    if (view->TakesRes(&shown)) {
        view->AppendRes(&shown);
        CopyDisplayState(shown, *res);
    }
}

void TVarneloWindow::EndResView(IResultView *view)
{
    renderings.remove(view);
    if (view->EndView())
        UpdateStatusCaption(LastThreadShown);
}

// What a rule that hit does beyond the text of the response.
void TVarneloWindow::ActOnHit(IResultView *view, TResList *list, TRes &res, const TActionHit &hit, bool inTab)
{
    const QString number = QString::number(res.Number);
    if (hit.Chained || hit.Rule->Action == TTavuAction::ABONE) {
        view->HideRes(&res, hit.Rule);
        if (!hit.Chained && inTab)
            LogRule(QStringLiteral("・アクション作動：『非表示』　→") + number);
        return;
    }
    switch (hit.Rule->Action) {
    case TTavuAction::REPLACE:
        if (inTab)
            LogRule(QStringLiteral("・アクション作動：『置換』　　→") + number);
        break;
    case TTavuAction::POPUP:
        if (inTab && Notices)
            Notices->AddResNotice(hit.Rule->Value1, list ? list->Item() : nullptr, res);
        if (inTab)
            LogRule(QStringLiteral("・アクション作動：『お知らせ』→") + number + QLatin1Char(':')
                    + MonaUtils::HtmlToPlainText(res.Body));
        break;
    case TTavuAction::BOOKMARK:
        if (inTab && BookmarkRes(list, res))
            LogRule(QStringLiteral("・アクション作動：『しおり』　→") + number + QLatin1Char(':')
                    + MonaUtils::HtmlToPlainText(res.Name));
        break;
    default:
        break;
    }
}

// A later rendering shows the response as the first one did: the replace and bold rules that
// match are applied to the copy again, without counting or logging them.
void TVarneloWindow::ReapplyTextRules(TRes &shown, const TThreadItem *item, bool inTab) const
{
    if (shown.Hidden)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < ResRules->Count(); ++i) {
        const TTavuAction *rule = ResRules->Get(i);
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

bool TVarneloWindow::BookmarkRes(TResList *list, const TRes &res, const QString &memo)
{
    TThreadItem *item = list ? list->Item() : nullptr;
    if (!item)
        return false;
    if (item->Bookmarks.Count() == 0)
        item->OpenInf();
    if (item->Bookmarks.FindByResNo(res.Number))
        return false;
    TBookmarkShelf(*BookmarkList, BookmarkFile()).Add(item, res, memo, QString());
    return true;
}

void TVarneloWindow::LogRule(const QString &text)
{
    Kpwfunc::AddLog(text);
}

// The current tab rendered again from its responses: after a rule, read point or skin change.
void TVarneloWindow::RefreshResView()
{
    TTavuBrowser *tab = nullptr;
    if (GetActiveBrowser(tab))
        RenderResViewAgain(tab);
}

// A thread tab rendered again from its responses, keeping its place: the page begins with the
// responses at that place.
void TVarneloWindow::RenderResViewAgain(TTavuBrowser *tab)
{
    TResList *list = tab->ResList();
    if (!list)
        return;
    const int top = tab->GetTopResNumber();
    try {
        tab->RenewDocument();
        tab->ShowFirst(top);
        tab->WriteHeader();
        BeginResView(tab, list);
        for (int i = 0; i < list->Count(); ++i)
            AppendResToView(tab, list, list->Get(i));
        EndResView(tab);
        tab->WriteHtml();
        tab->ScrollToRes(top);
    } catch (const EVarnelo &e) {
        renderings.remove(tab);
        Kpwfunc::AddLog(e.Message);
    }
}

// skin.ini changed: every thread tab takes its skin again and is rendered in it.
void TVarneloWindow::ApplySkinChange()
{
    for (TTavuBrowser *tab : std::as_const(Browsers)) {
        if (tab->IsWebPage() || !tab->ResList())
            continue;
        tab->SelectSkin(tab->GetBoard());
        RenderResViewAgain(tab);
    }
}
