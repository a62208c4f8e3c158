#include "commands/ThreadCommands.h"

#include "commands/CopyFormats.h"
#include "commands/ThreadTabController.h"
#include "controls/Dialogs.h"
#include "controls/UserFiles.h"
#include "controls/WindowServices.h"
#include "core/BBS.h"
#include "core/Exceptions.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuDatStrings.h"
#include "render/TavuHtmlStrings.h"
#include "render/TavuListDoc.h"
#include "services/ResSearch.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QScopeGuard>

namespace {

const QString NoSaveMode = QStringLiteral("保存モードになっていません。[ファイル|保存モード]をオンにしてください。");

}  // namespace

TThreadCommands::TThreadCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    BindTab("actThreadReload", &TThreadTab::Reload);
    BindTab("actThreadCancelDownload", &TThreadTab::Stop);
    BindTab("actThreadRefresh", &TThreadTab::Refetch);
    BindTab("actThreadShowAll", &TThreadTab::ShowAll);
    Bind("actThreadDeleteLog", &TThreadCommands::actThreadDeleteLogExecute);
    Bind("actThreadDeleteLogClose", &TThreadCommands::actThreadDeleteLogCloseExecute);
    Bind("actThreadGoRes", &TThreadCommands::actThreadGoResExecute);
    Bind("actThreadGoBookmark", &TThreadCommands::actThreadGoBookmarkExecute);
    Bind("actThreadDeleteReadPoint", &TThreadCommands::actThreadDeleteReadPointExecute);
    Bind("actThreadSetKokoyonToLast", &TThreadCommands::actThreadSetKokoyonToLastExecute);
    Bind("actThreadOpenThreadList", &TThreadCommands::actThreadOpenThreadListExecute);
    Bind("actThreadSetKakoLog", &TThreadCommands::actThreadSetKakoLogExecute);
    Bind("actThreadResAbone", &TThreadCommands::actThreadResAboneExecute);
    Bind("actThreadExecAction", &TThreadCommands::actThreadExecActionExecute);
    Bind("actThreadSaveLog", &TThreadCommands::actThreadSaveLogExecute);
    Bind("actThreadShow1", &TThreadCommands::actThreadShow1Execute);
    Bind("actThreadReadNext", &TThreadCommands::actThreadReadNextExecute);
    if (QAction *show1 = services.Frame().Action(QStringLiteral("actThreadShow1")))
        connect(show1, &QAction::hovered, this, [this, show1] { actThreadShow1Hint(show1); });
    services.Frame().BindAction(QStringLiteral("actThreadCopyUrl"), this, [this] { actThreadCopyUrlExecute(CopyFormats::tcUrl); });
    services.Frame().BindAction(QStringLiteral("actThreadCopyTitle"), this, [this] { actThreadCopyUrlExecute(CopyFormats::tcTitle); });
    services.Frame().BindAction(QStringLiteral("actThreadCopyTitleUrl"), this,
                        [this] { actThreadCopyUrlExecute(CopyFormats::tcTitleUrl); });
    BindTab("actThreadScrollUp", [](TThreadTab &tab) { tab.ScrollStep(true); });
    BindTab("actThreadScrollDown", [](TThreadTab &tab) { tab.ScrollStep(false); });
    services.Frame().BindAction(QStringLiteral("actThreadOutputDat"), this, [this] { actThreadOutputExecute(false); });
    services.Frame().BindAction(QStringLiteral("actThreadOutputHtml"), this, [this] { actThreadOutputExecute(true); });
}

void TThreadCommands::Bind(const char *name, void (TThreadCommands::*handler)())
{
    services.Frame().BindAction(QString::fromLatin1(name), this, [this, handler] { (this->*handler)(); });
}

void TThreadCommands::BindTab(const char *name, const std::function<void(TThreadTab &)> &operation)
{
    services.Frame().BindAction(QString::fromLatin1(name), this, [this, operation] {
        if (TThreadTab *tab = services.Tabs().FocusedTab())
            operation(*tab);
    });
}

