#pragma once
// TSiteList: the sites of the registry, in registry order; owns them.

#include <QList>
#include <QString>

class TSite;

class TSiteList {
public:
    TSiteList() = default;
    ~TSiteList();
    TSiteList(const TSiteList &) = delete;
    TSiteList &operator=(const TSiteList &) = delete;

    int Count() const { return sites.size(); }
    TSite *Get(int index) const { return sites.at(index); }
    void Add(TSite *site);   // takes ownership and becomes the site's owner
    void Clear();            // frees every site

    // The site whose SITEID equals the text exactly; nullptr when none.
    TSite *FindBySiteID(const QString &siteId) const;
    // The first site whose INCLUDE patterns claim the URL; nullptr when none.
    TSite *FindByUrl(const QString &url) const;

private:
    QList<TSite *> sites;
};
