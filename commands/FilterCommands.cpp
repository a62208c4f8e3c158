#include "commands/FilterCommands.h"

#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "render/TavuBrowser.h"
#include "tools/FilterDialog.h"

TFilterCommands::TFilterCommands(TWindowFrameServices &frame, TTabServices &tabs, TSearchViewServices &searchViews,
                                 QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), searchViews(searchViews)
{
    frame.BindAction(QStringLiteral("actThreadFilter"), this, [this] { actThreadFilterExecute(); });
    oldThreadDialog = ThreadListPane::SetFilterDialog(
        [this](const TThreadItemList &items, ThreadListPane::TThreadFilter &filter) { return AskThreadFilter(items, filter); });
    oldResDialog = ResSearch::SetResSearchDialog([this](ResSearch::TResSearch &search) { return AskResSearch(search); });
}

TFilterCommands::~TFilterCommands()
{
    ThreadListPane::SetFilterDialog(oldThreadDialog);
    ResSearch::SetResSearchDialog(oldResDialog);
}

bool TFilterCommands::AskThreadFilter(const TThreadItemList &items, ThreadListPane::TThreadFilter &filter)
{
    TFilterDialog dialog(frame.Window());
    dialog.SetThreadList(items);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return false;
    filter = dialog.ThreadFilter();
    return true;
}

// The board-wide search asks for its text and field on the posts page; the current thread's
// posts offer their handles, mails and IDs.
bool TFilterCommands::AskResSearch(ResSearch::TResSearch &search)
{
    TFilterDialog dialog(frame.Window());
    TTavuBrowser *tab = tabs.CurrentBrowser();
    dialog.SetResList(tab ? tab->ResList() : nullptr);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return false;
    search = dialog.ResSearch();
    return true;
}

// The posts of the current thread tab that match, in a tab of their own.
void TFilterCommands::actThreadFilterExecute()
{
    TTavuBrowser *tab = tabs.CurrentBrowser();
    if (!tab || !tab->ThreadItem() || !tab->ResList())
        return;
    TFilterDialog dialog(frame.Window());
    dialog.SetResList(tab->ResList());
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    const ResSearch::TResSearch search = dialog.ResSearch();
    if (!search.Text.isEmpty())
        searchViews.FilterResView(search);
}
