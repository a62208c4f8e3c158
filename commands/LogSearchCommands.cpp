#include "commands/LogSearchCommands.h"

#include "controls/BarsAndMenus.h"
#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "tools/FindWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QProgressDialog>

namespace {

// The board of the current thread-list tab, else of the current thread tab.
TBoard *CurrentBoard(const TTabServices &tabs)
{
    if (TTavuListDoc *doc = tabs.CurrentListDoc(); doc && doc->GetBoard())
        return doc->GetBoard();
    TTavuBrowser *tab = tabs.CurrentBrowser();
    return tab ? tab->GetBoard() : nullptr;
}

// The board of a site id and board id; nullptr when it is gone.
TBoard *FindBoard(const QPair<QString, QString> &ids)
{
    TSite *site = TavuEnviron->SiteList() ? TavuEnviron->SiteList()->FindBySiteID(ids.first) : nullptr;
    return site ? site->Boards->FindByID(ids.second) : nullptr;
}

// The thread of a hit, as the result tab lists it.
TThreadItem *HitItem(TBoard *board, const LogSearch::THit &hit, int number)
{
    auto *item = new TThreadItem;
    if (!item->SetLocation(board->Site ? board->Site->SITEID : QString(), board->ID, hit.DatName, hit.Title)) {
        item->SetBoard(board);
        item->DatName = hit.DatName;
        item->TITLE = hit.Title;
    }
    if (hit.Fetched)
        item->LoadInfo();
    item->Number = number;
    return item;
}

}  // namespace

TLogSearchCommands::TLogSearchCommands(TWindowFrameServices &frame, TTabServices &tabs, TThreadViewServices &views,
                                       TThreadListServices &threadList, QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), views(views), threadList(threadList)
{
    frame.BindAction(QStringLiteral("actFindLog"), this, [this] { actFindLogExecute(); });
}

TLogSearchCommands::~TLogSearchCommands()
{
    delete worker;   // stops the walk and waits for it
}

void TLogSearchCommands::actFindLogExecute()
{
    if (worker) {   // one search at a time: the running one comes forward
        if (progress)
            progress->raise();
        return;
    }
    TFindWindow dialog(frame.Window());
    dialog.FillBoardList();
    dialog.SetCurrentBoard(CurrentBoard(tabs));
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    LogSearch::TQuery query;
    query.TitleTerms = LogSearch::SplitTerms(dialog.ComboBox1->currentText());
    query.LogTerms = LogSearch::SplitTerms(dialog.ComboBox2->currentText());
    query.Unfetched = dialog.CheckBox1->isChecked();
    Start(dialog.ChosenBoards(), query);
}

void TLogSearchCommands::Start(const QList<TBoard *> &chosen, const LogSearch::TQuery &query)
{
    boards.clear();
    QList<LogSearch::TScope> scopes;
    for (const TBoard *board : chosen) {
        views.AddLog(board->Name);
        scopes << LogSearch::TScope{board->GetLogDir(), int(boards.size())};
        boards << qMakePair(board->Site ? board->Site->SITEID : QString(), board->ID);
    }
    frame.BeginBusy();
    worker = new LogSearch::TLogSearchWorker(scopes, query, this);
    progress = new QProgressDialog(QStringLiteral("ログを検索しています..."), QStringLiteral("キャンセル(&C)"), 0, 100,
                                   frame.Window());
    progress->setWindowTitle(QStringLiteral("ログ検索"));
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setMinimumDuration(0);
    progress->setValue(0);
    connect(progress, &QProgressDialog::canceled, worker, &LogSearch::TLogSearchWorker::Cancel);
    connect(worker, &LogSearch::TLogSearchWorker::Progress, progress, [this](int done, int total) {
        progress->setMaximum(std::max(total, 1));
        progress->setValue(done);
    });
    connect(worker, &LogSearch::TLogSearchWorker::Finished, this,
            [this](const QList<LogSearch::THit> &hits) { Finish(hits); });
    worker->Start();
}

void TLogSearchCommands::Finish(const QList<LogSearch::THit> &hits)
{
    if (progress) {
        progress->disconnect(worker);
        progress->close();
    }
    worker->deleteLater();
    worker = nullptr;
    frame.EndBusy();

    auto *items = new TThreadItemList;
    for (const LogSearch::THit &hit : hits) {
        TBoard *board = FindBoard(boards.at(hit.Tag));
        if (!board)
            continue;
        TThreadItem *item = HitItem(board, hit, items->Count() + 1);
        items->Add(item);
        item->Release();
    }
    const int found = items->Count();
    views.AddLog(QStringLiteral("検索結果 = %1件").arg(found));
    if (found == 0) {
        delete items;
        Dialogs::ShowMessage(Dialogs::mkInformation, QStringLiteral("見つかりませんでした。"));
    } else {
        threadList.NewResultTab(QStringLiteral("ログ検索結果"), items, nullptr);
        EventLog::PlayEventSound(EventLog::esThreadList);
    }
    emit SearchDone(found);
}
