#pragma once

#include <QString>

namespace pictorant {

// The editor's search options.
struct FindOptions {
    bool matchCase = false;
    bool wholeWord = false;
    bool down = true;
};

// Where the next match of `needle` starts, or -1. Searching down starts at `selEnd`
// and runs to the end; searching up looks only at text before `selStart`. A whole-word
// match has no letter, digit or underscore on either side.
qsizetype findNext(const QString& text, const QString& needle, qsizetype selStart, qsizetype selEnd,
                   const FindOptions& options);

// Whether text[start, start + needle.size()) is a match under `options`.
bool isMatchAt(const QString& text, const QString& needle, qsizetype start,
               const FindOptions& options);

// Replaces every match from the start of `text` to its end, left to right, never
// looking inside a replacement. Returns the number of replacements.
int replaceAllMatches(QString& text, const QString& needle, const QString& replacement,
                      const FindOptions& options);

} // namespace pictorant
