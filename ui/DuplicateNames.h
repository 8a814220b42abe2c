#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace pictorant {

// Two selected names that would write the same output file: they have the same stem
// (the text before the last dot; letter case counts). Among several such pairs the one
// that sorts last, comparing stems without regard to case, is returned, its two names in
// list order. Nothing when no two stems are equal.
std::optional<std::pair<QString, QString>> findDuplicateNames(const QStringList& names);

} // namespace pictorant
