#include "commands/BeCommands.h"

#include "boards/Be2chManager.h"
#include "controls/Dialogs.h"
#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "core/BBS.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "settings/BeProfileDialog.h"

#include <QAction>
#include <QMenu>

namespace {

// The Be account works with the site "2ch".
void GiveSite()
{
    if (TSite *site = TavuEnviron->SiteList()->FindBySiteID(QStringLiteral("2ch")))
        Be2chManager->Site = site;
}

}  // namespace

TBeCommands::TBeCommands(TWindowFrameServices &frame, TTabServices &tabs, TThreadViewServices &views, QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), views(views)
{
    frame.BindAction(QStringLiteral("actBe2chLogin"), this, [this] { actBe2chLoginExecute(); });
    frame.BindAction(QStringLiteral("actBe2chEditProfile"), this, [this] { actBe2chEditProfileExecute(); });
    BePopup = new QMenu(frame.Window());
    BePopup->setObjectName(QStringLiteral("BePopup"));
    BePopup->addAction(QStringLiteral("このユーザーにBEポイントを贈る"), this, [this] { BeGivePointClick(ClickedMember()); });
    BePopup->addAction(QStringLiteral("このユーザーのプロフィールを表示"), this, [this] { BeShowProfileClick(ClickedMember()); });
    connect(&frame.Events(), &TWindowEvents::BrowserTabCreated, this, [this](TTavuBrowser *tab) {
        connect(tab, &TTavuBrowser::ContextMenu, this, [this, tab](const QPoint &pos, bool &handled) {
            handled = handled || OnBrowserContextMenu(tab, pos);
        });
    });
    if (!Be2chManager)
        return;
    // A member's profile page opens in a browser tab of its own.
    Be2chManager->OpenUrl = [this](const QString &url, const QString &caption) {
        this->tabs.NewPageTab(caption)->Navigate(url);
    };
    connect(Be2chManager, &TBe2chManager::LoggedIn, this, &TBeCommands::ShowLoginState);
    connect(Be2chManager, &TBe2chManager::LoggedOut, this, &TBeCommands::ShowLoginState);
    connect(Be2chManager, &TBe2chManager::Error, this, [this](const QString &message) { this->views.AddLog(message); });
}

TBeCommands::~TBeCommands()
{
    if (Be2chManager)
        Be2chManager->OpenUrl = nullptr;
}

QString TBeCommands::ClickedMember() const
{
    const TTavuBrowser *tab = tabs.CurrentBrowser();
    return tab ? tab->ClickedBe : QString();
}

bool TBeCommands::OnBrowserContextMenu(TTavuBrowser *tab, const QPoint &globalPos)
{
    const QString beLink = QStringLiteral("tavu://res/?be=");
    if (!Be2chManager || tab != tabs.CurrentBrowser() || tab->IsWebPage() || !tab->ThreadItem()
        || !tab->StatusText.startsWith(beLink))
        return false;
    tab->ClickedBe = tab->StatusText.mid(beLink.size());
    BePopup->popup(globalPos);
    return true;
}

void TBeCommands::ShowLoginState()
{
    if (QAction *action = frame.Action(QStringLiteral("actBe2chLogin")))
        action->setChecked(Be2chManager && Be2chManager->IsLoggedIn());
}

void TBeCommands::actBe2chLoginExecute()
{
    if (Be2chManager) {
        if (Be2chManager->IsLoggedIn()) {
            Be2chManager->Logout();
        } else {
            Be2chManager->Login();
            GiveSite();
        }
    }
    ShowLoginState();
}

void TBeCommands::actBe2chEditProfileExecute()
{
    if (!EnsureLogin())
        return;
    TBeProfileDialog dialog(*Be2chManager, frame.Window());
    Dialogs::ExecDialog(dialog);
}

bool TBeCommands::EnsureLogin()
{
    if (!Be2chManager)
        return false;
    if (!Be2chManager->IsLoggedIn()) {
        Be2chManager->Login();
        GiveSite();
    }
    return Be2chManager->IsLoggedIn();
}

// The service learns the thread from its browser URL, as the profile link gives it.
bool TBeCommands::BeGivePointClick(const QString &member)
{
    const TTavuBrowser *tab = tabs.CurrentBrowser();
    if (!tab || !tab->ThreadItem() || !EnsureLogin())
        return false;
    const TThreadItem *item = tab->ThreadItem();
    if (!item->BBS)
        return false;
    return Be2chManager->GivePoint(member, item->BBS->GetBrowserUrl(item));
}

void TBeCommands::BeShowProfileClick(const QString &member)
{
    const TTavuBrowser *tab = tabs.CurrentBrowser();
    if (!Be2chManager || !tab || !tab->ThreadItem() || !tab->ThreadItem()->BBS)
        return;
    Be2chManager->ShowProfile(member, tab->ThreadItem()->BBS->GetBrowserUrl(tab->ThreadItem()));
}
