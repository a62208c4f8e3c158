#include "commands/BookmarkCommands.h"

#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/Bookmark.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "settings/BookmarkCategoryDialog.h"
#include "settings/BookmarkEditor.h"
#include "settings/BookmarkManager2.h"
#include "settings/BookmarkShelf.h"

#include <QLineEdit>

TBookmarkCommands::TBookmarkCommands(TWindowServices &services, QObject *parent)
    : QObject(parent), services(services)
{
    services.Frame().BindAction(QStringLiteral("actSelectResAddBookmark"), this, [this] { actSelectResAddBookmarkExecute(); });
    services.Frame().BindAction(QStringLiteral("actToolBookmarkManager"), this, [this] { actToolBookmarkManagerExecute(); });
    services.Frame().BindAction(QStringLiteral("actToolBookmarkEditor"), this, [this] { actToolBookmarkEditorExecute(); });
}

QString TBookmarkCommands::CategoryFile()
{
    return TavuConfig->GetProfileDir() + QStringLiteral("bookcate.txt");
}

void TBookmarkCommands::actSelectResAddBookmarkExecute()
{
    TTavuBrowser *tab = services.Tabs().CurrentBrowser();
    TThreadItem *item = tab ? tab->ThreadItem() : nullptr;
    TRes *res = item && tab->ResList() ? tab->ResList()->FindByNumber(tab->ClickedResNumber) : nullptr;
    if (!res)
        return;
    TBookmarkCategoryDialog dialog(CategoryFile(), services.Frame().Window());
    const TBookmarkRes *existing = item->Bookmarks.FindByResNo(res->Number);
    dialog.Edit1->setText(existing ? existing->Category : QString());
    dialog.ShowRes(MonaUtils::HtmlToText(res->Body), existing ? existing->Memo : QString());
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    TBookmarkShelf shelf(services.Bookmarks().BookmarkIndex(), services.Bookmarks().BookmarkIndexFile());
    if (shelf.Add(item, *res, dialog.Memo(), dialog.Category))
        res->Bookmarked = true;
    services.Views().UpdateStatusCaption(item);   // the bookmark pane shows it
}

void TBookmarkCommands::actToolBookmarkManagerExecute()
{
    TBookmarkManager2 manager(services.Bookmarks().BookmarkIndex(), services.Bookmarks().BookmarkIndexFile(), CategoryFile(), services.Frame().Window());
    manager.OpenThread = [this](TThreadItem *item, int resNo) { services.Reading().OpenThread(item, false, false, true, resNo); };
    manager.FillBBSList();
    Dialogs::ExecDialog(manager);
    RefreshOpenThreads();
}

void TBookmarkCommands::actToolBookmarkEditorExecute()
{
    {
        TBookmarkEditor editor(services.Bookmarks().BookmarkIndex(), services.Bookmarks().BookmarkIndexFile(), CategoryFile(), services.Frame().Window());
        Dialogs::ExecDialog(editor);
    }
    RefreshOpenThreads();
}

void TBookmarkCommands::RefreshOpenThreads()
{
    for (TTavuBrowser *tab : services.Tabs().Browsers())
        if (TThreadItem *item = tab->ThreadItem())
            item->OpenInf();
}
