#include "commands/FavoriteAddCommands.h"

#include "controls/Dialogs.h"
#include "controls/UserFiles.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "settings/FavoriteDialog.h"

#include <QAction>
#include <algorithm>

TFavoriteAddCommands::TFavoriteAddCommands(TWindowFrameServices &frame, TTabServices &tabs, TReadingServices &reading,
                                           TBoardServices &boards, TThreadListServices &threadList,
                                           TBoardTreeServices &boardTree, QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), reading(reading), boards(boards), threadList(threadList),
      boardTree(boardTree)
{
    frame.BindAction(QStringLiteral("actThreadAddFav"), this, [this] { actThreadAddFavExecute(); });
    frame.BindAction(QStringLiteral("actThreadListAddFav"), this, [this] { actThreadListAddFavExecute(); });
}

void TFavoriteAddCommands::actThreadAddFavExecute()
{
    TTavuBrowser *browser = tabs.CurrentBrowser();
    if (!browser)
        return;
    if (browser->IsWebPage())
        AddPage(browser->Title, browser->URL);
    else if (TThreadItem *item = browser->ThreadItem())
        AddOrRemove({item});
}

void TFavoriteAddCommands::actThreadListAddFavExecute()
{
    AddOrRemove(threadList.SelectedThreads());
}

// Every thread a favourite already: they leave the favourites. Otherwise the others go to the folder
// the user picks.
void TFavoriteAddCommands::AddOrRemove(const QList<TThreadItem *> &items)
{
    if (items.isEmpty() || !TavuEnviron->FavoritesSite())
        return;
    const bool allFavorite = std::all_of(items.begin(), items.end(), [](const TThreadItem *item) { return item->FAVORITE; });
    if (allFavorite) {
        for (TThreadItem *item : items) {
            UserFiles::RemoveFromFavoriteFiles(item);
            item->SaveInfo();
            boards.ThreadStateChanged(item);
        }
        ReloadOpenFolders();
        return;
    }
    if (items.size() == 1 && items.first()->LOCALLOG) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("ローカルフォルダに移動したスレッドはお気に入りに登録できません。"));
        return;
    }
    TFavoriteDialog dialog(frame.Window());
    dialog.Mode = TFavoriteDialog::fmThread;
    for (TThreadItem *item : items) {
        if (!item->FAVORITE && !item->LOCALLOG)
            dialog.Items.Add(item);
    }
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    for (TThreadItem *item : items)
        boards.ThreadStateChanged(item);
    FavoritesChanged(false);
}

void TFavoriteAddCommands::AddPage(const QString &title, const QString &url)
{
    if (!TavuEnviron->FavoritesSite())
        return;
    TFavoriteDialog dialog(frame.Window());
    dialog.Mode = TFavoriteDialog::fmPage;
    dialog.PageTitle = title;
    dialog.PageUrl = url;
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted)
        FavoritesChanged(true);
}

// The tree shows the favourites site again when it shows it (after reading its boards anew when a
// page went into its board list), and the editor opens when the settings ask for it. Threads only
// change folder files: the boards stay as they are, so no running patrol loses the folder it reads.
void TFavoriteAddCommands::FavoritesChanged(bool boardsChanged)
{
    TSite *favorites = TavuEnviron->FavoritesSite();
    if (boardsChanged)
        favorites->LoadBoards();
    if (boardTree.CurrentSite() == favorites)
        boardTree.ShowSiteBoards(favorites);
    ReloadOpenFolders();
    if (TavuConfig->FAVADDEDIT) {
        if (QAction *edit = frame.Action(QStringLiteral("actFavEdit")))
            edit->trigger();
    }
}

// The open tabs of favourites folders list their threads anew; the tab shown stays in front.
void TFavoriteAddCommands::ReloadOpenFolders()
{
    const TSite *favorites = TavuEnviron->FavoritesSite();
    TTavuListDoc *shown = tabs.CurrentListDoc();
    for (TTavuListDoc *doc : tabs.ListDocs()) {
        TBoard *board = doc->GetBoard();
        if (doc->Mode == TTavuListDoc::lmBoard && board && board->Site == favorites && doc->DownloadState == TTavuListDoc::dsIdle)
            reading.OpenBoard(board, true);
    }
    if (shown && tabs.CurrentListDoc() != shown)
        shown->Activate();
}
