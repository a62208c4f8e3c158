// The views of the search: extract tabs, the board-wide search over stored logs, and the window's
// second browser.

#include "mainwindow/SearchViews.h"

#include "controls/Dialogs.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "flows/ThreadController.h"
#include "mainwindow/PaneLayout.h"
#include "mainwindow/TabManager.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "services/EventLog.h"
#include "services/ResSearch.h"
#include "settings/BusyWindow.h"

#include <QAction>
#include <QBoxLayout>
#include <QFrame>
#include <memory>
#include <vector>

namespace {

const QString NothingFound = QStringLiteral("該当レスが見つかりませんでした。");

// A copy of the response added to out.
TRes *AddCopy(TResList &out, const TRes &res)
{
    auto *copy = new TRes;
    copy->Assign(res);
    out.Add(copy);
    return copy;
}

// Writes a highlighted body for one rendering and puts the stored one back afterwards.
class THighlightedBody {
public:
    THighlightedBody(TRes &res, const QString &text) : res(res)
    {
        res.SavedBody = res.Body;
        res.Body = ResSearch::HighlightText(res.Body, text, TavuConfig->FILTERTAG1, TavuConfig->FILTERTAG2);
    }
    ~THighlightedBody()
    {
        res.Body = res.SavedBody;
        res.SavedBody.clear();
    }
    THighlightedBody(const THighlightedBody &) = delete;
    THighlightedBody &operator=(const THighlightedBody &) = delete;

private:
    TRes &res;
};

// A list of copies of the thread's stored responses, each visible when it matches.
std::unique_ptr<TResList> MatchStoredLog(TThreadItem *item, const ResSearch::TResSearch &search, int &count)
{
    auto list = std::make_unique<TResList>(item);
    item->LoadResList(*list);
    count = 0;
    for (int i = 0; i < list->Count(); ++i) {
        TRes *res = list->Get(i);
        res->Visible = ResSearch::MatchRes(*res, search.Text, search.Fold, search.Mode);
        count += res->Visible ? 1 : 0;
    }
    return list;
}

}  // namespace

TSearchViews::TSearchViews(TWindowFrameServices &frame, TThreadViewServices &views, TTabManager &tabs,
                           TPaneLayout &panes, TThreadController &threads, TTavuBrowser *privateBrowser,
                           QWidget *privatePlace)
    : frame(frame), views(views), tabs(tabs), panes(panes), threads(threads), privateBrowser(privateBrowser),
      privatePlace(privatePlace)
{
}

// ---- extract tabs ----

TTavuBrowser *TSearchViews::FilterResView(const ResSearch::TResSearch &search)
{
    TTavuBrowser *source = tabs.CurrentBrowser();
    if (!source || !source->ThreadItem() || !source->ResList())
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
    EventLog::AddLog(QStringLiteral("  →該当件数:") + QString::number(count));
    if (count == 0) {
        Dialogs::ShowMessage(Dialogs::mkWarning, NothingFound);
        return nullptr;
    }
    TTavuBrowser *tab = tabs.NewExtractTab(source->ThreadItem(), list.release(), true, source->URL);
    WriteExtractView(tab, &search);
    EventLog::PlayEventSound(2);
    tab->SearchText = search.Text;
    tab->SearchCount = count;
    views.UpdateStatusCaption(tab->ThreadItem());
    return tab;
}

void TSearchViews::ShowExtractTab(TThreadItem *item, TResList *list, const QString &url)
{
    WriteExtractView(tabs.NewExtractTab(item, list, true, url), nullptr);
}

void TSearchViews::WriteExtractView(TTavuBrowser *tab, const ResSearch::TResSearch *search)
{
    TResList *list = tab->ResList();
    const bool highlight = search && search->Highlight && !search->Text.isEmpty();
    tab->ClearDocument();
    tab->WriteHeader();
    threads.BeginResView(tab, list);
    for (int i = 0; i < list->Count(); ++i) {
        TRes *res = list->Get(i);
        if (highlight && res->Visible) {
            THighlightedBody body(*res, search->Text);
            threads.AppendResToView(tab, list, res);
        } else {
            threads.AppendResToView(tab, list, res);
        }
    }
    threads.EndResView(tab);
    tab->WriteHtml();
}

