#include "commands/NoticeCommands.h"

#include "controls/WindowServices.h"
#include "tools/InfoDialog.h"

TNoticeCommands::TNoticeCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
}

// The window, made on first use; one that was hidden starts empty.
TInfoDialog *TNoticeCommands::ShownDialog()
{
    if (!dialog)
        dialog = new TInfoDialog(services, services.Window());
    if (!dialog->isVisible()) {
        dialog->Clear();
        dialog->show();
    }
    return dialog;
}

void TNoticeCommands::AddResNotice(const QString &text, TThreadItem *item, const TRes &res)
{
    ShownDialog()->AddResNotice(text, 0, item, res);
}

void TNoticeCommands::AddThreadNotice(const QString &text, TThreadItem *item)
{
    ShownDialog()->AddThreadNotice(text, 0, item);
}

TInfoDialog *TNoticeCommands::Window() const
{
    return dialog;
}

void TNoticeCommands::Clear()
{
    if (dialog)
        dialog->Clear();
}
