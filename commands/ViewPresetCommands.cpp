#include "commands/ViewPresetCommands.h"

#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/TavuConfig.h"
#include "services/ViewModePreset.h"
#include "settings/Kpw10ViewMode.h"

#include <QAction>

TViewPresetCommands::TViewPresetCommands(TWindowFrameServices &frame, TBarServices &bars, QObject *parent)
    : QObject(parent), frame(frame), bars(bars)
{
    frame.BindAction(QStringLiteral("actToolVarnelo1View"), this, [this] { actToolVarnelo1ViewExecute(); });
}

void TViewPresetCommands::actToolVarnelo1ViewExecute()
{
    bars.StoreBarLayout();   // the user's layout as it is now is what switching back restores
    TViewModePreset preset(*TavuConfig, TTavuConfig::AppDir() + QStringLiteral("def/"), TavuConfig->GetProfileDir());
    TKpw10ViewMode dialog(preset, frame.Window());
    Dialogs::ExecDialog(dialog);
    if (!dialog.Changed())
        return;
    for (const char *name : {"actShowThreadList2", "actShowBrowser"}) {
        QAction *action = frame.Action(QString::fromLatin1(name));
        if (action && action->isCheckable() && !action->isChecked())
            action->trigger();
    }
    bars.ReloadBarLayout();
}
