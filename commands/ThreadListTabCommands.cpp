#include "commands/ThreadListTabCommands.h"

#include "controls/Dialogs.h"
#include "controls/UserFiles.h"
#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Exceptions.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "flows/ThreadListController.h"
#include "render/TavuHintWindow.h"
#include "render/TavuListDoc.h"
#include "services/EventLog.h"
#include "services/ThreadListPane.h"

#include <QAction>
#include <QColorDialog>
#include <algorithm>

namespace {

QString TabStateFile()
{
    return TavuConfig->GetProfileDir() + QStringLiteral("tabthread.txt");
}

// The marks on threads are kept in their .inf files, which exist only in save mode.
bool NeedsSaveMode()
{
    if (TavuEnviron->GetCached())
        return true;
    Dialogs::ShowMessage(Dialogs::mkWarning,
                         QStringLiteral("保存モードになっていません。[ファイル|保存モード]をオンにしてください。"));
    return false;
}

}  // namespace

TThreadListTabCommands::TThreadListTabCommands(TWindowServices &services, QObject *parent)
    : QObject(parent), services(services)
{
    const auto bind = [this](const char *name, const std::function<void()> &handler) {
        this->services.Frame().BindAction(QString::fromUtf8(name), this, handler);
    };
    bind("actThreadListLoadNext", [this] { actThreadListLoadNextExecute(); });
    bind("actThreadListLoadAll", [this] { actThreadListLoadAllExecute(); });
    bind("actThreadListCancelDownload", [this] { actThreadListCancelDownloadExecute(); });
    bind("actThreadListReload", [this] { actThreadListReloadExecute(); });
    bind("actThreadListClose", [this] { actThreadListCloseExecute(); });
    bind("actThreadListCloseAll", [this] { actThreadListCloseAllExecute(false); });
    bind("actThreadListCloseAll2", [this] { actThreadListCloseAllExecute(true); });
    bind("actThreadListLock", [this] { actThreadListLockExecute(); });
    for (const char *mark : {"actThreadListBold", "actThreadListReverse", "actThreadListColor", "actThreadListAbone",
                             "actThreadListSetKakoLog"})
        bind(mark, [this, mark] { actThreadListBoldExecute(QString::fromUtf8(mark)); });
    bind("actThreadListFilter", [this] { actThreadListFilterExecute(); });
    bind("actThreadListSaveTab", [this] { actThreadListSaveTabExecute(); });
    bind("actThreadListLoadTab", [this] { actThreadListLoadTabExecute(); });
    connect(&services.Frame().Events(), &TWindowEvents::ThreadListColumnClicked, this, &TThreadListTabCommands::SortByColumn);
}

void TThreadListTabCommands::HideHint()
{
    services.Views().HintWindow()->hide();
}

// ---- sorting and paging ----

void TThreadListTabCommands::SortByColumn(int column)
{
    HideHint();
    TTavuListDoc *doc = services.ThreadList().ShownListDoc();
    if (!doc)
        return;
    if (doc->Mode == TTavuListDoc::lmHeadline) {
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("ヘッドラインは並べ替えできません。"));
        return;
    }
    // Sorting always shows the whole list.
    doc->PrepareRows(doc->DisplayCount(), doc->Items()->Count());
    doc->SetDisplayCount(doc->Items()->Count());
    ThreadListPane::ClickSortColumn(column, doc->SortColumn, doc->SortFlag);
    doc->Items()->SortColumn = doc->SortColumn;
    doc->Items()->SortAscending = doc->SortFlag;
    const QString id = column == 0 ? QString() : services.ThreadList().ThreadListColumns().value(column - 1);
    const int key = ThreadListPane::ColumnInfo(id).SortKey;
    if (key > 0)
        doc->Items()->Sort(key, doc->SortFlag);
    services.ThreadList().SetThreadListRowCount(doc->DisplayCount(), !TavuConfig->SCROLLTOP);
    if (TavuConfig->SCROLLTOP && doc->DisplayCount() > 0)
        services.ThreadList().SelectThreadRow(doc->Items()->Get(0));
}

void TThreadListTabCommands::actThreadListLoadNextExecute()
{
    HideHint();
    TTavuListDoc *doc = services.ThreadList().ShownListDoc();
    if (!doc)
        return;
    if (TThreadListController::IsPaged(doc->GetBoard())) {
        services.ThreadList().DownloadNextPage(doc);
        return;
    }
    const int next = std::min(doc->DisplayCount() + std::max(doc->PageStep, 1), doc->Items()->Count());
    doc->PrepareRows(services.ThreadList().ThreadListRowCount(), next);
    doc->SetDisplayCount(next);
    services.ThreadList().ThreadListChanged(doc);
    services.Boards().ShowNewThreadCount(doc->CountNewThreads());
    EventLog::PlayEventSound(EventLog::esThreadList);
}

