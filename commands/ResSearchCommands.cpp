#include "commands/ResSearchCommands.h"

#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "render/TavuBrowser.h"
#include "services/EventLog.h"
#include "services/ResSearch.h"

#include <memory>

TResSearchCommands::TResSearchCommands(TWindowFrameServices &frame, TTabServices &tabs, TSearchViewServices &searchViews,
                                       QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), searchViews(searchViews)
{
    frame.BindAction(QStringLiteral("actSelectionFilter"), this, [this] { actSelectionFilterExecute(); });
    frame.BindAction(QStringLiteral("actSelectResFilterID"), this, [this] { actSelectResFilterExecute(false); });
    frame.BindAction(QStringLiteral("actSelectResFilterHandle"), this, [this] { actSelectResFilterExecute(true); });
    frame.BindAction(QStringLiteral("actSelectResReply"), this, [this] { actSelectResReplyExecute(); });
    frame.BindAction(QStringLiteral("actThreadListFilterHoliday"), this,
                        [this] { actThreadListFilterHolidayExecute(); });
    frame.BindAction(QStringLiteral("actShowDoubleWindow"), this, [this] { actShowDoubleWindowExecute(); });
}

void TResSearchCommands::actSelectionFilterExecute()
{
    TTavuBrowser *tab = tabs.CurrentBrowser();
    if (!tab)
        return;
    ResSearch::TResSearch search;
    search.Text = tab->GetSelectedText().trimmed();
    if (!search.Text.isEmpty())
        searchViews.FilterResView(search);
}

void TResSearchCommands::actSelectResFilterExecute(bool byName)
{
    TTavuBrowser *tab = tabs.CurrentBrowser();
    const TRes *res = tab && tab->ResList() ? tab->ResList()->FindByNumber(tab->ClickedResNumber) : nullptr;
    if (!res)
        return;
    ResSearch::TResSearch search;
    search.Mode = byName ? ResSearch::rmNameExact : ResSearch::rmID;
    search.Text = byName ? res->Name : res->ID;
    searchViews.FilterResView(search);
}

void TResSearchCommands::actSelectResReplyExecute()
{
    TTavuBrowser *source = tabs.CurrentBrowser();
    if (!source || !source->ThreadItem() || !source->ResList())
        return;
    auto list = std::make_unique<TResList>(source->ThreadItem());
    const int count = ResSearch::CollectReplies(*source->ResList(), source->ClickedResNumber, *list);
    EventLog::AddLog(QStringLiteral("  →該当件数:") + QString::number(count));
    if (count == 0) {
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("該当レスが見つかりませんでした。"));
        return;
    }
    searchViews.ShowExtractTab(source->ThreadItem(), list.release(), source->URL);
}

void TResSearchCommands::actThreadListFilterHolidayExecute()
{
    TTavuListDoc *doc = tabs.CurrentListDoc();
    const ResSearch::TResSearchDialogHandler &dialog = ResSearch::ResSearchDialog();
    ResSearch::TResSearch search;
    if (!doc || !dialog || !dialog(search) || search.Text.isEmpty())
        return;
    searchViews.SearchBoardLogs(doc, search);
}

void TResSearchCommands::actShowDoubleWindowExecute()
{
    const bool show = !searchViews.DoubleWindowShown();
    searchViews.ShowDoubleWindow(show);
    TTavuBrowser *tab = tabs.CurrentBrowser();
    if (!show || !tab || !tab->ThreadItem() || !tab->ResList())
        return;
    auto *list = new TResList(tab->ThreadItem());
    for (int i = 0; i < tab->ResList()->Count(); ++i) {
        const TRes *res = tab->ResList()->Get(i);
        if (!res->Visible)
            continue;
        auto *copy = new TRes;
        copy->Assign(*res);
        list->Add(copy);
    }
    searchViews.ShowResListInPreview(tab->ThreadItem(), list);
}
