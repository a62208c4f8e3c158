#include "commands/PropertyCommands.h"

#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "render/TavuBrowser.h"
#include "settings/PropertyWindow.h"

TPropertyCommands::TPropertyCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    services.BindAction(QStringLiteral("actThreadProperty"), this, [this] { actThreadPropertyExecute(); });
    services.BindAction(QStringLiteral("actThreadListProperty"), this, [this] { actThreadListPropertyExecute(); });
    services.BindAction(QStringLiteral("actBoardProperty"), this, [this] { actBoardPropertyExecute(); });
}

void TPropertyCommands::actThreadPropertyExecute()
{
    if (TTavuBrowser *browser = services.CurrentBrowser())
        ShowThread(browser->ThreadItem());
}

void TPropertyCommands::actThreadListPropertyExecute()
{
    const QList<TThreadItem *> selected = services.SelectedThreads();
    if (!selected.isEmpty())
        ShowThread(selected.first());
}

void TPropertyCommands::actBoardPropertyExecute()
{
    const TBoard *board = services.SelectedTreeBoard();
    if (!board)
        return;
    TPropertyWindow window(services.Window());
    window.SetBoard(board);
    Kpwfunc::ExecDialog(window);
}

void TPropertyCommands::ShowThread(TThreadItem *item)
{
    if (!item)
        return;
    TPropertyWindow window(services.Window());
    window.SetThreadItem(item);
    if (Kpwfunc::ExecDialog(window) == QDialog::Accepted)
        services.ThreadStateChanged(item);
}
