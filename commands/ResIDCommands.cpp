#include "commands/ResIDCommands.h"

#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/Exceptions.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/TavuAction.h"
#include "core/TavuActionList.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "services/EraseRestore.h"
#include "services/ResSearch.h"

#include <QDateTime>
#include <QMenu>

TResIDCommands::TResIDCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    ResIDPopup = services.Bars().Menu(QStringLiteral("ResIDPopup"));
    if (!ResIDPopup)
        return;
    ResIDPopup->addAction(QStringLiteral("この ID のレスのみを抽出"), this, &TResIDCommands::ExtractIDClick);
    ResIDPopup->addAction(QStringLiteral("この ID のレスを消去"), this, [this] { EraseIDClick(); });
    ResIDPopup->addSeparator();
    ResIDPopup->addAction(QStringLiteral("この ID の新規レスがあったらお知らせ（１日間有効）"), this,
                          [this] { AddIDRuleClick(TTavuAction::POPUP); });
    ResIDPopup->addAction(QStringLiteral("この ID のレスは太字で表示（１日間有効）"), this,
                          [this] { AddIDRuleClick(TTavuAction::RESMARK); });
    ResIDPopup->addAction(QStringLiteral("この ID のレスを非表示（１日間有効）"), this,
                          [this] { AddIDRuleClick(TTavuAction::ABONE); });
}

TTavuBrowser *TResIDCommands::IDTab(QString &id) const
{
    TTavuBrowser *tab = services.Tabs().CurrentBrowser();
    if (!tab || tab->IsWebPage() || !tab->ThreadItem() || !tab->ResList() || tab->ClickedID.isEmpty())
        return nullptr;
    id = tab->ClickedID;
    return tab;
}

void TResIDCommands::ExtractIDClick()
{
    QString id;
    if (!IDTab(id))
        return;
    ResSearch::TResSearch search;
    search.Text = id;
    search.Mode = ResSearch::rmID;
    search.Highlight = false;
    services.SearchViews().FilterResView(search);
}

int TResIDCommands::EraseIDClick()
{
    QString id;
    TTavuBrowser *tab = IDTab(id);
    if (!tab)
        return 0;
    TResList *list = tab->ResList();
    int erased = 0;
    for (int i = 0; i < list->Count(); ++i) {
        TRes *res = list->Get(i);
        if (res->ID == id && !res->Erased) {
            res->Erased = true;
            ++erased;
        }
    }
    if (erased == 0)
        return 0;
    services.Views().AddLog(QStringLiteral("%1 個のレスを消去しました。").arg(erased));
    TThreadItem *item = tab->ThreadItem();
    try {
        EraseRestore::StoreEraseMarks(item, *list);
    } catch (const EFileError &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
    item->SaveInfo();
    services.Views().RefreshResView();
    return erased;
}

void TResIDCommands::AddIDRuleClick(int action)
{
    QString id;
    TTavuBrowser *tab = IDTab(id);
    if (!tab || !services.Rules().ResRules())
        return;
    const TThreadItem *item = tab->ThreadItem();
    auto rule = std::make_unique<TTavuAction>();
    rule->Target = TTavuAction::RESID;
    rule->Condition = TTavuAction::SAME;
    rule->Value1 = id;
    rule->Action = action;
    rule->ExpireDays = 1;
    rule->RegistDate = TTavuAction::FormatDate(QDateTime::currentDateTime());
    rule->Boards.Add(item->Site ? item->Site->SITEID : QString(), item->BoardID);
    services.Rules().ResRules()->Add(std::move(rule));
    services.Rules().SaveResRules();
    if (action == TTavuAction::ABONE)
        EraseIDClick();
}
