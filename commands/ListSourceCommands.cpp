#include "commands/ListSourceCommands.h"

#include "boards/FavoritesScript.h"
#include "controls/BoardTree.h"
#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"

#include <QAction>
#include <QFile>
#include <QSet>
#include <QTreeWidget>

TListSourceCommands::TListSourceCommands(TWindowFrameServices &frame, TTabServices &tabs, TReadingServices &reading,
                                         TThreadListServices &threadList, TBoardTreeServices &boardTree,
                                         QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), reading(reading), threadList(threadList), boardTree(boardTree)
{
    frame.BindAction(QStringLiteral("actAllThreads"), this, [this] {
        ShowHistory(TavuConfig->GetProfileDir() + QStringLiteral("readhist.txt"), QStringLiteral("全取得スレ"));
    });
    frame.BindAction(QStringLiteral("actSendHist"), this, [this] {
        ShowHistory(TavuConfig->GetProfileDir() + QStringLiteral("sendhist.txt"), QStringLiteral("全書き込みスレ"));
    });
    frame.BindAction(QStringLiteral("actBoardFavRound"), this, [this] { actBoardFavRoundExecute(true); });
    frame.BindAction(QStringLiteral("actBoardFavCheckUpdate"), this, [this] { actBoardFavRoundExecute(false); });
}

TThreadItemList *TListSourceCommands::ReadHistory(const QString &fileName)
{
    auto *items = new TThreadItemList;
    TTextList history;
    history.LoadFromFile(fileName);
    QSet<QString> seen;
    for (const QString &line : std::as_const(history.Lines)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 3)
            continue;
        const QString id = fields[0] + QLatin1Char('/') + fields[1] + QLatin1Char('/') + fields[2];
        if (seen.contains(id))
            continue;
        auto *item = new TThreadItem;
        if (item->SetLocation(fields[0], fields[1], fields[2], fields.value(3)) && QFile::exists(item->GetLogFile())) {
            item->LoadInfo();
            items->Add(item);
            seen.insert(id);
        }
        item->Release();
    }
    return items;
}

void TListSourceCommands::ShowHistory(const QString &fileName, const QString &caption)
{
    frame.BeginBusy();
    threadList.NewResultTab(caption, ReadHistory(fileName), nullptr);
    frame.EndBusy();
}

void TListSourceCommands::actBoardFavRoundExecute(bool patrol)
{
    if (!TavuConfig->CACHED) {
        Dialogs::ShowMessage(Dialogs::mkWarning,
                             QStringLiteral("保存モードになっていません。[ファイル|保存モード]をオンにしてください。"));
        return;
    }
    if (TavuEnviron->IsOffline()) {
        Dialogs::ShowMessage(Dialogs::mkWarning,
                             QStringLiteral("オンラインモードになっていません。[ファイル|オンライン]をオンにしてください。"));
        return;
    }
    TBoard *board = boardTree.SelectedTreeBoard();
    if (!board)
        return;
    if (board->Kind == TBoard::KIND_FAVORITES) {
        auto *items = new TThreadItemList;
        TFavoritesScript::CollectFolderThreads(board, items);
        TBoard *key = board->Site && board->Site->Boards->Count() > 0 ? board->Site->Boards->Get(0) : nullptr;
        threadList.NewResultTab(board->Name, items, key);
    } else {
        reading.OpenBoard(board, false);
    }
    // The command of the thread-list tab runs on the tab made or shown just now.
    const QString name = patrol ? QStringLiteral("actThreadListRound") : QStringLiteral("actThreadListCheckUpdate");
    QAction *action = frame.Action(name);
    frame.SetActionEnabled(name, true);
    action->trigger();
    frame.SetActionEnabled(name, false);
}
