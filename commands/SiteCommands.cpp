#include "commands/SiteCommands.h"

#include "commands/WindowServices.h"
#include "core/Board.h"
#include "core/Site.h"
#include "core/TavuEnviron.h"
#include "mainwindow/Dialogs.h"
#include "settings/BBSWizard.h"

TSiteCommands::TSiteCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    services.BindAction(QStringLiteral("actBBSWizard"), this, [this] { actBBSWizardExecute(); });
}

void TSiteCommands::actBBSWizardExecute()
{
    if (!TavuEnviron->UserSite())
        return;
    TBBSWizard wizard(services.Window());
    if (Kpwfunc::ExecDialog(wizard) == QDialog::Accepted && wizard.Result)
        services.ShowSiteBoards(wizard.Result->Site);
}
