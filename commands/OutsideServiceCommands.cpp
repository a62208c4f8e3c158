#include "commands/OutsideServiceCommands.h"

#include "controls/BarsAndMenus.h"
#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuBrowser.h"
#include "services/HeeVote.h"
#include "services/MegabbsThreadList.h"
#include "tools/AmezoScape2ch.h"
#include "tools/DirectDialog.h"
#include "tools/HeeDialog.h"
#include "tools/IchigobbsRankingDialog.h"
#include "tools/SettingTextDialog.h"

TOutsideServiceCommands::TOutsideServiceCommands(TWindowServices &services, QObject *parent)
    : QObject(parent), services(services)
{
    services.Frame().BindAction(QStringLiteral("act2chShowSettingTxt"), this, [this] { act2chShowSettingTxtExecute(); });
    services.Frame().BindAction(QStringLiteral("act2chAmezoScape"), this, [this] { act2chAmezoScapeExecute(); });
    services.Frame().BindAction(QStringLiteral("actMegabbsNewThreads"), this, [this] { actMegabbsNewThreadsExecute(true); });
    services.Frame().BindAction(QStringLiteral("actMegabbsNewThreads2"), this, [this] { actMegabbsNewThreadsExecute(false); });
    services.Frame().BindAction(QStringLiteral("act15chRanking"), this, [this] { act15chRankingExecute(); });
    services.Frame().BindAction(QStringLiteral("act2chHeee"), this, [this] { act2chHeeeExecute(); });
    services.Frame().BindAction(QStringLiteral("actHelpVarneloDirect"), this, [this] { actHelpVarneloDirectExecute(); });
}

bool TOutsideServiceCommands::RefuseOffline() const
{
    if (!TavuEnviron->IsOffline())
        return false;
    Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("オフライン状態では使用できません。"));
    return true;
}

// Only the boards of the 2ch board type have a SETTING.TXT.
void TOutsideServiceCommands::act2chShowSettingTxtExecute()
{
    TBoard *board = services.Tabs().ShownBoard();
    if (!board || !board->BBS || board->BBS->ID != QLatin1String("dolibscript"))
        return;
    TSettingTextDialog dialog(services.Frame().Window());
    dialog.LoadSettingTxt(board->URL);
    Dialogs::ExecDialog(dialog);
}

// The hits go to the tab "大先生の検索結果". A failed search has been reported by the dialog and is
// not taken for one without hits.
void TOutsideServiceCommands::act2chAmezoScapeExecute()
{
    if (RefuseOffline())
        return;
    auto *items = new TThreadItemList;
    TAmezoScape2ch dialog(items, services.Frame().Window());
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted || dialog.Failed()) {
        delete items;
        return;
    }
    if (items->Count() == 0) {
        delete items;
        services.Views().AddLog(QStringLiteral("該当スレッド無し"));
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("該当スレッドが見つかりませんでした。"));
        return;
    }
    services.ThreadList().NewResultTab(QStringLiteral("大先生の検索結果"), items, nullptr);
}

// The newest threads of the chosen server's new-thread page, in the tab "最新20件". A failure is
// logged and opens no tab.
void TOutsideServiceCommands::actMegabbsNewThreadsExecute(bool first)
{
    if (RefuseOffline())
        return;
    const QString url = first ? TavuConfig->MEGABBS_NEWCGI_megabbs : TavuConfig->MEGABBS_NEWCGI_megabbs2;
    auto *items = new TThreadItemList;
    QString error;
    services.Frame().BeginBusy();
    const bool loaded = TMegabbsThreadList::Load(url, items, error);
    services.Frame().EndBusy();
    if (!loaded) {
        services.Views().AddLog(error);
        delete items;
        return;
    }
    services.ThreadList().NewResultTab(QStringLiteral("最新20件"), items, nullptr);
}

// One ranking window; opening it again brings it to the front.
void TOutsideServiceCommands::act15chRankingExecute()
{
    if (!ranking) {
        ranking = new TIchigobbsRankingDialog(TavuConfig->ICHIGOBBS_RANKING,
                                              [this](TBoard *board) { services.Reading().OpenBoard(board, false); },
                                              services.Frame().Window());
    }
    ranking->show();
    ranking->raise();
    ranking->activateWindow();
}

// A vote for the thread of the current tab; the user is asked once before the first vote.
void TOutsideServiceCommands::act2chHeeeExecute()
{
    TTavuBrowser *tab = services.Tabs().CurrentBrowser();
    TThreadItem *item = tab ? tab->ThreadItem() : nullptr;
    if (!tab || (!item && !tab->IsWebPage())) {
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("スレッドが表示されていません。"));
        return;
    }
    if (tab->IsWebPage()) {
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("このページでは押せません。"));
        return;
    }
    if (!item->Site || item->Site->SITEID.compare(QLatin1String("2CH"), Qt::CaseInsensitive) != 0) {
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("２ちゃんねる以外では押せません。"));
        return;
    }
    const QString title = item->ShownTitle();
    if (!TavuConfig->CHBOX_CHECKHE) {
        QString url = THeeVote::VoteUrl(TavuConfig->CHBOX_HEURL, title, tab->URL);
        if (!Dialogs::AskYesNo(QStringLiteral("投票CGIを呼び出します。よろしいですか？\r\n") + url))
            return;
        TavuConfig->CHBOX_CHECKHE = true;
    }
    if (voting)
        return;
    voting = true;
    services.Frame().BeginBusy();
    THeeDialog dialog(services.Frame().Window());
    dialog.SetThread(title, tab->URL);
    dialog.SendHee();
    services.Frame().EndBusy();
    Dialogs::ExecDialog(dialog);
    voting = false;
}

void TOutsideServiceCommands::actHelpVarneloDirectExecute()
{
    TDirectDialog dialog(services.Frame().Window());
    Dialogs::ExecDialog(dialog);
}
