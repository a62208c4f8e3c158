#include "core/BoardListDownloader.h"

#include "core/BoardList.h"

TBoardListDownloader::TBoardListDownloader()
    : Boards(std::make_unique<TBoardList>()), Unclaimed(std::make_unique<TBoardList>())
{
}

TBoardListDownloader::~TBoardListDownloader() = default;
