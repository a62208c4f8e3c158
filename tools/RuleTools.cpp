#include "tools/RuleTools.h"

#include "mainwindow/VarneloWindow.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "tools/ActionDialog.h"

#include <QPointer>

namespace RuleTools {

namespace {

// The board of the active browser tab, else of the active thread-list tab.
TBoard *BoardInView(const TVarneloWindow &window)
{
    TTavuBrowser *tab = nullptr;
    if (window.GetActiveBrowser(tab) && tab->GetBoard())
        return tab->GetBoard();
    TTavuListDoc *doc = nullptr;
    return window.GetActiveListDoc(doc) ? doc->GetBoard() : nullptr;
}

TActionDialog *MakeActionDialog(TVarneloWindow &window)
{
    auto *dialog = new TActionDialog(&window);
    dialog->setObjectName(QStringLiteral("ActionDialog"));
    dialog->ViewedBoard = [&window] { return BoardInView(window); };
    dialog->ApplyToOpenThread = [&window] { window.Execute(QStringLiteral("actThreadExecAction")); };
    dialog->ResRulesPath = TVarneloWindow::ResRulesFile();
    dialog->ThreadRulesPath = TVarneloWindow::ThreadRulesFile();
    return dialog;
}

void ShowActionDialog(TVarneloWindow &window)
{
    auto *dialog = window.findChild<TActionDialog *>(QStringLiteral("ActionDialog"), Qt::FindDirectChildrenOnly);
    if (!dialog)
        dialog = MakeActionDialog(window);
    dialog->SetResActionList(window.ResRules.get());
    dialog->SetThreadActionList(window.ThreadRules.get());
    dialog->RefreshView();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace

void Bind(TVarneloWindow &window)
{
    window.ActionList1->Bind(QStringLiteral("actToolAction"), &window, [&window] { ShowActionDialog(window); });
}

}  // namespace RuleTools
