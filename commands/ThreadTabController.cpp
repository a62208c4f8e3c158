#include "commands/ThreadTabController.h"

#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/FileUtil.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"

#include <QFile>

namespace {

// Copies the log to its ".bak" beside it, replacing an older copy; false when there is a log and
// no whole copy of it could be made.
bool CopyToBak(const TThreadItem &item)
{
    const QString log = item.GetLogFile();
    return !QFile::exists(log) || FileUtil::MakeBackup(log, item.GetBakFile());
}

}  // namespace

TThreadTabController::TThreadTabController(TTavuBrowser &tab, TWindowServices &services)
    : QObject(&tab), tab(tab), services(services)
{
    connect(&tab, &TTavuBrowser::TitleChange, this, &TThreadTabController::WebTitleChanged);
}

TThreadItem *TThreadTabController::Thread() const
{
    TThreadItem *item = tab.IsWebPage() ? nullptr : tab.ThreadItem();
    return item && tab.ResList() ? item : nullptr;
}

void TThreadTabController::WebTitleChanged(const QString &title)
{
    if (tab.IsWebPage() && !title.isEmpty() && tab.TabButton) {
        tab.Title = title;
        emit CaptionChanged();
    }
}

// ---- the page ----

void TThreadTabController::Reload()
{
    if (tab.IsWebPage()) {
        tab.Browser()->reload();
        return;
    }
    TThreadItem *item = tab.ThreadItem();
    if (!item)
        return;
    if (tab.IsExtractMode()) {
        services.Views().RefreshResView();
        return;
    }
    item->DownloadRequest = true;
    services.Reading().OpenThread(item, true, false, true, 0);
}

void TThreadTabController::Stop()
{
    tab.CancelDownload();
}

void TThreadTabController::Refetch()
{
    TThreadItem *item = Thread();
    if (!item)
        return;
    const int top = tab.GetTopResNumber();
    if (!CopyToBak(*item)) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("ログのバックアップを作れませんでした。ログは削除していません。\n")
                                                   + item->GetBakFile());
        return;
    }
    item->DeleteLog(TThreadItem::KeepInf);
    item->LoadInfo();
    item->SetRead(0);
    item->COUNT = 0;
    item->NewCount = 0;
    item->SetLastLoad(QString());
    services.ThreadList().RepaintThreadList();
    services.Views().UpdateStatusCaption(item);
    item->DownloadRequest = true;
    services.Reading().OpenThread(item, true, false, true, top);
}

void TThreadTabController::ShowAll()
{
    if (!Thread())
        return;
    tab.SetExtractMode(false);
    services.Views().RefreshResView();
}

void TThreadTabController::ScrollStep(bool up)
{
    if (Thread())
        tab.Browser()->ScrollStep(up);
}

void TThreadTabController::GoBack(bool back)
{
    if (back)
        tab.Browser()->back();
    else
        tab.Browser()->forward();
}

// ---- the tab ----

bool TThreadTabController::Close()
{
    if (tab.Locked && TavuConfig->BROWSERTAB_CHECKLOCKCLOSE
        && Dialogs::ShowMessage(Dialogs::mkInformation, QStringLiteral("このタブはロックされています。閉じてもいいですか？"),
                                Dialogs::mbYesNo)
               != Dialogs::mrYes)
        return false;
    services.Tabs().CloseBrowser(&tab);
    return true;
}

void TThreadTabController::ToggleLock()
{
    tab.Locked = !tab.Locked;
    tab.UpdateTabImage();
    services.Views().UpdateBrowserMenu();
}
