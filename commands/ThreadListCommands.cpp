#include "commands/ThreadListCommands.h"

#include "commands/TabCycle.h"
#include "controls/UserFiles.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/ThreadItem.h"
#include "render/TavuListDoc.h"

#include <QClipboard>
#include <QGuiApplication>

TThreadListCommands::TThreadListCommands(TWindowFrameServices &frame, TTabServices &tabs, TBoardServices &boards,
                                         TThreadListServices &threadList,
                                         TBoardTreeServices &boardTree,
                                         QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), boards(boards), threadList(threadList), boardTree(boardTree)
{
    const std::pair<const char *, CopyFormats::TThreadCopy> copies[] = {
        {"Url", CopyFormats::tcUrl}, {"Title", CopyFormats::tcTitle}, {"TitleUrl", CopyFormats::tcTitleUrl}};
    for (const auto &[suffix, kind] : copies) {
        frame.BindAction(QStringLiteral("actThreadListCopy") + QLatin1String(suffix), this,
                            [this, kind = kind] { actThreadListCopyUrlExecute(kind); });
        frame.BindAction(QStringLiteral("actBoardCopy") + QLatin1String(suffix), this,
                            [this, kind = kind] { actBoardCopyUrlExecute(kind); });
    }
    frame.BindAction(QStringLiteral("actThreadListNextTab"), this, [this] { actThreadListNextTabExecute(1); });
    frame.BindAction(QStringLiteral("actThreadListPriorTab"), this, [this] { actThreadListNextTabExecute(-1); });
    frame.BindAction(QStringLiteral("actThreadListDeleteLog"), this, [this] { actThreadListDeleteLogExecute(); });
    frame.BindAction(QStringLiteral("actThreadListShowLocal"), this, [this] { actThreadListShowLocalExecute(); });
}

// The lines of every selected row, one after the other.
void TThreadListCommands::actThreadListCopyUrlExecute(CopyFormats::TThreadCopy kind)
{
    QString text;
    for (const TThreadItem *item : threadList.SelectedThreads())
        text += CopyFormats::ThreadText(*item, kind);
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void TThreadListCommands::actBoardCopyUrlExecute(CopyFormats::TThreadCopy kind)
{
    if (const TBoard *board = boardTree.SelectedTreeBoard())
        QGuiApplication::clipboard()->setText(CopyFormats::PageText(board->Name, board->URL, kind));
}

void TThreadListCommands::actThreadListNextTabExecute(int step)
{
    if (TTavuListDoc *next = NextTabInCycle(tabs.ListDocTabOrder(), tabs.CurrentListDoc(), step))
        next->Activate();
}

// Last row first, as every command on the rows.
void TThreadListCommands::actThreadListDeleteLogExecute()
{
    const QList<TThreadItem *> items = threadList.SelectedThreads();
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        UserFiles::DeleteThreadLog(*it);
        boards.ThreadStateChanged(*it);
    }
}

void TThreadListCommands::actThreadListShowLocalExecute()
{
    TTavuListDoc *doc = tabs.CurrentListDoc();
    if (!doc)
        return;
    frame.BeginBusy();
    UserFiles::ListLocalLogs(doc);
    if (const TBoard *board = doc->GetBoard())
        doc->SetCaption(QStringLiteral("全取得ｽﾚ：") + board->Name);
    tabs.RedrawListTabs();
    frame.EndBusy();
    threadList.ThreadListChanged(doc);
}
