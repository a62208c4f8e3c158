#pragma once
// TBBSList: the registered board types, in registration order; owns them.

#include <QString>
#include <memory>
#include <vector>

class TBBS;

class TBBSList {
public:
    TBBSList();
    ~TBBSList();
    TBBSList(const TBBSList &) = delete;
    TBBSList &operator=(const TBBSList &) = delete;

    int Count() const { return static_cast<int>(items.size()); }
    TBBS *Get(int index) const { return items.at(index).get(); }
    void Add(TBBS *bbs);   // takes ownership
    void Clear();

    // The type whose id equals the text ignoring case; nullptr when none.
    TBBS *FindByID(const QString &id) const;

private:
    std::vector<std::unique_ptr<TBBS>> items;
};
