#include "core/BBSList.h"

#include "core/BBS.h"

TBBSList::TBBSList() = default;
TBBSList::~TBBSList() = default;

void TBBSList::Add(TBBS *bbs)
{
    items.emplace_back(bbs);
}

void TBBSList::Clear()
{
    items.clear();
}

TBBS *TBBSList::FindByID(const QString &id) const
{
    for (const auto &bbs : items) {
        if (bbs->ID.compare(id, Qt::CaseInsensitive) == 0)
            return bbs.get();
    }
    return nullptr;
}
