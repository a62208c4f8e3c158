#include "commands/BrowserTabCommands.h"

#include "commands/TabCycle.h"
#include "commands/ThreadTabController.h"
#include "controls/BarsAndMenus.h"
#include "controls/Dialogs.h"
#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "core/TavuConfig.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "services/PopupKillList.h"
#include "services/ResSearch.h"
#include "services/Urls.h"
#include "tools/KillPopupDialog.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

TBrowserTabCommands::TBrowserTabCommands(TWindowServices &services, QObject *parent)
    : QObject(parent), services(services)
{
    services.Frame().BindAction(QStringLiteral("actBrowserClose"), this, [this] { actBrowserCloseExecute(); });
    services.Frame().BindAction(QStringLiteral("actBrowserCloseAll"), this, [this] { actBrowserCloseAllExecute(false); });
    services.Frame().BindAction(QStringLiteral("actBrowserCloseAll2"), this, [this] { actBrowserCloseAllExecute(true); });
    BindTab("actBrowserNavigateLock", &TThreadTab::ToggleLock);
    services.Frame().BindAction(QStringLiteral("actBrowserNextTab"), this, [this] { actBrowserNextTabExecute(1); });
    services.Frame().BindAction(QStringLiteral("actBrowserPriorTab"), this, [this] { actBrowserNextTabExecute(-1); });
    BindTab("actBrowserGoBack", [](TThreadTab &tab) { tab.GoBack(true); });
    BindTab("actBrowserGoForward", [](TThreadTab &tab) { tab.GoBack(false); });
    services.Frame().BindAction(QStringLiteral("actBrowserNavClipboard"), this, [this] { actBrowserNavClipboardExecute(); });
    services.Frame().BindAction(QStringLiteral("actBrowserOpenByBrowser"), this, [this] { actBrowserOpenByBrowserExecute(); });
    services.Frame().BindAction(QStringLiteral("actBrowserKillUrl"), this, [this] { actBrowserKillUrlExecute(false); });
    services.Frame().BindAction(QStringLiteral("actBrowserKillTitle"), this, [this] { actBrowserKillUrlExecute(true); });
    const char *const fontSizes[] = {"actBrowserFontMin", "actBrowserFontSmall", "actBrowserFontMedium",
                                     "actBrowserFontLarge", "actBrowserFontMax"};
    for (int level = 0; level < 5; ++level)
        services.Frame().BindAction(QString::fromLatin1(fontSizes[level]), this, [this, level] { actBrowserFontMaxExecute(level); });
    services.Frame().BindAction(QStringLiteral("actToolKillPopup"), this, [this] { actToolKillPopupExecute(); });
    connect(&services.Frame().Events(), &TWindowEvents::BrowserTabCreated, this, [this](TTavuBrowser *tab) {
        connect(tab, &TTavuBrowser::TitleChange, this, [this, tab](const QString &title) { OnWebTitleChange(tab, title); });
    });
}

void TBrowserTabCommands::BindTab(const char *name, const std::function<void(TThreadTab &)> &operation)
{
    services.Frame().BindAction(QString::fromLatin1(name), this, [this, operation] {
        if (TThreadTab *tab = services.Tabs().FocusedTab())
            operation(*tab);
    });
}

void TBrowserTabCommands::Execute(const QString &name)
{
    QAction *action = services.Frame().Action(name);
    if (action && action->isEnabled())
        action->trigger();
}

bool TBrowserTabCommands::IsChecked(const QString &name) const
{
    const QAction *action = services.Frame().Action(name);
    return action && action->isChecked();
}

// ---- closing ----

void TBrowserTabCommands::actBrowserCloseExecute()
{
    services.Views().HintWindow()->hide();
    TThreadTab *tab = services.Tabs().FocusedTab();
    if (!tab)
        return;
    if (services.Tabs().Browsers().size() == 1 && services.SearchViews().DoubleWindowShown())
        Execute(QStringLiteral("actShowDoubleWindow"));
    if (!tab->Close())
        return;
    if (services.Tabs().Browsers().isEmpty() && !IsChecked(QStringLiteral("actShowThreadList2")) && TavuConfig->CHANGEPANE_THREADLIST)
        Execute(QStringLiteral("actShowPaneChange"));
}