TTavuBrowser *TThreadCommands::ThreadTab(TThreadItem *&item) const
{
    TThreadTab *focused = services.Tabs().FocusedTab();
    item = focused ? focused->Thread() : nullptr;
    return item ? &focused->Tab() : nullptr;
}

bool TThreadCommands::NeedSaveMode(const QString &message) const
{
    if (TavuEnviron->GetCached())
        return false;
    Dialogs::ShowMessage(Dialogs::mkError, message);
    return true;
}

// ---- deleting the log ----

void TThreadCommands::actThreadDeleteLogExecute()
{
    TThreadItem *item = nullptr;
    if (!ThreadTab(item))
        return;
    UserFiles::DeleteThreadLog(item);
    services.ThreadList().RepaintThreadList();
    services.Views().UpdateBrowserMenu();
}

void TThreadCommands::actThreadDeleteLogCloseExecute()
{
    TThreadItem *item = nullptr;
    TTavuBrowser *tab = ThreadTab(item);
    if (!tab)
        return;
    item->AddRef();
    services.Tabs().CloseBrowser(tab);
    UserFiles::DeleteThreadLog(item);
    item->Release();
    services.ThreadList().RepaintThreadList();
}

// ---- copies ----

void TThreadCommands::actThreadCopyUrlExecute(int kind)
{
    TThreadTab *focused = services.Tabs().FocusedTab();
    if (!focused)
        return;
    const TTavuBrowser *tab = &focused->Tab();
    const auto copy = CopyFormats::TThreadCopy(kind);
    const QString text = tab->IsWebPage() || !tab->ThreadItem() ? CopyFormats::PageText(tab->Title, tab->URL, copy)
                                                                : CopyFormats::ThreadText(*tab->ThreadItem(), copy);
    QGuiApplication::clipboard()->setText(text);
}

// ---- responses shown ----

void TThreadCommands::actThreadGoResExecute()
{
    TThreadItem *item = nullptr;
    TTavuBrowser *tab = ThreadTab(item);
    if (!tab)
        return;
    QInputDialog input(services.Frame().Window());
    input.setWindowTitle(QStringLiteral("指定レスへ移動"));
    input.setLabelText(QStringLiteral("レス番号"));
    if (Dialogs::ExecDialog(input) != QDialog::Accepted)
        return;
    const QString text = MonaUtils::ToHalfWidth(input.textValue()).trimmed();
    bool number = false;
    const int n = text.toInt(&number);
    if (!number) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("レス番号を数字で入力してください。"));
        return;
    }
    GoToRes(services.SearchViews(), tab, n);
}

void TThreadCommands::actThreadGoBookmarkExecute()
{
    TThreadItem *item = nullptr;
    if (TTavuBrowser *tab = ThreadTab(item); tab && item->READPOINT > 0)
        GoToRes(services.SearchViews(), tab, item->READPOINT);
}

void TThreadCommands::GoToRes(TSearchViewServices &services, TTavuBrowser *tab, int number)
{
    TResList *list = tab->ResList();
    if (number < 1 || number > list->Count())
        return;
    const TRes *res = list->Get(number - 1);
    if (res->Erased)
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("指定のレスは消去されています。"));
    else if (res->Hidden)
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("指定のレスはNGワードです。"));
    else if (res->Visible)
        tab->ScrollToRes(number);
    else
        services.ShowResInPreview(tab->ThreadItem(), *res);
}

// ---- read point ----

void TThreadCommands::actThreadDeleteReadPointExecute()
{
    TThreadItem *item = nullptr;
    if (!ThreadTab(item))
        return;
    item->READPOINT = 0;
    item->SaveInfo();
    services.Views().UpdateBrowserMenu();
    services.Views().RefreshResView();
}

