#include "tools/RuleTools.h"

#include "controls/WindowServices.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "tools/ActionDialog.h"

#include <QAction>

namespace RuleTools {

namespace {

// The board of the active browser tab, else of the active thread-list tab.
TBoard *BoardInView(const TWindowServices &window)
{
    if (TTavuBrowser *tab = window.CurrentBrowser(); tab && tab->GetBoard())
        return tab->GetBoard();
    TTavuListDoc *doc = window.CurrentListDoc();
    return doc ? doc->GetBoard() : nullptr;
}

TActionDialog *MakeActionDialog(TWindowServices &window)
{
    auto *dialog = new TActionDialog(window.Window());
    dialog->setObjectName(QStringLiteral("ActionDialog"));
    dialog->ViewedBoard = [&window] { return BoardInView(window); };
    dialog->ApplyToOpenThread = [&window] {
        QAction *apply = window.Action(QStringLiteral("actThreadExecAction"));
        if (apply && apply->isEnabled())
            apply->trigger();
    };
    dialog->ResRulesPath = window.ResRulesFile();
    dialog->ThreadRulesPath = window.ThreadRulesFile();
    return dialog;
}

void ShowActionDialog(TWindowServices &window)
{
    auto *dialog = window.Window()->findChild<TActionDialog *>(QStringLiteral("ActionDialog"),
                                                               Qt::FindDirectChildrenOnly);
    if (!dialog)
        dialog = MakeActionDialog(window);
    dialog->SetResActionList(window.ResRules());
    dialog->SetThreadActionList(window.ThreadRules());
    dialog->RefreshView();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace

void Bind(TWindowServices &window)
{
    window.BindAction(QStringLiteral("actToolAction"), window.Window(), [&window] { ShowActionDialog(window); });
}

}  // namespace RuleTools
