#include "commands/CommandStates.h"

#include "controls/ActionCatalogue.h"
#include "controls/WindowServices.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <QAction>
#include <QFile>
#include <QScopeGuard>
#include <QWebEngineHistory>
#include <algorithm>

TCommandStates::TCommandStates(TWindowFrameServices &frame, TTabServices &tabs, TBoardServices &boards,
                               TThreadListServices &threadList,
                               TBoardTreeServices &boardTree)
    : frame(frame), tabs(tabs), boards(boards), threadList(threadList), boardTree(boardTree)
{
}

// ---- helpers ----

// An update decides the enabled states first and changes afterwards only the commands whose state
// it changes: a command switched off and on again would tell each of its buttons and menu items
// twice, and every tool bar that shows one would lay the window out again.
void TCommandStates::SetState(const QString &name, bool enabled)
{
    if (QAction *action = frame.Action(name))
        decided.insert(action, enabled);
}

void TCommandStates::SetStates(std::initializer_list<const char *> names, bool enabled)
{
    for (const char *name : names)
        SetState(QString::fromLatin1(name), enabled);
}

void TCommandStates::SetCategory(const QString &category, bool enabled)
{
    const QList<QAction *> actions = frame.WindowActions();
    if (actions != categorised) {   // the window's commands are sorted once, not on every update
        categories.clear();
        for (QAction *action : actions)
            categories[TActionList::CategoryOf(action)].append(action);
        categorised = actions;
    }
    for (QAction *action : categories.value(category))
        decided.insert(action, enabled);
}

void TCommandStates::ApplyDecided()
{
    for (auto state = decided.cbegin(); state != decided.cend(); ++state)
        state.key()->setEnabled(state.value() && TActionList::HasHandler(state.key()));
    decided.clear();
}

void TCommandStates::SetChecked(const QString &name, bool checked)
{
    if (QAction *action = frame.Action(name))
        action->setChecked(checked);
}

void TCommandStates::SetCaption(const QString &name, const QString &caption)
{
    if (QAction *action = frame.Action(name))
        action->setText(caption);
}

// ---- the board tree ----

void TCommandStates::UpdateBoardListMenu()
{
    const auto apply = qScopeGuard([this] { ApplyDecided(); });
    const TSite *site = boardTree.CurrentSite();
    const TBoard *board = boardTree.SelectedTreeBoard();
    const bool shown = site != nullptr;
    SetCategory(QStringLiteral("ボード一覧"), false);
    SetStates({"actBoardAllExpand", "actBoardAllCollapse", "actBoardFind", "actShowBoardFilter", "actBoardGaishutu",
               "actBoardListEdit"},
              shown);
    SetState(QStringLiteral("actBoardAddBoard"), shown);
    SetState(QStringLiteral("actBoardListUpdate"), shown && site->Kind == TSite::KIND_NORMAL);
    SetState(QStringLiteral("actBoardImportKatjuBoard"), shown);
    SetState(QStringLiteral("actBoardEditBoard"), boardTree.HasCurrentTreeNode() && shown);
    SetStates({"actBoardDeleteBoard", "actBoardAddFav", "actBoardDeleteLog", "actBoardAddShortcut", "actBoardCopyUrl",
               "actBoardCopyTitle", "actBoardCopyTitleUrl", "actBoardProperty", "actBoardOpenHtmlByTavu",
               "actBoardOpenHtmlByBrowser"},
              board != nullptr);
}

// ---- the thread list ----

