#include "commands/LogSearchCommands.h"

#include "commands/WindowServices.h"
#include "core/Board.h"
#include "core/Site.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "mainwindow/Dialogs.h"
#include "mainwindow/KpwServices.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "tools/FindWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QProgressDialog>

namespace {

// The board of the current thread-list tab, else of the current thread tab.
TBoard *CurrentBoard(const TWindowServices &services)
{
    if (TTavuListDoc *doc = services.CurrentListDoc(); doc && doc->GetBoard())
        return doc->GetBoard();
    TTavuBrowser *tab = services.CurrentBrowser();
    return tab ? tab->GetBoard() : nullptr;
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

TLogSearchCommands::TLogSearchCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    services.BindAction(QStringLiteral("actFindLog"), this, [this] { actFindLogExecute(); });
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
    TFindWindow dialog(services.Window());
    dialog.FillBoardList();
    dialog.SetCurrentBoard(CurrentBoard(services));
    if (Kpwfunc::ExecDialog(dialog) != QDialog::Accepted)
        return;
    LogSearch::TQuery query;
    query.TitleTerms = LogSearch::SplitTerms(dialog.ComboBox1->currentText());
    query.LogTerms = LogSearch::SplitTerms(dialog.ComboBox2->currentText());
    query.Unfetched = dialog.CheckBox1->isChecked();
    Start(dialog.ChosenBoards(), query);
}

void TLogSearchCommands::Start(const QList<TBoard *> &chosen, const LogSearch::TQuery &query)
{
    boards = chosen;
    QList<LogSearch::TScope> scopes;
    for (int i = 0; i < boards.size(); ++i) {
        Kpwfunc::AddLog(boards[i]->Name);
        scopes << LogSearch::TScope{boards[i]->GetLogDir(), i};
    }
    services.BeginBusy();
    worker = new LogSearch::TLogSearchWorker(scopes, query, this);
    progress = new QProgressDialog(QStringLiteral("ログを検索しています..."), QStringLiteral("キャンセル(&C)"), 0, 100,
                                   services.Window());
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
    services.EndBusy();

    auto *items = new TThreadItemList;
    for (const LogSearch::THit &hit : hits) {
        TThreadItem *item = HitItem(boards.at(hit.Tag), hit, items->Count() + 1);
        items->Add(item);
        item->Release();
    }
    Kpwfunc::AddLog(QStringLiteral("検索結果 = %1件").arg(hits.size()));
    if (hits.isEmpty()) {
        delete items;
        Kpwfunc::ShowMessage(Kpwfunc::mkInformation, QStringLiteral("見つかりませんでした。"));
    } else {
        services.NewResultListDoc(QStringLiteral("ログ検索結果"), items);
        Kpwfunc::PlayEventSound(Kpwfunc::esThreadList);
    }
    emit SearchDone(int(hits.size()));
}
