// Filtered views of the thread tabs: the responses of the current thread that match a text, a
// name or an ID, the replies to one response, the board-wide search and the second browser.

#include "mainwindow/VarneloWindow.h"

#include "controls/Dialogs.h"
#include "controls/KpwBoardTree.h"
#include "controls/KpwServices.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"
#include "mainwindow/WindowSearch.h"
#include "render/TavuBrowser.h"
#include "services/KpwSearch.h"

#include <QAction>
#include <memory>

namespace {

const QString NothingFound = QStringLiteral("該当レスが見つかりませんでした。");

void LogCount(int count)
{
    Kpwfunc::AddLog(QStringLiteral("  →該当件数:") + QString::number(count));
}

// The response of the list with that number; nullptr when none.
const TRes *FindRes(const TResList *list, int number)
{
    for (int i = 0; list && i < list->Count(); ++i) {
        if (list->Get(i)->Number == number)
            return list->Get(i);
    }
    return nullptr;
}

}  // namespace

void TVarneloWindow::BindResSearch()
{
    ActionList1->Bind(QStringLiteral("actSelectionFilter"), this, &TVarneloWindow::actSelectionFilterExecute);
    ActionList1->Bind(QStringLiteral("actSelectResFilterID"), this, [this] { actSelectResFilterExecute(false); });
    ActionList1->Bind(QStringLiteral("actSelectResFilterHandle"), this, [this] { actSelectResFilterExecute(true); });
    ActionList1->Bind(QStringLiteral("actSelectResReply"), this, &TVarneloWindow::actSelectResReplyExecute);
    ActionList1->Bind(QStringLiteral("actThreadListFilterHoliday"), this,
                      &TVarneloWindow::actThreadListFilterHolidayExecute);
    ActionList1->Bind(QStringLiteral("actShowDoubleWindow"), this, &TVarneloWindow::actShowDoubleWindowExecute);
}

TTavuBrowser *TVarneloWindow::FilterResView(const Kpwfunc::TResSearch &search)
{
    TTavuBrowser *source = nullptr;
    if (!GetActiveBrowser(source) || !source->ThreadItem() || !source->ResList())
        return nullptr;
    auto list = std::make_unique<TResList>(source->ThreadItem());
    int count = 0;
    const TResList &responses = *source->ResList();
    for (int i = 0; i < responses.Count(); ++i) {
        auto *copy = new TRes;
        copy->Assign(*responses.Get(i));
        const bool match = (!search.NewOnly || copy->IsNew)
                           && Kpwfunc::MatchRes(*copy, search.Text, search.Fold, search.Mode);
        copy->Visible = match && !copy->Erased;
        count += copy->Visible ? 1 : 0;
        list->Add(copy);
    }
    LogCount(count);
    if (count == 0) {
        Kpwfunc::ShowMessage(Kpwfunc::mkWarning, NothingFound);
        return nullptr;
    }
    TTavuBrowser *tab = Kpwfunc::NewExtractTab(*this, source->ThreadItem(), list.release(), true, source->URL);
    Kpwfunc::WriteExtractView(*this, tab, &search);
    Kpwfunc::PlayEventSound(2);
    tab->SearchText = search.Text;
    tab->SearchCount = count;
    UpdateStatusCaption(tab->ThreadItem());
    return tab;
}

// "この文字列でフィルタ": the selected text in every field.
void TVarneloWindow::actSelectionFilterExecute()
{
    TTavuBrowser *tab = nullptr;
    if (!GetActiveBrowser(tab))
        return;
    Kpwfunc::TResSearch search;
    search.Text = tab->GetSelectedText().trimmed();
    if (!search.Text.isEmpty())
        FilterResView(search);
}

void TVarneloWindow::actSelectResFilterExecute(bool byName)
{
    TTavuBrowser *tab = nullptr;
    if (!GetActiveBrowser(tab))
        return;
    const TRes *res = FindRes(tab->ResList(), tab->ClickedResNumber);
    if (!res)
        return;
    Kpwfunc::TResSearch search;
    search.Mode = byName ? Kpwfunc::rmNameExact : Kpwfunc::rmID;
    search.Text = byName ? res->Name : res->ID;
    FilterResView(search);
}

// "このレスへのレス": the responses that refer to the response under the cursor.
void TVarneloWindow::actSelectResReplyExecute()
{
    TTavuBrowser *source = nullptr;
    if (!GetActiveBrowser(source) || !source->ThreadItem() || !source->ResList())
        return;
    auto list = std::make_unique<TResList>(source->ThreadItem());
    const int count = Kpwfunc::CollectReplies(*source->ResList(), source->ClickedResNumber, *list);
    LogCount(count);
    if (count == 0) {
        Kpwfunc::ShowMessage(Kpwfunc::mkWarning, NothingFound);
        return;
    }
    TTavuBrowser *tab = Kpwfunc::NewExtractTab(*this, source->ThreadItem(), list.release(), true, source->URL);
    Kpwfunc::WriteExtractView(*this, tab, nullptr);
}

// "Holiday(テスト中)": the board-wide search over the current board tab, asked for by the filter
// dialog.
void TVarneloWindow::actThreadListFilterHolidayExecute()
{
    TTavuListDoc *doc = nullptr;
    const Kpwfunc::TResSearchDialogHandler &dialog = Kpwfunc::ResSearchDialog();
    Kpwfunc::TResSearch search;
    if (!GetActiveListDoc(doc) || !dialog || !dialog(search) || search.Text.isEmpty())
        return;
    Kpwfunc::SearchBoardLogs(*this, doc, search);
}

// The second browser: checked shows it with the visible responses of the current thread tab,
// unchecked hides it and lets go of its thread.
void TVarneloWindow::actShowDoubleWindowExecute()
{
    const bool show = !Kpwfunc::DoubleWindowShown(*this);
    Kpwfunc::ShowDoubleWindow(*this, show);
    TTavuBrowser *tab = nullptr;
    if (!show || !GetActiveBrowser(tab) || !tab->ThreadItem() || !tab->ResList())
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
    PrivateBrowser->SetThreadItem(tab->ThreadItem());
    PrivateBrowser->SetResList(list);
    PrivateBrowser->SelectSkin(tab->GetBoard());
    Kpwfunc::WriteExtractView(*this, PrivateBrowser, nullptr);
}