// The read point goes to the last response that is not erased.
void TThreadCommands::actThreadSetKokoyonToLastExecute()
{
    TThreadItem *item = nullptr;
    TTavuBrowser *tab = ThreadTab(item);
    if (!tab)
        return;
    const TResList *list = tab->ResList();
    int last = list->Count();
    while (last > 0 && list->Get(last - 1)->Erased)
        --last;
    if (last == 0)
        return;
    SetReadPoint(services.Views(), tab, last);
}

void TThreadCommands::SetReadPoint(TThreadViewServices &services, TTavuBrowser *tab, int number)
{
    TThreadItem *item = tab->ThreadItem();
    item->READPOINT = number;
    item->SaveInfo();
    services.UpdateBrowserMenu();
    if (TavuConfig->RELOADKOKOYON)
        services.RefreshResView();
    tab->ScrollToRes(number);
}

// ---- the thread ----

void TThreadCommands::actThreadOpenThreadListExecute()
{
    TThreadItem *item = nullptr;
    if (ThreadTab(item) && item->GetBoard())
        services.Reading().OpenBoard(item->GetBoard(), false);
}

void TThreadCommands::actThreadSetKakoLogExecute()
{
    TThreadItem *item = nullptr;
    TTavuBrowser *tab = ThreadTab(item);
    if (!tab || NeedSaveMode(NoSaveMode))
        return;
    item->SetKakolog(!item->KAKOLOG);
    item->SaveInfo();
    tab->UpdateTabImage();
    services.ThreadList().RepaintThreadList();
    services.Views().UpdateBrowserMenu();
}

// "チェックしたレスを消去": the ticked responses are erased in the log and the view.
void TThreadCommands::actThreadResAboneExecute()
{
    TThreadItem *item = nullptr;
    TTavuBrowser *tab = ThreadTab(item);
    if (!tab || NeedSaveMode(QStringLiteral("この処理は保存モードがオンの場合のみ使用できます。")))
        return;
    EraseRes(services.Views(), tab, tab->GetCheckedResList());
}

void TThreadCommands::EraseRes(TThreadViewServices &services, TTavuBrowser *tab, const QList<TRes *> &responses)
{
    if (responses.isEmpty())
        return;
    for (TRes *res : responses)
        res->Erased = true;
    try {
        tab->ResList()->SaveDat(tab->ThreadItem()->GetLogFile());
    } catch (const EVarnelo &e) {
        services.AddLog(e.Message);
    }
    services.RefreshResView();
}

// "アクションを再適用する": the rules see every response afresh.
void TThreadCommands::actThreadExecActionExecute()
{
    TThreadItem *item = nullptr;
    TTavuBrowser *tab = ThreadTab(item);
    if (!tab)
        return;
    TResList *list = tab->ResList();
    list->HiddenNumbers.clear();
    for (int i = 0; i < list->Count(); ++i) {
        TRes *res = list->Get(i);
        res->RuleMark = false;
        res->Hidden = false;
    }
    services.Views().RefreshResView();
    if (TavuEnviron->GetCached())
        SaveLog(tab, item);
}

void TThreadCommands::actThreadSaveLogExecute()
{
    TThreadItem *item = nullptr;
    if (TTavuBrowser *tab = ThreadTab(item))
        SaveLog(tab, item);
}

void TThreadCommands::SaveLog(TTavuBrowser *tab, TThreadItem *item)
{
    try {
        tab->ResList()->SaveDat(item->GetLogFile());
    } catch (const EVarnelo &e) {
        services.Views().AddLog(e.Message);
        return;
    }
    if (!item->SaveInfo())
        services.Views().AddLog(QStringLiteral("→書き込めません: ") + item->GetInfFile());
}