void TThreadListTabCommands::actThreadListLoadAllExecute()
{
    HideHint();
    TTavuListDoc *doc = services.ThreadList().ShownListDoc();
    if (!doc)
        return;
    if (doc->DownloadState == TTavuListDoc::dsDownloading) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("ダウンロードが完了していません。"));
        return;
    }
    if (TThreadListController::IsPaged(doc->GetBoard())) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("このBBSには適用できないコマンドです。"));
        return;
    }
    services.Frame().BeginBusy();
    doc->PrepareRows(services.ThreadList().ThreadListRowCount(), doc->Items()->Count());
    if (TavuConfig->DATOCHIMODE == 2)
        UserFiles::AddFallenThreads(doc);
    doc->SetDisplayCount(doc->Items()->Count());
    services.ThreadList().ThreadListChanged(doc);
    services.Boards().ShowNewThreadCount(doc->CountNewThreads());
    services.Frame().EndBusy();
    EventLog::PlayEventSound(EventLog::esThreadList);
}

// ---- the download ----

void TThreadListTabCommands::actThreadListCancelDownloadExecute()
{
    TTavuListDoc *doc = services.ThreadList().ShownListDoc();
    if (doc && !services.Boards().StopCheckOf(doc))
        doc->CancelDownload();
}

void TThreadListTabCommands::actThreadListReloadExecute()
{
    TTavuListDoc *doc = services.ThreadList().ShownListDoc();
    TBoard *board = doc ? doc->GetBoard() : nullptr;
    if (!board || doc->DownloadState != TTavuListDoc::dsIdle)
        return;
    doc->SortFlag = false;
    services.Reading().OpenBoard(board, true);
}

// ---- tabs ----

void TThreadListTabCommands::actThreadListCloseExecute()
{
    HideHint();
    TTavuListDoc *doc = services.ThreadList().ShownListDoc();
    if (doc && doc->IsLocked() && TavuConfig->THREADTAB_CHECKLOCKCLOSE
        && Dialogs::ShowMessage(Dialogs::mkInformation, QStringLiteral("このタブはロックされています。閉じてもいいですか？"),
                                Dialogs::mbYesNo)
               != Dialogs::mrYes)
        return;
    services.ThreadList().ShowListDoc(nullptr);
    services.Tabs().CloseListDoc(services.Tabs().CurrentListDoc());
}

void TThreadListTabCommands::actThreadListCloseAllExecute(bool allTabs)
{
    HideHint();
    const QList<TTavuListDoc *> docs = services.Tabs().ListDocs();
    if (docs.isEmpty())
        return;
    services.ThreadList().ShowListDoc(nullptr);
    for (qsizetype i = docs.size() - 1; i >= (allTabs ? 0 : 1); --i) {
        TTavuListDoc *doc = docs.at(i);
        if (!doc->IsLocked() && doc->IsSettled())
            services.Tabs().CloseListDoc(doc, false);
    }
    services.Tabs().RedrawListTabs();
    const QList<TTavuListDoc *> left = services.Tabs().ListDocs();
    if (!left.isEmpty())
        left.first()->Activate();
}

void TThreadListTabCommands::actThreadListLockExecute()
{
    TTavuListDoc *doc = services.ThreadList().ShownListDoc();
    if (!doc)
        return;
    doc->SetLocked(!doc->IsLocked());
    if (QAction *lock = services.Frame().Action(QStringLiteral("actThreadListLock")))
        lock->setChecked(doc->IsLocked());
    services.Tabs().RedrawListTabs();
}

