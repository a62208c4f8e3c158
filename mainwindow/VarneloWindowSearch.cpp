// The filtered view of the current thread tab: its responses that match a search, in an extract
// tab of their own. The commands that ask for it are TResSearchCommands (commands/).

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

}  // namespace

TTavuBrowser *TVarneloWindow::FilterResView(const Kpwfunc::TResSearch &search)
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
    TTavuBrowser *tab = tabs->NewExtractTab(source->ThreadItem(), list.release(), true, source->URL);
    Kpwfunc::WriteExtractView(*this, tab, &search);
    Kpwfunc::PlayEventSound(2);
    tab->SearchText = search.Text;
    tab->SearchCount = count;
    UpdateStatusCaption(tab->ThreadItem());
    return tab;
}
