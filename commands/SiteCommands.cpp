#include "commands/SiteCommands.h"

#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/Exceptions.h"
#include "core/Site.h"
#include "core/TavuEnviron.h"
#include "settings/BBSSetupDialog.h"
#include "settings/BBSWizard.h"
#include "settings/Be2chBoardDialog.h"
#include "settings/KatjuBoardDialog.h"
#include "settings/RssWizard.h"

#include <QAction>

TSiteCommands::TSiteCommands(TWindowFrameServices &frame, TBoardTreeServices &boards, QObject *parent)
    : QObject(parent), frame(frame), boards(boards)
{
    frame.BindAction(QStringLiteral("actBBSWizard"), this, [this] { actBBSWizardExecute(); });
    frame.BindAction(QStringLiteral("actRSSWizard"), this, [this] { actRSSWizardExecute(); });
    frame.BindAction(QStringLiteral("actBe2chBoardEdit"), this, [this] { actBe2chBoardEditExecute(); });
    frame.BindAction(QStringLiteral("actBBSSetup"), this, [this] { actBBSSetupExecute(); });
    frame.BindAction(QStringLiteral("actBoardImportKatjuBoard"), this, [this] { actBoardImportKatjuBoardExecute(); });
}

void TSiteCommands::actBBSWizardExecute()
{
    if (!TavuEnviron->UserSite())
        return;
    TBBSWizard wizard(frame.Window());
    if (Dialogs::ExecDialog(wizard) == QDialog::Accepted && wizard.Result)
        boards.ShowSiteBoards(wizard.Result->Site);
}

void TSiteCommands::actRSSWizardExecute()
{
    if (!TavuEnviron->RssSite())
        return;
    TRssWizard wizard(frame.Window());
    if (Dialogs::ExecDialog(wizard) == QDialog::Accepted && wizard.Result)
        boards.ShowSiteBoards(wizard.Result->Site);
}

void TSiteCommands::actBBSSetupExecute()
{
    TBBSSetupDialog dialog(frame.Window());
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted || dialog.SiteName.isEmpty())
        return;
    try {
        TSite *site = TavuEnviron->AddListedSite(dialog.SiteName);
        if (!site) {
            Dialogs::ShowMessage(Dialogs::mkError,
                                 QStringLiteral("サイトの設定ファイル site.ini がありません：%1").arg(dialog.SiteName));
            return;
        }
        site->Listed = true;   // ticked in the site selection that follows: its OK shows the site
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return;
    }
    if (QAction *select = frame.Action(QStringLiteral("actBBSSelect")))
        select->trigger();
}

void TSiteCommands::actBoardImportKatjuBoardExecute()
{
    if (boards.BoardListsBusy())
        return;
    TKatjuBoardDialog dialog(frame.Window());
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted && boards.CurrentSite())
        boards.ShowSiteBoards(boards.CurrentSite());
}

void TSiteCommands::actBe2chBoardEditExecute()
{
    TBe2chBoardDialog dialog(frame.Window());
    Dialogs::ExecDialog(dialog);
}
