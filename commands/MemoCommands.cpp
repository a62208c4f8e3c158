#include "commands/MemoCommands.h"

#include "commands/WindowServices.h"
#include "core/Exceptions.h"
#include "core/TavuConfig.h"
#include "mainwindow/Dialogs.h"
#include "tools/AAEditor.h"
#include "tools/MemoForm.h"

TMemoCommands::TMemoCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    services.BindAction(QStringLiteral("actToolMemo"), this, [this] { actToolMemoExecute(); });
    services.BindAction(QStringLiteral("actToolAA"), this, [this] { actToolAAExecute(); });
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

void TMemoCommands::actToolAAExecute()
{
    TAAEditor editor(TavuConfig->GetProfileDir(), services.Window());
    Kpwfunc::ExecDialog(editor);
}
