#include "commands/LinkCommands.h"

#include "controls/WindowServices.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "render/TavuBrowser.h"
#include "tools/ExtractLinkDialog.h"

TLinkCommands::TLinkCommands(TWindowFrameServices &frame, TTabServices &tabs, TReadingServices &reading,
                             TThreadListServices &threadList, QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), reading(reading), threadList(threadList)
{
    frame.BindAction(QStringLiteral("actThreadExtractLink"), this, [this] { actThreadExtractLinkExecute(); });
    frame.BindAction(QStringLiteral("actThreadListExtractLink"), this, [this] { actThreadListExtractLinkExecute(); });
}

TExtractLinkDialog *TLinkCommands::actThreadExtractLinkExecute()
{
    TTavuBrowser *tab = tabs.CurrentBrowser();
    if (!tab || tab->IsWebPage() || !tab->ResList())
        return nullptr;
    QList<TRes *> posts;
    for (int i = 0; i < tab->ResList()->Count(); ++i)
        posts << tab->ResList()->Get(i);
    auto *dialog = new TExtractLinkDialog(frame.Window());
    dialog->AddResList(tab->ThreadItem(), posts);
    return Open(dialog);
}

TExtractLinkDialog *TLinkCommands::actThreadListExtractLinkExecute()
{
    const QList<TThreadItem *> threads = threadList.SelectedThreads();
    if (threads.isEmpty())
        return nullptr;
    auto *dialog = new TExtractLinkDialog(frame.Window());
    for (TThreadItem *item : threads)
        dialog->AddThread(item);
    return Open(dialog);
}

TExtractLinkDialog *TLinkCommands::Open(TExtractLinkDialog *dialog)
{
    dialog->OpenInWindow = [this](const QString &url) { reading.OpenThreadUrl(url); };
    dialog->ExtractLinks();
    dialog->show();
    dialog->Prepare();
    return dialog;
}
