#include "commands/BoardCommands.h"

#include "controls/BarsAndMenus.h"
#include "controls/BoardTree.h"
#include "controls/BoardTreeImages.h"
#include "controls/Dialogs.h"
#include "controls/TabMenuItem.h"
#include "controls/WindowServices.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/Tavutils.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"
#include "services/Urls.h"
#include "settings/BoardFindDialog.h"

#include <QAction>
#include <QDir>
#include <QMenu>

TBoardCommands::TBoardCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    services.Frame().BindAction(QStringLiteral("actBoardAddBoard"), this, [this] { actBoardAddBoardExecute(); });
    services.Frame().BindAction(QStringLiteral("actBoardEditBoard"), this, [this] { actBoardEditBoardExecute(); });
    services.Frame().BindAction(QStringLiteral("actBoardDeleteBoard"), this, [this] { actBoardDeleteBoardExecute(); });
    services.Frame().BindAction(QStringLiteral("actBoardDeleteLog"), this, [this] { actBoardDeleteLogExecute(); });
    services.Frame().BindAction(QStringLiteral("actBoardGaishutu"), this, [this] { actBoardGaishutuExecute(); });
    services.Frame().BindAction(QStringLiteral("actBoardFind"), this, [this] { actBoardFindExecute(); });
    services.Frame().BindAction(QStringLiteral("actBoardOpenHtmlByBrowser"), this, [this] { OpenBoardPage(SelectedBoard(), true); });
    services.Frame().BindAction(QStringLiteral("actBoardOpenHtmlByTavu"), this, [this] { OpenBoardPage(SelectedBoard(), false); });
    auto tabBoard = [this] {
        TTavuListDoc *doc = this->services.Tabs().CurrentListDoc();
        return doc ? doc->GetBoard() : nullptr;
    };
    services.Frame().BindAction(QStringLiteral("actThreadListBoardOpenBrowser"), this, [this, tabBoard] { OpenBoardPage(tabBoard(), true); });
    services.Frame().BindAction(QStringLiteral("actThreadListBoardOpenTavu"), this, [this, tabBoard] { OpenBoardPage(tabBoard(), false); });
    services.Frame().BindAction(QStringLiteral("actThreadListOpenBrowser"), this, [this] { OpenSelectedThreadPage(true); });
    services.Frame().BindAction(QStringLiteral("actThreadListOpenTavu"), this, [this] { OpenSelectedThreadPage(false); });
    services.Frame().BindAction(QStringLiteral("actBoardListEdit"), this, [] {});   // kept for stored bars; does nothing
}

TBoard *TBoardCommands::SelectedBoard() const
{
    return services.BoardTree().SelectedTreeBoard();
}

void TBoardCommands::actBoardAddBoardExecute()
{
    TSite *site = services.BoardTree().CurrentSite();
    if (!site)
        return;
    if (site->Kind == TSite::KIND_USER) {
        QAction *wizard = services.Frame().Action(QStringLiteral("actBBSWizard"));
        if (wizard && wizard->isEnabled())
            wizard->trigger();
        return;
    }
    const TBoard *selected = SelectedBoard();
    if (BoardTree::AddSiteBoard(site, selected ? selected->Category : QString(), selected ? selected->Name : QString(),
                              selected ? selected->URL : QString()))
        services.BoardTree().RefillBoardTree();
}

void TBoardCommands::actBoardEditBoardExecute()
{
    TSite *site = services.BoardTree().CurrentSite();
    if (!site || !services.BoardTree().HasCurrentTreeNode())
        return;
    TBoard *board = SelectedBoard();
    if (site->Kind == TSite::KIND_FAVORITES && (!board || board->Kind != TBoard::KIND_FAVORITES)) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("それは修正できません。"));
        return;
    }
    if (board && BoardTree::ModifySiteBoard(site, board))
        services.BoardTree().RefillBoardTree();
}

void TBoardCommands::actBoardDeleteBoardExecute()
{
    TBoard *board = SelectedBoard();
    TSite *site = services.BoardTree().CurrentSite();
    if (!board || !site)
        return;
    services.Tabs().CloseBoardTabs(board);
    if (BoardTree::DeleteSiteBoard(site, board))
        services.BoardTree().RefillBoardTree();
}

void TBoardCommands::actBoardDeleteLogExecute()
{
    TBoard *board = SelectedBoard();
    if (!board)
        return;
    const QString folder = board->GetLogDir();
    if (!QDir(folder).exists())
        return;
    if (!Dialogs::AskYesNo(QStringLiteral("「%1」のログをすべて削除しますか？").arg(board->Name), Dialogs::mkWarning))
        return;
    services.Tabs().CloseBoardTabs(board);
    const bool deleted = Tavutils::ShellDeleteFiles(folder + QStringLiteral("*.*"), TavuConfig->MOVETOTRASH);
    QDir().rmdir(folder);
    if (!deleted)
        services.Views().AddLog(QStringLiteral("%1 のログを削除できませんでした。").arg(board->Name));
    board->LogFolderExists = QDir(folder).exists();
    services.BoardTree().RefreshTreeNodeIcon();
}

void TBoardCommands::actBoardFindExecute()
{
    TBoardFindDialog dialog(services.Frame().Window());
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted || dialog.GetFindText().trimmed().isEmpty())
        return;
    if (!services.BoardTree().FindTreeNode(dialog.GetFindText(), dialog.GetFindNext()))
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("見つかりませんでした。"));
}

void TBoardCommands::actBoardGaishutuExecute()
{
    QMenu *menu = services.Bars().Menu(QStringLiteral("GaishutuMenu"));
    BarsAndMenus::LoadVisitedBoardsMenu(menu, services.BoardTree().OfferedSites(), TavuConfig->GAISHUTUCATEGO, services.Frame().ActionImages(),
                                   BoardTreeImages::SiteImages(),
                                   [this](TGaishutuMenuItem *entry) { OpenVisitedBoard(entry); });
    menu->popup(services.Bars().VisitedBoardsMenuPlace());
}

void TBoardCommands::OpenVisitedBoard(const TGaishutuMenuItem *entry)
{
    if (!entry->Site)
        return;
    TBoard *board = entry->Site->Boards->FindByID(entry->Text);
    if (!board)
        return;
    services.BoardTree().JumpToBoardInTree(board);
    services.Reading().OpenBoard(board, false);
}

// The web page of the thread selected in the thread list.
void TBoardCommands::OpenSelectedThreadPage(bool outside)
{
    const TThreadItem *item = services.ThreadList().FocusedThread();
    if (!item || !item->BBS)
        return;
    const QString url = item->BBS->GetBrowserUrl(item);
    if (url.isEmpty())
        return;
    if (outside)
        Urls::OpenUrlExternal(url);
    else
        services.Reading().OpenWebPage(url, item->ShownTitle());
}

void TBoardCommands::OpenBoardPage(const TBoard *board, bool outside)
{
    if (!board || board->URL.isEmpty())
        return;
    if (outside)
        Urls::OpenUrlExternal(board->URL);
    else
        services.Reading().OpenWebPage(board->URL, board->Name);
}