void TCommandStates::UpdateThreadListMenu()
{
    const auto apply = qScopeGuard([this] { ApplyDecided(); });
    SetCategory(QStringLiteral("スレッド一覧"), false);
    SetState(QStringLiteral("actThreadListLoadTab"), true);   // the saved tabs come back also when none is open
    TTavuListDoc *doc = tabs.CurrentListDoc();
    if (!doc)
        return;   // the favourites commands work on the board tree: they need no tab
    const int tabCount = int(tabs.ListDocTabOrder().size());
    const bool idle = doc->DownloadState == TTavuListDoc::dsIdle;
    const TBoard *board = doc->GetBoard();
    const bool paged = board && board->BBS && board->BBS->IsThreadListPaged();
    const bool moreToShow = idle && (doc->DisplayCount() < doc->Items()->Count() || paged);
    const bool checkRunning = boards.UpdateCheckRunning();

    SetStates({"actThreadListShowChevronList", "actThreadListBoardAddToShortcut", "actThreadListLock"}, true);
    SetChecked(QStringLiteral("actThreadListLock"), doc->IsLocked());
    SetState(QStringLiteral("actThreadListClose"), tabCount > 0 && idle);
    SetStates({"actThreadListCloseAll", "actThreadListCloseAll2", "actThreadListSaveTab"}, tabCount > 0);
    SetStates({"actThreadListNextTab", "actThreadListPriorTab"}, tabCount > 1);
    SetState(QStringLiteral("actThreadListLoadNext"), moreToShow);
    SetState(QStringLiteral("actThreadListLoadAll"), !paged && (moreToShow || (idle && TavuConfig->DATOCHIMODE == 2)));
    SetStates({"actThreadListFilter", "actThreadListFilterHoliday"}, idle);
    SetState(QStringLiteral("actThreadListCancelDownload"), doc->DownloadState == TTavuListDoc::dsDownloading);
    SetState(QStringLiteral("actThreadListReload"), board != nullptr && idle);
    SetState(QStringLiteral("actThreadListShowLocal"), board != nullptr && idle);
    SetStates({"actThreadListRebone", "actThreadListBoardOpenTavu", "actThreadListBoardOpenBrowser"}, board != nullptr);
    SetState(QStringLiteral("actThreadListNewThread"), board && board->BBS && idle && !TavuEnviron->IsOffline()
                                                           && !board->BBS->GetNewThreadCgiUrl(board).isEmpty());
    SetStates({"actThreadListCheckUpdate", "actThreadListRound"}, board != nullptr && idle && !checkRunning);
    SetCategory(QStringLiteral("お気に入り"), true);
    UpdateThreadRowCommands(doc);
}

// The commands on the selected rows; set only while the focused row holds a thread.
void TCommandStates::UpdateThreadRowCommands(TTavuListDoc *doc)
{
    const TThreadItem *item = threadList.FocusedThread();
    if (!item)
        return;
    const QList<TThreadItem *> items = threadList.SelectedThreads();
    const int selected = int(items.size());

    SetStates({"actThreadListBold", "actThreadListReverse", "actThreadListColor", "actThreadListAddShortcut",
               "actThreadListPriority", "actThreadListCopyUrl", "actThreadListCopyTitle", "actThreadListCopyTitleUrl",
               "actThreadListExtractLink", "actThreadListSetKakoLog", "actThreadListExport", "actThreadListAbone",
               "actThreadListQueryAbone"},
              selected > 0);
    SetChecked(QStringLiteral("actThreadListBold"), item->BOLD);
    SetChecked(QStringLiteral("actThreadListReverse"), item->REVERSE);
    SetStates({"actThreadListComment", "actThreadListProperty", "actThreadListDownloadThreadNewPage",
               "actThreadListChottoLook", "actThreadListOpenTavu", "actThreadListOpenBrowser"},
              selected == 1);
    SetState(QStringLiteral("actThreadListDeleteLog"),
             selected > 1 || (selected == 1 && (item->LogExists() || QFile::exists(item->GetInfFile()))));
    // Threads of the local site, or listed from it, are there already.
    const TSite *localSite = TavuEnviron->LocalSite();
    SetState(QStringLiteral("actThreadListMoveToLocal"),
             selected > 0 && doc->Site != localSite && !(doc->GetBoard() && doc->GetBoard()->Site == localSite));

    const bool allFavorite = !items.isEmpty()
        && std::all_of(items.begin(), items.end(), [](const TThreadItem *i) { return i && i->FAVORITE; });
    SetState(QStringLiteral("actThreadListAddFav"), selected == 1 ? !item->LOCALLOG : selected > 0);
    SetChecked(QStringLiteral("actThreadListAddFav"), allFavorite);
    SetCaption(QStringLiteral("actThreadListAddFav"), allFavorite ? QStringLiteral("選択スレッドをお気に入りから削除(&F)")
                                                                  : QStringLiteral("選択スレッドをお気に入りに登録(&F)..."));
    const bool shortcut = selected == 1 && item->SHORTCUT;
    SetChecked(QStringLiteral("actThreadListAddShortcut"), shortcut);
    SetCaption(QStringLiteral("actThreadListAddShortcut"), shortcut
                                                               ? QStringLiteral("選択スレッドをショートカットバーから削除(&H)")
                                                               : QStringLiteral("選択スレッドをショートカットバーに登録(&H)..."));
}

