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

TSiteCommands::TSiteCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    services.BindAction(QStringLiteral("actBBSWizard"), this, [this] { actBBSWizardExecute(); });
    services.BindAction(QStringLiteral("actRSSWizard"), this, [this] { actRSSWizardExecute(); });
    services.BindAction(QStringLiteral("actBe2chBoardEdit"), this, [this] { actBe2chBoardEditExecute(); });
    services.BindAction(QStringLiteral("actBBSSetup"), this, [this] { actBBSSetupExecute(); });
    services.BindAction(QStringLiteral("actBoardImportKatjuBoard"), this, [this] { actBoardImportKatjuBoardExecute(); });
}

void TSiteCommands::actBBSWizardExecute()
{
    if (!TavuEnviron->UserSite())
        return;
    TBBSWizard wizard(services.Window());
    if (Kpwfunc::ExecDialog(wizard) == QDialog::Accepted && wizard.Result)
        services.ShowSiteBoards(wizard.Result->Site);
}

void TSiteCommands::actRSSWizardExecute()
{
    if (!TavuEnviron->RssSite())
        return;
    TRssWizard wizard(services.Window());
    if (Kpwfunc::ExecDialog(wizard) == QDialog::Accepted && wizard.Result)
        services.ShowSiteBoards(wizard.Result->Site);
}

void TSiteCommands::actBBSSetupExecute()
{
    TBBSSetupDialog dialog(services.Window());
    if (Kpwfunc::ExecDialog(dialog) != QDialog::Accepted || dialog.SiteName.isEmpty())
        return;
    try {
        TSite *site = TavuEnviron->AddListedSite(dialog.SiteName);
        if (!site) {
            Kpwfunc::ShowMessage(Kpwfunc::mkError,
                                 QStringLiteral("サイトの設定ファイル site.ini がありません：%1").arg(dialog.SiteName));
            return;
        }
        site->Listed = true;   // ticked in the site selection that follows: its OK shows the site
    } catch (const EVarnelo &e) {
        Kpwfunc::ShowMessage(Kpwfunc::mkError, e.Message);
        return;
    }
    if (QAction *select = services.Action(QStringLiteral("actBBSSelect")))
        select->trigger();
}

void TSiteCommands::actBoardImportKatjuBoardExecute()
{
    if (services.BoardListsBusy())
        return;
    TKatjuBoardDialog dialog(services.Window());
    if (Kpwfunc::ExecDialog(dialog) == QDialog::Accepted && services.CurrentSite())
        services.ShowSiteBoards(services.CurrentSite());
}

void TSiteCommands::actBe2chBoardEditExecute()
{
    TBe2chBoardDialog dialog(services.Window());
    Kpwfunc::ExecDialog(dialog);
}