// The tab's responses as a dat file or as an HTML page with the tab's skin.
void TThreadCommands::actThreadOutputExecute(bool html)
{
    TThreadItem *item = nullptr;
    TTavuBrowser *tab = ThreadTab(item);
    if (!tab)
        return;
    QFileDialog save(services.Frame().Window(), html ? QStringLiteral("HTMLを保存") : QStringLiteral("DATを保存"));
    save.setAcceptMode(QFileDialog::AcceptSave);
    save.setNameFilters(html ? QStringList{QStringLiteral("HTML (*.htm)"), QStringLiteral("HTML (*.html)"),
                                           QStringLiteral("すべてのファイル (*.*)")}
                             : QStringList{QStringLiteral("２ちゃんねるDAT形式 (*.dat)"), QStringLiteral("すべてのファイル (*.*)")});
    save.setDefaultSuffix(html ? QStringLiteral("htm") : QStringLiteral("dat"));
    save.selectFile(item->GetKey() + QLatin1Char('.') + save.defaultSuffix());   // named as the thread's log
    if (Dialogs::ExecDialog(save) != QDialog::Accepted || save.selectedFiles().isEmpty())
        return;
    const QString path = save.selectedFiles().first();
    try {
        if (html) {
            TTavuHtmlStrings page;
            page.Skin = tab->Skin;
            page.ResList = tab->ResList();
            page.Site = item->Site;
            page.BoardID = item->BoardID;
            services.Views().RenderResList(&page, tab->ResList());
            page.SaveToFile(path);
        } else {
            TTavuDatStrings dat;
            dat.Site = item->Site;
            dat.BoardID = item->BoardID;
            services.Views().RenderResList(&dat, tab->ResList());
            dat.SaveToFile(path);
        }
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
}

// ---- favourites, priority, comment ----

// A favourite leaves the favourites; any other thread (or a web page) is added to the folder the
// favourite dialog chooses.
// Response 1 alone in the second view.
void TThreadCommands::actThreadShow1Execute()
{
    TThreadItem *item = nullptr;
    TTavuBrowser *tab = ThreadTab(item);
    if (tab && tab->ResList()->Count() > 0)
        services.SearchViews().ShowResInPreview(item, *tab->ResList()->Get(0));
}

// The hint of "１のレス表示" is the text of response 1.
void TThreadCommands::actThreadShow1Hint(QAction *action)
{
    TThreadItem *item = nullptr;
    TTavuBrowser *tab = ThreadTab(item);
    if (tab && tab->ResList()->Count() > 0)
        action->setStatusTip(MonaUtils::HtmlToText(tab->ResList()->Get(0)->Body));
}

// "次のスレッドへ": the next thread of the current thread list, after the one shown, that has
// responses not read yet; past logs and local logs are passed over. It opens without a download.
void TThreadCommands::actThreadReadNextExecute()
{
    TThreadItem *item = nullptr;
    TTavuListDoc *doc = services.Tabs().CurrentListDoc();
    if (!ThreadTab(item) || !doc || !doc->Items())
        return;
    const TThreadItemList &items = *doc->Items();
    // The thread's place is found by its key: no item is made for the rows before it.
    int from = -1;
    for (int i : items.IndexesOfKey(item->KeyView())) {
        const TThreadItem *candidate = items.Get(i);
        if (candidate->IsSameThread(*item)) {
            from = i;
            break;
        }
    }
    if (from < 0)
        return;
    services.Frame().BeginBusy();
    const auto endBusy = qScopeGuard([this] { services.Frame().EndBusy(); });
    for (int i = from + 1; i < items.Count(); ++i) {
        TThreadItem *next = items.Get(i);
        if (i >= doc->DisplayCount())
            doc->UpdateList(next, false);   // rows not shown yet read their .inf first
        const bool unread = next->AGECOUNT > next->READ || next->COUNT > next->READ;
        if (!next->KAKOLOG && !next->LOCALLOG && unread) {
            next->DownloadRequest = false;
            services.Reading().OpenThread(next, false, false, true, 0);
            return;
        }
    }
}
