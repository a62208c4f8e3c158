#include "core/TargetBoard.h"

const QString &TTargetBoard::AllSites()
{
    static const QString all = QStringLiteral("#ALL");
    return all;
}

bool TTargetBoard::Targets(const QString &siteId, const QString &boardId) const
{
    if (SiteID == AllSites())
        return true;
    if (SiteID != siteId)
        return false;
    return AllBoards || BoardID == boardId;
}

void TTargetBoardList::Add(std::unique_ptr<TTargetBoard> board)
{
    boards.push_back(std::move(board));
}

void TTargetBoardList::Add(const QString &siteId, const QString &boardId, bool allBoards)
{
    boards.push_back(std::make_unique<TTargetBoard>(siteId, boardId, allBoards));
}

TTargetBoard *TTargetBoardList::Get(int index) const
{
    return boards.at(static_cast<size_t>(index)).get();
}

bool TTargetBoardList::Targets(const QString &siteId, const QString &boardId) const
{
    for (const auto &board : boards) {
        if (board->Targets(siteId, boardId))
            return true;
    }
    return false;
}
