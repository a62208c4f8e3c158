// The filtered view of the current thread tab: its responses that match a search, in an extract
// tab of their own. The commands that ask for it are TResSearchCommands (commands/).

#include "mainwindow/VarneloWindow.h"

#include "controls/BarsAndMenus.h"
#include "controls/BoardTree.h"
#include "controls/Dialogs.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"
#include "mainwindow/WindowSearch.h"
#include "render/TavuBrowser.h"
#include "services/ResSearch.h"

#include <QAction>
#include <memory>

namespace {

const QString NothingFound = QStringLiteral("該当レスが見つかりませんでした。");

void LogCount(int count)
{
    EventLog::AddLog(QStringLiteral("  →該当件数:") + QString::number(count));
}

}  // namespace

TTavuBrowser *TVarneloWindow::FilterResView(const ResSearch::TResSearch &search)
{
    TTavuBrowser *source = nullptr;
    if (!tabs->GetActiveBrowser(source) || !source->ThreadItem() || !source->ResList())
        return nullptr;
    auto list = std::make_unique<TResList>(source->ThreadItem());
    int count = 0;
    const TResList &responses = *source->ResList();
    for (int i = 0; i < responses.Count(); ++i) {
        auto *copy = new TRes;
        copy->Assign(*responses.Get(i));
        const bool match = (!search.NewOnly || copy->IsNew)
                           && ResSearch::MatchRes(*copy, search.Text, search.Fold, search.Mode);
        copy->Visible = match && !copy->Erased;
        count += copy->Visible ? 1 : 0;
        list->Add(copy);
    }
    LogCount(count);
    if (count == 0) {
        Dialogs::ShowMessage(Dialogs::mkWarning, NothingFound);
        return nullptr;
    }
    TTavuBrowser *tab = tabs->NewExtractTab(source->ThreadItem(), list.release(), true, source->URL);
    WindowSearch::WriteExtractView(*this, tab, &search);
    EventLog::PlayEventSound(2);
    tab->SearchText = search.Text;
    tab->SearchCount = count;
    UpdateStatusCaption(tab->ThreadItem());
    return tab;
}
