#include "commands/LinkCommands.h"

#include "controls/WindowServices.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "render/TavuBrowser.h"
#include "tools/ExtractLinkDialog.h"

TLinkCommands::TLinkCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    services.BindAction(QStringLiteral("actThreadExtractLink"), this, [this] { actThreadExtractLinkExecute(); });
    services.BindAction(QStringLiteral("actThreadListExtractLink"), this, [this] { actThreadListExtractLinkExecute(); });
}

TExtractLinkDialog *TLinkCommands::actThreadExtractLinkExecute()
{
    TTavuBrowser *tab = services.CurrentBrowser();
    if (!tab || tab->IsWebPage() || !tab->ResList())
        return nullptr;
    QList<TRes *> posts;
    for (int i = 0; i < tab->ResList()->Count(); ++i)
        posts << tab->ResList()->Get(i);
    auto *dialog = new TExtractLinkDialog(services.Window());
    dialog->AddResList(tab->ThreadItem(), posts);
    return Open(dialog);
}

TExtractLinkDialog *TLinkCommands::actThreadListExtractLinkExecute()
{
    const QList<TThreadItem *> threads = services.SelectedThreads();
    if (threads.isEmpty())
        return nullptr;
    auto *dialog = new TExtractLinkDialog(services.Window());
    for (TThreadItem *item : threads)
        dialog->AddThread(item);
    return Open(dialog);
}

TExtractLinkDialog *TLinkCommands::Open(TExtractLinkDialog *dialog)
{
    dialog->OpenInWindow = [this](const QString &url) { services.OpenThreadUrl(url); };
    dialog->ExtractLinks();
    dialog->show();
    dialog->Prepare();
    return dialog;
}