// ---- the browser ----

void TCommandStates::UpdateBrowserMenu()
{
    const auto apply = qScopeGuard([this] { ApplyDecided(); });
    SetCategory(QStringLiteral("スレッド"), false);
    SetCategory(QStringLiteral("ブラウザ"), false);
    // The address box is there with or without a tab: a typed or pasted address opens a new one.
    SetStates({"actBrowserNavigate", "actBrowserNavClipboard"}, true);
    TTavuBrowser *tab = tabs.CurrentBrowser();
    if (!tab)
        return;
    const int tabCount = int(tabs.BrowserTabOrder().size());
    const bool idle = tab->DownloadState == TTavuBrowser::dsIdle;
    const bool page = tab->IsWebPage();
    TThreadItem *item = page ? nullptr : tab->ThreadItem();
    const bool thread = item != nullptr;

    SetCategory(QStringLiteral("ブラウザ"), true);
    SetState(QStringLiteral("actBrowserClose"), idle || page);
    SetStates({"actBrowserNextTab", "actBrowserPriorTab"}, tabCount > 1);
    SetChecked(QStringLiteral("actBrowserNavigateLock"), tab->Locked);
    // Only a web page can be suppressed or walked back and forth in.
    SetStates({"actBrowserKillUrl", "actBrowserKillTitle"}, page);
    SetState(QStringLiteral("actBrowserGoBack"), page && tab->Browser()->history()->canGoBack());
    SetState(QStringLiteral("actBrowserGoForward"), page && tab->Browser()->history()->canGoForward());
    SetState(QStringLiteral("actBrowserOpenByBrowser"), !tab->URL.isEmpty());

    SetCategory(QStringLiteral("スレッド"), thread);
    // A web page is reloaded, copied and kept as a favourite like a thread.
    SetStates({"actThreadReload", "actThreadCopyUrl", "actThreadCopyTitle", "actThreadCopyTitleUrl", "actThreadAddFav"},
              thread || page);
    if (!thread)
        return;
    const bool online = !TavuEnviron->IsOffline();
    SetStates({"actThreadReload", "actThreadRefresh"}, idle && online);
    SetState(QStringLiteral("actThreadCancelDownload"), tab->DownloadState == TTavuBrowser::dsDownloading);
    SetState(QStringLiteral("actThreadReturn"), idle && QFile::exists(item->GetBakFile()));
    SetChecked(QStringLiteral("actThreadAddFav"), item->FAVORITE);
    SetCaption(QStringLiteral("actThreadAddFav"),
               item->FAVORITE ? QStringLiteral("お気に入りから削除(&F)...") : QStringLiteral("お気に入りに登録(&F)"));
    SetChecked(QStringLiteral("actThreadAddShortcut"), item->SHORTCUT);
    SetCaption(QStringLiteral("actThreadAddShortcut"), item->SHORTCUT ? QStringLiteral("ショートカットバーから削除(&H)")
                                                                      : QStringLiteral("ショートカットバーに登録(&H)..."));
    SetChecked(QStringLiteral("actThreadSetKakoLog"), item->KAKOLOG);
    const bool logged = item->LogExists();
    SetStates({"actThreadDeleteLog", "actThreadDeleteLogClose"}, idle && logged);
    SetStates({"actThreadGoBookmark", "actThreadDeleteReadPoint"}, item->READPOINT > 0);
}
