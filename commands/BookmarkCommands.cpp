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
    services.BindAction(QStringLiteral("actSelectResAddBookmark"), this, [this] { actSelectResAddBookmarkExecute(); });
    services.BindAction(QStringLiteral("actToolBookmarkManager"), this, [this] { actToolBookmarkManagerExecute(); });
    services.BindAction(QStringLiteral("actToolBookmarkEditor"), this, [this] { actToolBookmarkEditorExecute(); });
}

QString TBookmarkCommands::CategoryFile()
{
    return TavuConfig->GetProfileDir() + QStringLiteral("bookcate.txt");
}

void TBookmarkCommands::actSelectResAddBookmarkExecute()
{
    TTavuBrowser *tab = services.CurrentBrowser();
    TThreadItem *item = tab ? tab->ThreadItem() : nullptr;
    TRes *res = item && tab->ResList() ? tab->ResList()->FindByNumber(tab->ClickedResNumber) : nullptr;
    if (!res)
        return;
    TBookmarkCategoryDialog dialog(CategoryFile(), services.Window());
    const TBookmarkRes *existing = item->Bookmarks.FindByResNo(res->Number);
    dialog.Edit1->setText(existing ? existing->Category : QString());
    dialog.ShowRes(MonaUtils::HtmlToText(res->Body), existing ? existing->Memo : QString());
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    TBookmarkShelf shelf(services.BookmarkIndex(), services.BookmarkIndexFile());
    if (shelf.Add(item, *res, dialog.Memo(), dialog.Category))
        res->Bookmarked = true;
    services.UpdateStatusCaption(item);   // the bookmark pane shows it
}

void TBookmarkCommands::actToolBookmarkManagerExecute()
{
    TBookmarkManager2 manager(services.BookmarkIndex(), services.BookmarkIndexFile(), CategoryFile(), services.Window());
    manager.OpenThread = [this](TThreadItem *item, int resNo) { services.OpenThread(item, false, false, true, resNo); };
    manager.FillBBSList();
    Dialogs::ExecDialog(manager);
    RefreshOpenThreads();
}

void TBookmarkCommands::actToolBookmarkEditorExecute()
{
    {
        TBookmarkEditor editor(services.BookmarkIndex(), services.BookmarkIndexFile(), CategoryFile(), services.Window());
        Dialogs::ExecDialog(editor);
    }
    RefreshOpenThreads();
}

void TBookmarkCommands::RefreshOpenThreads()
{
    for (TTavuBrowser *tab : services.Browsers())
        if (TThreadItem *item = tab->ThreadItem())
            item->OpenInf();
}
