// The update check and the patrol of the current thread-list tab (run by UpdateChecks,
// flows/UpdateCheckController.h), and the binding of the link navigation of the browser tabs
// (flows/LinkNavigation.h).

#include "mainwindow/VarneloWindow.h"

#include "controls/WindowServices.h"
#include "flows/LinkNavigation.h"
#include "flows/UpdateCheckController.h"
#include "mainwindow/ListPane.h"
#include "render/TavuListDoc.h"
#include "services/EventLog.h"

// The commands of the checks, and the link filter for every browser tab made from now on and for the
// private browser.
void TVarneloWindow::BindUpdateCheck()
{
    UpdateChecks = new TUpdateCheckController(this);
    connect(UpdateChecks, &TUpdateCheckController::RowCountChanged, listPane,
            [this](TTavuListDoc *doc, int count) { listPane->ShowRowCountOf(doc, count, true); });
    connect(UpdateChecks, &TUpdateCheckController::CommandsChanged, this, &TVarneloWindow::UpdateThreadListMenu);
    connect(UpdateChecks, &TUpdateCheckController::RowsChanged, this, [this] { ThreadList().RepaintThreadList(); });
    connect(UpdateChecks, &TUpdateCheckController::Finished, this, [this](bool patrol, int sound) {
        SetActionEnabled(patrol ? QStringLiteral("actBoardFavRound") : QStringLiteral("actBoardFavCheckUpdate"), true);
        if (sound >= 0)
            EventLog::PlayEventSound(sound);
    });
    const auto check = [this](bool patrol) {
        TTavuListDoc *doc = nullptr;
        UpdateChecks->actThreadListCheckUpdateExecute(tabs->GetActiveListDoc(doc) ? doc : nullptr, patrol);
    };
    ActionList1->Bind(QStringLiteral("actThreadListCheckUpdate"), this, [check] { check(false); });
    ActionList1->Bind(QStringLiteral("actThreadListRound"), this, [check] { check(true); });
    LinkNavigation = new TLinkNavigation(*this, Tabs(), Reading(), SearchViews(), Views(), this);
    if (PrivateBrowser)
        LinkNavigation->BindLinkNavigation(PrivateBrowser);
}