void TSearchViews::SearchBoardLogs(TTavuListDoc *doc, const ResSearch::TResSearch &search)
{
    if (!doc || !doc->Items())
        return;
    struct TFound {
        TThreadItem *item;
        std::unique_ptr<TResList> list;
    };
    std::vector<TFound> found;
    {
        TMessageWindow progress(frame.Window());
        progress.SetMessage(QStringLiteral("スレッド読み込み開始"));
        progress.show();
        const TThreadItemList &items = *doc->Items();
        for (int i = 0; i < items.Count(); ++i) {
            TThreadItem *item = items.Get(i);
            if (!item->LogExists())
                continue;
            progress.SetMessage(item->ShownTitle() + QStringLiteral("チェック中"));
            int count = 0;
            std::unique_ptr<TResList> list = MatchStoredLog(item, search, count);
            if (count > 0)
                found.push_back({item, std::move(list)});
        }
    }
    for (size_t i = 0; i < found.size(); ++i) {
        TThreadItem *item = found[i].item;
        const QString url = item->BBS ? item->BBS->GetBrowserUrl(item) : QString();
        TTavuBrowser *tab = tabs.NewExtractTab(item, found[i].list.release(), i == 0, url);
        tab->SearchText = search.Text;
        WriteExtractView(tab, &search);
    }
    if (!found.empty() && TavuConfig->TABCLICKCHANGEPANE && !panes.BrowserPane()->isVisible())
        frame.Execute(QStringLiteral("actShowPaneChange"));
}

// ---- the second browser ----

namespace {

const char *const DoubleWindowName = "DoubleWindowPanel";

// The panel below the browser tabs that holds the second browser; made on first use. Its sunken
// frame sets it off from the thread above.
QWidget *DoubleWindowPanel(QWidget *browserPanel, bool create)
{
    auto *panel = browserPanel->findChild<QWidget *>(QLatin1String(DoubleWindowName));
    if (panel || !create)
        return panel;
    auto *frame = new QFrame(browserPanel);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(2);
    panel = frame;
    panel->setObjectName(QLatin1String(DoubleWindowName));
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    if (auto *column = qobject_cast<QBoxLayout *>(browserPanel->layout()))
        column->addWidget(panel);
    panel->hide();
    return panel;
}

int DoubleWindowHeight(const QWidget *browserPanel)
{
    const int panel = browserPanel->height();
    const int stored = TavuConfig->DOUBLEWINDOW_HEIGHT;
    return stored > 0 && stored <= panel ? stored : panel / 2;
}

// The second browser lets go of its thread without touching the thread's stored state.
void ReleasePreviewThread(TTavuBrowser *browser)
{
    browser->SetResList(nullptr);
    browser->SetThreadItem(nullptr);
}

}  // namespace

bool TSearchViews::DoubleWindowShown() const
{
    QWidget *panel = DoubleWindowPanel(panes.BrowserPane(), false);
    return panel && !panel->isHidden();
}

void TSearchViews::ShowDoubleWindow(bool show)
{
    TTavuBrowser *browser = privateBrowser;
    if (show && !DoubleWindowShown()) {
        QWidget *panel = DoubleWindowPanel(panes.BrowserPane(), true);
        panel->setFixedHeight(DoubleWindowHeight(panes.BrowserPane()));
        browser->setParent(panel);
        panel->layout()->addWidget(browser);
        browser->show();
        panel->show();
    } else if (!show && DoubleWindowShown()) {
        QWidget *panel = DoubleWindowPanel(panes.BrowserPane(), false);
        panel->layout()->removeWidget(browser);
        browser->setParent(privatePlace);
        browser->hide();
        panel->hide();
        ReleasePreviewThread(browser);
    }
    if (QAction *action = frame.Action(QStringLiteral("actShowDoubleWindow")))
        action->setChecked(show);
}

void TSearchViews::ShowResInPreview(TThreadItem *item, const TRes &res)
{
    auto *list = new TResList(item);
    AddCopy(*list, res)->Visible = true;
    ShowResListInPreview(item, list);
}

void TSearchViews::ShowResListInPreview(TThreadItem *item, TResList *list)
{
    ShowDoubleWindow(true);
    TTavuBrowser *browser = privateBrowser;
    ReleasePreviewThread(browser);
    browser->SetThreadItem(item);
    browser->SetResList(list);
    browser->SelectSkin(item ? item->GetBoard() : nullptr);
    WriteExtractView(browser, nullptr);
}

void TSearchViews::ShowUrlInDoubleWindow(const QString &url)
{
    ShowDoubleWindow(true);
    TTavuBrowser *browser = privateBrowser;
    ReleasePreviewThread(browser);
    browser->Navigate(url);
}
