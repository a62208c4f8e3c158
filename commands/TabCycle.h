#pragma once
// The next and prior tab of a tab bar: one step along the buttons, past the last back to the first
// and before the first to the last.

#include <QList>

template <typename Tab>
Tab *NextTabInCycle(const QList<Tab *> &tabs, Tab *current, int step)
{
    if (tabs.size() < 2)
        return nullptr;
    const qsizetype at = tabs.indexOf(current);
    const qsizetype size = tabs.size();
    return tabs.at(((at < 0 ? 0 : at + step) % size + size) % size);
}
