#include "ui/DuplicateNames.h"

#include "engine/Naming.h"

#include <algorithm>
#include <vector>

namespace pictorant {

std::optional<std::pair<QString, QString>> findDuplicateNames(const QStringList& names) {
    struct Key {
        QString stem;
        int position;
    };
    std::vector<Key> keys;
    keys.reserve(names.size());
    for (int i = 0; i < names.size(); ++i)
        keys.push_back({QString::fromStdString(sourceStem(names[i].toStdString())), i});

    // Sorted without regard to case, and by exact text among stems that differ only in
    // case, so that equal stems always end up side by side.
    std::stable_sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        const int folded = a.stem.compare(b.stem, Qt::CaseInsensitive);
        if (folded != 0)
            return folded < 0;
        return a.stem < b.stem;
    });

    std::optional<std::pair<QString, QString>> found;
    for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
        if (keys[i].stem != keys[i + 1].stem)
            continue;
        const int first = std::min(keys[i].position, keys[i + 1].position);
        const int second = std::max(keys[i].position, keys[i + 1].position);
        found = std::make_pair(names[first], names[second]);
    }
    return found;
}

} // namespace pictorant
