#include "commands/LogCommands.h"

#include "controls/BarsAndMenus.h"
#include "controls/Dialogs.h"
#include "controls/UserFiles.h"
#include "controls/WindowServices.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "services/HistoryModel.h"
#include "services/Urls.h"
#include "settings/ExportDialog.h"
#include "settings/HistDialog.h"

#include <QMenu>

namespace {

constexpr int RecentSeparatorEvery = 10;

QString ProfileFile(const QString &name)
{
    return TavuConfig->GetProfileDir() + name;
}

// The menu caption of a recent thread: "(&n)" and the title, and the board and site when known;
// an "&" of the names is shown as it is.
QString RecentCaption(const THistoryEntry &entry, int number)
{
    QString caption = entry.ShownTitle();
    TThreadItem *item = new TThreadItem;
    if (item->SetLocation(entry.SiteId, entry.BoardId, entry.Key, entry.Title) && item->GetBoard())
        caption += QStringLiteral(" (") + item->GetBoard()->Name + QLatin1Char('@') + item->Site->NAME + QLatin1Char(')');
    item->Release();
    return QStringLiteral("(&%1)").arg(number) + BarsAndMenus::EscapeMenuCaption(caption);
}

}  // namespace

TLogCommands::TLogCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    histDialog = new THistDialog(TavuConfig->GetProfileDir(), services.Frame().Window());
    histDialog->OpenEntry = [this](const THistoryEntry &entry) { OpenEntry(entry); };
    UserFiles::SetHistoryReload([this] {
        if (histDialog && histDialog->isVisible())
            histDialog->ReloadHistory();
    });
    services.Frame().BindAction(QStringLiteral("actShowHist"), this, [this] { actShowHistExecute(); });
    services.Frame().BindAction(QStringLiteral("actThreadExport"), this, [this] { actThreadExportExecute(); });
    services.Frame().BindAction(QStringLiteral("actThreadListExport"), this, [this] { actThreadListExportExecute(); });
    BindRecentMenu(QStringLiteral("RecentRead"), QStringLiteral("readhist.txt"));
    BindRecentMenu(QStringLiteral("RecentWrite"), QStringLiteral("sendhist.txt"));
}

TLogCommands::~TLogCommands()
{
    UserFiles::SetHistoryReload({});
}

void TLogCommands::BindRecentMenu(const QString &menuName, const QString &fileName)
{
    QMenu *menu = services.Bars().Menu(menuName);
    if (!menu)
        return;
    connect(menu, &QMenu::aboutToShow, this, [this, menu, fileName] { FillRecentMenu(menu, ProfileFile(fileName)); });
}

void TLogCommands::FillRecentMenu(QMenu *menu, const QString &fileName)
{
    menu->clear();
    TTextList lines;
    lines.LoadFromFile(fileName);
    const QList<THistoryEntry> entries = THistoryModel::RecentEntries(lines.Lines, TavuConfig->RECENTCOUNT);
    for (int i = 0; i < entries.size(); ++i) {
        const THistoryEntry entry = entries[i];
        menu->addAction(RecentCaption(entry, i), this, [this, entry] { OpenEntry(entry); });
        if ((i + 1) % RecentSeparatorEvery == 0 && i + 1 < entries.size())
            menu->addSeparator();
    }
    menu->addSeparator();
    menu->addAction(QStringLiteral("履歴を編集する..."), this, [this] {
        if (QAction *show = services.Frame().Action(QStringLiteral("actShowHist")))
            show->trigger();
    });
}

void TLogCommands::OpenEntry(const THistoryEntry &entry)
{
    TThreadItem *item = new TThreadItem;
    if (item->SetLocation(entry.SiteId, entry.BoardId, entry.Key, entry.Title) && item->GetBoard() && item->BBS) {
        item->DownloadRequest = true;
        services.Reading().OpenThread(item, false, false, true, 0);
    }
    item->Release();
}

void TLogCommands::actShowHistExecute()
{
    histDialog->ReloadHistory();
    histDialog->show();
    histDialog->raise();
    histDialog->activateWindow();
}

void TLogCommands::actThreadExportExecute()
{
    TTavuBrowser *tab = services.Tabs().CurrentBrowser();
    if (!tab || !tab->ThreadItem())
        return;
    TExportDialog dialog(services.Frame().Window());
    dialog.SetThreads({tab->ThreadItem()}, tab->ResList());
    RunExport(dialog);
}

void TLogCommands::actThreadListExportExecute()
{
    const QList<TThreadItem *> items = services.ThreadList().SelectedThreads();
    if (items.isEmpty())
        return;
    TExportDialog dialog(services.Frame().Window());
    dialog.SetThreads(items);
    RunExport(dialog);
}

void TLogCommands::RunExport(TExportDialog &dialog)
{
    dialog.Render = [this](IResultView *view, TResList *list) { services.Views().RenderResList(view, list); };
    Dialogs::ExecDialog(dialog);
}
