#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <vector>

// Rebuilds `items` in the order of `wanted`: an item whose name (`nameOf`, compared without case)
// is still wanted is kept with all it holds, the others go, and `make(name)` makes the missing
// ones. Returns the items it made, for the caller to start.
template<typename Item, typename NameOf, typename Make>
std::vector<Item *> keepWanted(
    std::vector<std::unique_ptr<Item>> &items, const QStringList &wanted, NameOf nameOf, Make make)
{
    std::vector<std::unique_ptr<Item>> next;
    std::vector<Item *> made;
    for (const QString &name : wanted) {
        auto kept = std::find_if(items.begin(), items.end(),
            [&](const auto &item) { return item && nameOf(*item).compare(name, Qt::CaseInsensitive) == 0; });
        if (kept != items.end()) {
            next.push_back(std::move(*kept));
            continue;
        }
        next.push_back(make(name));
        made.push_back(next.back().get());
    }
    items = std::move(next);
    return made;
}
