#include "commands/ToolCommands.h"

#include "boards/DolibManager.h"
#include "controls/ActionCatalogue.h"
#include "controls/BarsAndMenus.h"
#include "controls/Dialogs.h"
#include "controls/TabButton.h"
#include "controls/TabMenuItem.h"
#include "controls/UserFiles.h"
#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "core/BoardList.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "net/TavuHttpList.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "render/TavuListDoc.h"
#include "services/Urls.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

namespace {

constexpr int DisconnectInterval = 2000;

}  // namespace

TToolCommands::TToolCommands(TWindowServices &services, QObject *parent)
    : QObject(parent), services(services), disconnectTimer(new QTimer(this))
{
    disconnectTimer->setObjectName(QStringLiteral("DisconnectTimer"));
    disconnectTimer->setInterval(DisconnectInterval);
    disconnectTimer->setSingleShot(true);
    connect(disconnectTimer, &QTimer::timeout, this, &TToolCommands::DisconnectTimerTimer);
    services.Frame().BindAction(QStringLiteral("actDisconnect"), this, [this] { actDisconnectExecute(); });
    services.Frame().BindAction(QStringLiteral("actOnline"), this, [this] { actOnlineExecute(); });
    services.Frame().BindAction(QStringLiteral("actSaveMode"), this, [this] { actSaveModeExecute(); });
    services.Frame().BindAction(QStringLiteral("act2chLogin"), this, [this] { act2chLoginExecute(); });
    services.Frame().BindAction(QStringLiteral("actToolUseReadProxy"), this, [this] { actToolUseProxyExecute(false); });
    services.Frame().BindAction(QStringLiteral("actToolUseSendProxy"), this, [this] { actToolUseProxyExecute(true); });
    ShowProxyStates();
    connect(&services.Frame().Events(), &TWindowEvents::OptionsApplied, this, [this] { ShowProxyStates(); });
    BindSiteAndBrowserCommands();
    if (QMenu *tools = services.Bars().Menu(QStringLiteral("Tool1")))
        connect(tools, &QMenu::aboutToShow, this, &TToolCommands::ToolsMenuOpening);

    // The log pane takes typed commands: Enter runs the line under the caret.
    connect(&services.Frame().Events(), &TWindowEvents::LogLineEntered, this, [this](const QString &line, bool *taken) {
        if (!*taken)
            *taken = RunLogLine(line);
    });
}

// The fixed pages of some sites, the board list of machibbs, and the browser's find, source and
// options commands on the current tab.
void TToolCommands::BindSiteAndBrowserCommands()
{
    services.Frame().BindAction(QStringLiteral("act15ch156"), this, [this] { services.Reading().OpenThreadUrl(TavuConfig->ICHIGOBBS_156); });
    services.Frame().BindAction(QStringLiteral("actMilkcafeDiary"), this, [this] { services.Reading().OpenThreadUrl(TavuConfig->MILKCAFE_DIARY); });
    services.Frame().BindAction(QStringLiteral("actMachibbsBoardlist"), this, [] { actMachibbsBoardlistExecute(); });
    const std::pair<const char *, int> browserCommands[] = {
        {"actBrowserFind", BarsAndMenus::bcFind}, {"actBrowserShowSource", BarsAndMenus::bcViewSource},
        {"actBrowserOption", BarsAndMenus::bcOptions}};
    for (const auto &[name, command] : browserCommands) {
        services.Frame().BindAction(QString::fromLatin1(name), this, [this, command = command] {
            if (TTavuBrowser *tab = this->services.Tabs().CurrentBrowser())
                BarsAndMenus::BrowserCommand(tab->Browser(), command);
        });
    }
}

// The profile's machibbs board list is replaced by the one the program ships.
void TToolCommands::actMachibbsBoardlistExecute()
{
    const QString relative = QStringLiteral("config/site/machibbs/board.dat");
    const QString target = TavuConfig->GetProfileDir() + relative;
    const QString source = TTavuConfig::AppDir() + relative;
    if (!QFile::exists(source)) {   // never trade the user's list for nothing
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("%1 が見つかりません。").arg(source));
        return;
    }
    try {
        FileUtil::WriteFileAtomic(target, FileUtil::ReadFile(source));
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return;
    }
    Dialogs::ShowMessage(Dialogs::mkInformation,
                         QStringLiteral("書き換えました。設定を有効にするにはヴァルネロを再起動してください。"));
}

