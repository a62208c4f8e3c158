#include "commands/MemoCommands.h"

#include "commands/WindowServices.h"
#include "core/Exceptions.h"
#include "core/TavuConfig.h"
#include "mainwindow/Dialogs.h"
#include "tools/MemoForm.h"

TMemoCommands::TMemoCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    services.BindAction(QStringLiteral("actToolMemo"), this, [this] { actToolMemoExecute(); });
}

void TMemoCommands::actToolMemoExecute()
{
    if (!memoForm) {
        try {
            memoForm = new TMemoForm(TavuConfig->GetProfileDir(), TTavuConfig::AppDir(), services.Window());
        } catch (const EVarnelo &e) {
            Kpwfunc::ShowMessage(Kpwfunc::mkError, e.Message);
            return;
        }
    }
    memoForm->show();
    memoForm->raise();
    memoForm->activateWindow();
}
