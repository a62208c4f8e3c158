#include "tools/RuleTools.h"

#include "controls/WindowServices.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "tools/ActionDialog.h"

#include <QAction>

namespace RuleTools {

namespace {

// The board of the active browser tab, else of the active thread-list tab.
TBoard *BoardInView(const TTabServices &tabs)
{
    if (TTavuBrowser *tab = tabs.CurrentBrowser(); tab && tab->GetBoard())
        return tab->GetBoard();
    TTavuListDoc *doc = tabs.CurrentListDoc();
    return doc ? doc->GetBoard() : nullptr;
}

TActionDialog *MakeActionDialog(TWindowFrameServices &frame, TTabServices &tabs, TRuleServices &rules)
{
    auto *dialog = new TActionDialog(frame.Window());
    dialog->setObjectName(QStringLiteral("ActionDialog"));
    dialog->ViewedBoard = [&tabs] { return BoardInView(tabs); };
    dialog->ApplyToOpenThread = [&frame] {
        QAction *apply = frame.Action(QStringLiteral("actThreadExecAction"));
        if (apply && apply->isEnabled())
            apply->trigger();
    };
    dialog->ResRulesPath = rules.ResRulesFile();
    dialog->ThreadRulesPath = rules.ThreadRulesFile();
    return dialog;
}

void ShowActionDialog(TWindowFrameServices &frame, TTabServices &tabs, TRuleServices &rules)
{
    auto *dialog = frame.Window()->findChild<TActionDialog *>(QStringLiteral("ActionDialog"),
                                                               Qt::FindDirectChildrenOnly);
    if (!dialog)
        dialog = MakeActionDialog(frame, tabs, rules);
    dialog->SetResActionList(rules.ResRules());
    dialog->SetThreadActionList(rules.ThreadRules());
    dialog->RefreshView();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace

void Bind(TWindowFrameServices &frame, TTabServices &tabs, TRuleServices &rules)
{
    frame.BindAction(QStringLiteral("actToolAction"), frame.Window(),
                     [&frame, &tabs, &rules] { ShowActionDialog(frame, tabs, rules); });
}

}  // namespace RuleTools