// ---- tools ----

// The skin settings need boards of the first site; the handle settings need a site.
void TToolCommands::ToolsMenuOpening()
{
    const TSiteList *sites = TavuEnviron->SiteList();
    const bool anySite = sites && sites->Count() > 0;
    services.Frame().SetActionEnabled(QStringLiteral("actToolSkin"), anySite && sites->Get(0)->Boards->Count() > 0);
    services.Frame().SetActionEnabled(QStringLiteral("actToolHandle"), anySite);
    ShowProxyStates();
}

QStringList TToolCommands::ToolArguments(const QString &arguments, const QString &url, bool appendUrl)
{
    QStringList list = QProcess::splitCommand(arguments);
    if (appendUrl && !url.isEmpty())
        list.append(url);
    return list;
}

bool TToolCommands::LaunchTool(const TToolMenuItem *tool)
{
    const TTavuBrowser *tab = services.Tabs().CurrentBrowser();
    const QString url = tab ? tab->URL : QString();
    QProcess process;
    process.setProgram(tool->Program);
    process.setArguments(ToolArguments(tool->Arguments, url, tool->AppendUrl));
    if (!tool->WorkDir.isEmpty())
        process.setWorkingDirectory(tool->WorkDir);
    if (process.startDetached())
        return true;
    services.Views().AddLog(QStringLiteral("%1 を起動できませんでした。").arg(tool->Program));
    return false;
}

// ---- web search ----

void TToolCommands::WebSearch(const TSearchEngineMenuItem *entry)
{
    const TTavuBrowser *tab = services.Tabs().CurrentBrowser();
    const QString text = tab ? tab->GetSelectedText().trimmed() : QString();
    if (text.isEmpty())
        return;
    const QString caption = entry->text().replace(QLatin1String("&&"), QLatin1String("&"));
    services.Reading().OpenWebPage(UserFiles::SearchUrl(entry->SearchUrl, text), caption);
}

// ---- modes ----

// The switch shows its picture while online and the same picture greyed while offline.
void TToolCommands::actOnlineExecute()
{
    QAction *online = services.Frame().Action(QStringLiteral("actOnline"));
    const bool on = online && online->isChecked();
    TavuEnviron->SetOffline(!on);
    if (!on && DolibManager)
        DolibManager->Logout();
    if (online) {
        const QIcon picture = services.Frame().ActionImages().value(imgOnline);
        online->setIcon(on ? picture : QIcon(picture.pixmap(16, 16, QIcon::Disabled)));
    }
    services.Boards().UpdateBoardListMenu();
    services.Boards().UpdateThreadListMenu();
    services.Views().UpdateBrowserMenu();
}

// Save mode keeps the logs of what is read. Turning it off asks first when SAVEMODE_WARNING says
// so; No leaves it on.
void TToolCommands::actSaveModeExecute()
{
    QAction *action = services.Frame().Action(QStringLiteral("actSaveMode"));
    if (action->isChecked()) {
        TavuEnviron->SetCached(true);
        return;
    }
    if (TavuConfig->SAVEMODE_WARNING
        && !Dialogs::AskYesNo(QStringLiteral("保存モードをオフにしますか？\r\n※読み込んだスレッド、ログは保存されません。"),
                              Dialogs::mkWarning)) {
        action->setChecked(true);
        return;
    }
    TavuEnviron->SetCached(false);
}

// The past-log login: logs out when logged in, else logs in. The check mark follows the service's
// own login and logout events; until then it shows the state as it is.
void TToolCommands::act2chLoginExecute()
{
    QAction *action = services.Frame().Action(QStringLiteral("act2chLogin"));
    const bool loggedIn = DolibManager && DolibManager->IsLoggedIn();
    action->setChecked(loggedIn);
    if (!DolibManager)
        return;
    if (TavuEnviron->IsOffline()) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("オフライン状態ではログインできません。"));
        return;
    }
    if (loggedIn)
        DolibManager->Logout();
    else
        DolibManager->Login();
    action->setChecked(DolibManager->IsLoggedIn());
}

