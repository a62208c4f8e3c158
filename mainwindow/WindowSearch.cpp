// The views of the search: extract tabs, the board-wide search over stored logs, and the window's
// second browser.

#include "mainwindow/WindowSearch.h"

#include "core/BBS.h"
#include "core/Board.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "flows/ThreadController.h"
#include "mainwindow/ListPane.h"
#include "mainwindow/VarneloWindow.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "settings/BusyWindow.h"

#include <QAction>
#include <QBoxLayout>
#include <QFrame>
#include <memory>
#include <vector>

namespace WindowSearch {

namespace {

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

void WriteExtractView(TVarneloWindow &window, TTavuBrowser *tab, const ResSearch::TResSearch *search)
{
    TResList *list = tab->ResList();
    const bool highlight = search && search->Highlight && !search->Text.isEmpty();
    tab->ClearDocument();
    tab->WriteHeader();
    window.Threads->BeginResView(tab, list);
    for (int i = 0; i < list->Count(); ++i) {
        TRes *res = list->Get(i);
        if (highlight && res->Visible) {
            THighlightedBody body(*res, search->Text);
            window.Threads->AppendResToView(tab, list, res);
        } else {
            window.Threads->AppendResToView(tab, list, res);
        }
    }
    window.Threads->EndResView(tab);
    tab->WriteHtml();
}

int SearchBoardLogs(TVarneloWindow &window, TTavuListDoc *doc, const ResSearch::TResSearch &search)
{
    if (!doc || !doc->Items())
        return 0;
    struct TFound {
        TThreadItem *item;
        std::unique_ptr<TResList> list;
    };
    std::vector<TFound> found;
    {
        TMessageWindow progress(&window);
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
        TTavuBrowser *tab = window.Tabs().NewExtractTab(item, found[i].list.release(), i == 0, url);
        tab->SearchText = search.Text;
        WriteExtractView(window, tab, &search);
    }
    if (!found.empty() && TavuConfig->TABCLICKCHANGEPANE && !window.panes->BrowserPane()->isVisible())
        window.Execute(QStringLiteral("actShowPaneChange"));
    return int(found.size());
}

void SearchBoardLogsById(TVarneloWindow &window, const QString &id)
{
    TTavuBrowser *tab = nullptr;
    if (id.isEmpty() || !window.Tabs().GetActiveBrowser(tab) || !tab->ThreadItem())
        return;
    TBoard *board = tab->GetBoard();
    if (!board)
        return;
    TTavuListDoc *doc = nullptr;
    if (!window.Tabs().FindBoardTab(board, doc)) {
        window.ListPane().StartThreadListDownload(board, false, false);
        if (!window.Tabs().FindBoardTab(board, doc))
            return;
    }
    ResSearch::TResSearch search;
    search.Text = id;
    search.Mode = ResSearch::rmID;
    SearchBoardLogs(window, doc, search);
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

bool DoubleWindowShown(const TVarneloWindow &window)
{
    QWidget *panel = DoubleWindowPanel(window.panes->BrowserPane(), false);
    return panel && !panel->isHidden();
}

void ShowDoubleWindow(TVarneloWindow &window, bool show)
{
    TTavuBrowser *browser = window.PrivateBrowser;
    if (show && !DoubleWindowShown(window)) {
        QWidget *panel = DoubleWindowPanel(window.panes->BrowserPane(), true);
        panel->setFixedHeight(DoubleWindowHeight(window.panes->BrowserPane()));
        browser->setParent(panel);
        panel->layout()->addWidget(browser);
        browser->show();
        panel->show();
    } else if (!show && DoubleWindowShown(window)) {
        QWidget *panel = DoubleWindowPanel(window.panes->BrowserPane(), false);
        panel->layout()->removeWidget(browser);
        browser->setParent(window.Panel10);
        browser->hide();
        panel->hide();
        ReleasePreviewThread(browser);
    }
    if (QAction *action = window.Action(QStringLiteral("actShowDoubleWindow")))
        action->setChecked(show);
}

void ShowResInPreview(TVarneloWindow &window, TThreadItem *item, const TRes &res)
{
    auto *list = new TResList(item);
    AddCopy(*list, res)->Visible = true;
    ShowResListInPreview(window, item, list);
}

void ShowResListInPreview(TVarneloWindow &window, TThreadItem *item, TResList *list)
{
    ShowDoubleWindow(window, true);
    TTavuBrowser *browser = window.PrivateBrowser;
    ReleasePreviewThread(browser);
    browser->SetThreadItem(item);
    browser->SetResList(list);
    browser->SelectSkin(item ? item->GetBoard() : nullptr);
    WriteExtractView(window, browser, nullptr);
}

void ShowUrlInDoubleWindow(TVarneloWindow &window, const QString &url)
{
    ShowDoubleWindow(window, true);
    TTavuBrowser *browser = window.PrivateBrowser;
    ReleasePreviewThread(browser);
    browser->Navigate(url);
}

}  // namespace WindowSearch