// The board tabs in tab-bar order, the shown one marked.
void TThreadListTabCommands::actThreadListSaveTabExecute()
{
    const TTavuListDoc *shown = services.ThreadList().ShownListDoc();
    TTextList lines;
    for (const TTavuListDoc *doc : services.Tabs().ListDocTabOrder()) {
        if (doc->Mode != TTavuListDoc::lmBoard || !doc->Site || doc->BoardID.isEmpty())
            continue;
        lines.Add(ThreadListPane::TabLineText({doc->Site->SITEID, doc->BoardID, doc == shown}));
    }
    try {
        lines.SaveToFile(TabStateFile());
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
}

// Opens the boards of tabthread.txt in file order (boards gone since are skipped) and shows the
// tab that was shown when the file was written.
void TThreadListTabCommands::actThreadListLoadTabExecute()
{
    TTextList lines;
    if (!lines.LoadFromFile(TabStateFile()))
        return;
    TBoard *shown = nullptr;
    for (const QString &text : lines.Lines) {
        ThreadListPane::TTabLine line;
        if (!ThreadListPane::ParseTabLine(text, line))
            continue;
        TSite *site = TavuEnviron->SiteList()->FindBySiteID(line.SiteID);
        TBoard *board = site ? site->Boards->FindByID(line.BoardID) : nullptr;
        if (!board)
            continue;
        services.Reading().OpenBoard(board, false);
        if (line.Shown)
            shown = board;
    }
    if (TTavuListDoc *doc = shown ? services.Tabs().BoardTab(shown) : nullptr)
        doc->Activate();
}

// ---- marks on threads ----

void TThreadListTabCommands::actThreadListBoldExecute(const QString &actionName)
{
    HideHint();
    if (!NeedsSaveMode())
        return;
    TTavuListDoc *doc = services.ThreadList().ShownListDoc();
    if (!doc)
        return;
    TColor color = clWindowText;
    if (actionName == QLatin1String("actThreadListColor")) {
        QColorDialog dialog(services.Frame().Window());
        if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
            return;
        const QColor chosen = dialog.selectedColor();
        color = TColor(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16));
    }
    for (TThreadItem *item : services.ThreadList().SelectedThreads())
        SetThreadMark(doc, item, actionName, color);
    services.Boards().UpdateThreadListMenu();
}

void TThreadListTabCommands::SetThreadMark(TTavuListDoc *doc, TThreadItem *item, const QString &actionName,
                                           TColor color)
{
    TThreadItemList *items = doc->Items();
    const int row = items->IndexOf(item);
    if (row < 0)
        return;
    const int listed = item->AGECOUNT;
    item->LoadInfo();
    item->AGECOUNT = listed;
    if (actionName == QLatin1String("actThreadListBold"))
        item->BOLD = !item->BOLD;
    else if (actionName == QLatin1String("actThreadListReverse"))
        item->REVERSE = !item->REVERSE;
    else if (actionName == QLatin1String("actThreadListColor"))
        item->COLOR = color;
    else if (actionName == QLatin1String("actThreadListSetKakoLog"))
        item->SetKakolog(!item->KAKOLOG);
    else if (actionName == QLatin1String("actThreadListAbone"))
        item->ABONE = true;
    item->SaveInfo();

    if (actionName != QLatin1String("actThreadListAbone")) {
        services.ThreadList().RepaintThreadList();
        return;
    }
    items->Move(row, items->Count() - 1);
    items->Delete(items->Count() - 1);
    doc->SetDisplayCount(std::min(doc->DisplayCount() - 1, items->Count()));
    services.ThreadList().ThreadListChanged(doc);
}

// ---- filter ----

// The threads the filter dialog asks for, in a tab of their own; the list keeps the sort of the
// list it was made from.
void TThreadListTabCommands::actThreadListFilterExecute()
{
    HideHint();
    TTavuListDoc *doc = services.ThreadList().ShownListDoc();
    const ThreadListPane::TFilterDialogHandler &dialog = ThreadListPane::FilterDialog();
    ThreadListPane::TThreadFilter filter;
    if (!doc || !dialog || !dialog(*doc->Items(), filter))
        return;

    auto *result = new TThreadItemList;
    result->SortColumn = doc->Items()->SortColumn;
    result->SortAscending = doc->Items()->SortAscending;
    TTavuListDoc *found = services.ThreadList().NewResultTab(doc->Caption, result, doc->GetBoard());
    found->BoardID = doc->BoardID;
    found->Site = doc->Site;
    const TThreadItemList *items = doc->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TThreadItem *item = items->Get(i);
        if (item->ABONE)
            continue;
        if (ThreadListPane::FilterMatches(*item, filter))
            result->Add(item);
        found->ArrivalItems()->Add(item);
    }
    EventLog::AddLog(QStringLiteral("  →該当件数:%1").arg(result->Count()));
    if (result->Count() == 0) {
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("該当スレッドが見つかりませんでした。"));
        services.Tabs().CloseListDoc(found);
        return;
    }
    found->SetDisplayCount(result->Count());
    services.ThreadList().ThreadListChanged(found);
    EventLog::PlayEventSound(EventLog::esThreadList);
}