// A proxy switch changes USE of its section only while a host is set for it.
void TToolCommands::actToolUseProxyExecute(bool sending)
{
    bool &use = sending ? TavuConfig->SEND_PROXY_USE : TavuConfig->PROXY_USE;
    const QString &host = sending ? TavuConfig->SEND_PROXY_HOST : TavuConfig->PROXY_HOST;
    if (!host.trimmed().isEmpty())
        use = !use;
    ShowProxyStates();
}

void TToolCommands::ShowProxyStates()
{
    services.Frame().Action(QStringLiteral("actToolUseReadProxy"))->setChecked(TavuConfig->PROXY_USE);
    services.Frame().Action(QStringLiteral("actToolUseSendProxy"))->setChecked(TavuConfig->SEND_PROXY_USE);
}

// ---- stop-all ----

void TToolCommands::actDisconnectExecute()
{
    EventLog::AddLog(QStringLiteral("すべての処理を中止します。"));
    TavuHttpList->AbortAll();
    for (TTavuListDoc *doc : services.Tabs().ListDocs())
        doc->UpdateTabImage();
    for (TTavuBrowser *tab : services.Tabs().Browsers())
        tab->UpdateTabImage();
    TavuEnviron->SetStopped(true);
    disconnectTimer->start();
}

void TToolCommands::DisconnectTimerTimer()
{
    disconnectTimer->stop();
    TavuEnviron->SetStopped(false);
    for (TTavuBrowser *tab : services.Tabs().Browsers()) {
        tab->DownloadState = TTavuBrowser::dsIdle;
        tab->UpdateTabImage();
    }
    for (TTavuListDoc *doc : services.Tabs().ListDocs()) {
        doc->DownloadState = TTavuListDoc::dsIdle;
        doc->DownloadFailed = false;
        doc->UpdateTabImage();
    }
    services.Session().ClearBusy();
    EventLog::AddLog(QStringLiteral("すべての処理を中止しました。"));
}

// ---- log pane ----

TToolCommands::TLogCommand TToolCommands::ParseLogCommand(const QString &line)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(go\\s+)?(\\d+)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(MonaUtils::ToHalfWidth(line));
    TLogCommand command;
    if (!match.hasMatch())
        return command;
    bool ok = false;
    command.Number = match.captured(2).toInt(&ok);
    if (!ok)
        return TLogCommand();
    command.Kind = match.captured(1).isEmpty() ? TLogCommand::lcPopup : TLogCommand::lcGo;
    return command;
}

// Any post of the thread, the last one included.
bool TToolCommands::RunLogCommand(const TLogCommand &command)
{
    TTavuBrowser *tab = services.Tabs().CurrentBrowser();
    if (command.Kind == TLogCommand::lcNone || !tab || tab->IsWebPage() || !tab->ResList())
        return false;
    if (command.Number < 1 || command.Number > tab->ResList()->Count())
        return false;
    if (command.Kind == TLogCommand::lcPopup)
        PopupRes(tab, command.Number);
    else
        GoToRes(tab, command.Number);
    return true;
}

void TToolCommands::GoToRes(TTavuBrowser *tab, int number)
{
    const TRes *res = tab->ResList()->Get(number - 1);
    if (res->Erased)
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("指定のレスは消去されています。"));
    else if (res->Hidden)
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("指定のレスはNGワードです。"));
    else if (!res->Visible)
        PopupRes(tab, number);
    else
        tab->ScrollToRes(number);
}

void TToolCommands::PopupRes(TTavuBrowser *tab, int number)
{
    TTavuHintWindow *hint = services.Views().HintWindow();
    if (!hint)
        return;
    TResList popup(tab->ThreadItem());
    Urls::FillPopupResList(*tab->ResList(), popup, number, number, true);
    hint->PopupResList(&popup, tab->GetBoard(), QString());
}

bool TToolCommands::RunLogLine(const QString &line)
{
    const TLogCommand command = ParseLogCommand(line);
    if (command.Kind == TLogCommand::lcNone)
        return false;
    RunLogCommand(command);
    return true;
}