// Closes the other tabs (allTabs: every tab), except those locked and those still loading.
void TBrowserTabCommands::actBrowserCloseAllExecute(bool allTabs)
{
    services.Views().HintWindow()->hide();
    const QList<TTavuBrowser *> tabs = services.Tabs().Browsers();
    for (qsizetype i = tabs.size() - 1; i >= (allTabs ? 0 : 1); --i) {
        TTavuBrowser *tab = tabs.at(i);
        if (!tab->Locked && tab->DownloadState == TTavuBrowser::dsIdle && !tab->Downloader)
            services.Tabs().CloseBrowser(tab);
    }
}

// The next (step 1) or prior (-1) tab of the tab bar, wrapping at either end.
void TBrowserTabCommands::actBrowserNextTabExecute(int step)
{
    if (TTavuBrowser *next = NextTabInCycle(services.Tabs().BrowserTabOrder(), services.Tabs().CurrentBrowser(), step))
        services.Tabs().ShowBrowserTab(next);
}

// ---- the page ----

// The clipboard's text opens as an address; an address missing its "h", or beginning "www.", is
// completed first.
void TBrowserTabCommands::actBrowserNavClipboardExecute()
{
    QString text = QGuiApplication::clipboard()->text().trimmed();
    if (text.isEmpty())
        return;
    if (text.startsWith(QLatin1String("ttp://")))
        text.prepend(QLatin1Char('h'));
    else if (text.startsWith(QLatin1String("www.")))
        text.prepend(QStringLiteral("http://"));
    services.Views().TypeAddress(text);
    Execute(QStringLiteral("actBrowserNavigate"));
}

void TBrowserTabCommands::actBrowserOpenByBrowserExecute()
{
    if (TThreadTab *tab = services.Tabs().FocusedTab(); tab && !tab->Tab().URL.isEmpty())
        Urls::OpenUrlExternal(tab->Tab().URL);
}

void TBrowserTabCommands::actBrowserFontMaxExecute(int level)
{
    for (TTavuBrowser *tab : services.Tabs().Browsers()) {
        if (!tab->IsWebPage())
            tab->SetTextZoom(level);
    }
}

// ---- popup suppression ----

// The web page's URL (or title) joins killurl.txt (killtitl.txt) and its tab closes.
void TBrowserTabCommands::actBrowserKillUrlExecute(bool byTitle)
{
    TThreadTab *focused = services.Tabs().FocusedTab();
    if (!focused || !focused->Tab().IsWebPage())
        return;
    TTavuBrowser *tab = &focused->Tab();
    const QString pageTitle = tab->Title.isEmpty() ? tab->Browser()->title() : tab->Title;
    const QString url = tab->Browser()->url().toString();
    const QString value = byTitle ? pageTitle : (tab->URL.isEmpty() ? url : tab->URL);
    if (!PopupKillList::CanSuppress(value) || !PopupKillList::CanSuppress(url)) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("このページは抑止できません。"));
        return;
    }
    PopupKillList::Add(byTitle ? PopupKillList::TitleFile() : PopupKillList::UrlFile(), value);
    services.Tabs().CloseBrowser(tab);
}

void TBrowserTabCommands::OnWebTitleChange(TTavuBrowser *tab, const QString &title)
{
    if (!tab->IsWebPage() || tab->Closing || !PopupKillList::IsTitleKilled(title))
        return;
    tab->Browser()->Stop();
    services.Tabs().CloseBrowser(tab);
    TavuConfig->SetCloseTab(TavuConfig->VOZADAZOZ_CLOSETAB + 1);
}

void TBrowserTabCommands::actToolKillPopupExecute()
{
    TKillPopupDialog dialog(services.Frame().Window());
    Dialogs::ExecDialog(dialog);
}
