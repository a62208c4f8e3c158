#include "core/SiteList.h"

#include "core/Site.h"

TSiteList::~TSiteList()
{
    Clear();
}

void TSiteList::Add(TSite *site)
{
    site->Owner = this;
    sites.append(site);
}

void TSiteList::Clear()
{
    qDeleteAll(sites);
    sites.clear();
}

TSite *TSiteList::FindBySiteID(const QString &siteId) const
{
    for (TSite *site : sites) {
        if (site->SITEID == siteId)
            return site;
    }
    return nullptr;
}

TSite *TSiteList::FindByUrl(const QString &url) const
{
    for (TSite *site : sites) {
        if (site->MatchUrl(url))
            return site;
    }
    return nullptr;
}
