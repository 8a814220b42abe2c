#include "ui/TextSearch.h"

namespace pictorant {

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

bool isMatchAt(const QString& text, const QString& needle, qsizetype start,
               const FindOptions& options) {
    const qsizetype end = start + needle.size();
    if (needle.isEmpty() || start < 0 || end > text.size())
        return false;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (QStringView(text).mid(start, needle.size()).compare(needle, cs) != 0)
        return false;
    if (!options.wholeWord)
        return true;
    return (start == 0 || !isWordChar(text[start - 1])) &&
           (end == text.size() || !isWordChar(text[end]));
}

qsizetype findNext(const QString& text, const QString& needle, qsizetype selStart, qsizetype selEnd,
                   const FindOptions& options) {
    if (needle.isEmpty())
        return -1;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (options.down) {
        for (qsizetype from = selEnd; from <= text.size();) {
            const qsizetype at = text.indexOf(needle, from, cs);
            if (at < 0)
                return -1;
            if (isMatchAt(text, needle, at, options))
                return at;
            from = at + 1;
        }
        return -1;
    }
    // Up: the whole match must lie before the selection.
    for (qsizetype from = selStart - needle.size(); from >= 0;) {
        const qsizetype at = text.lastIndexOf(needle, from, cs);
        if (at < 0)
            return -1;
        if (isMatchAt(text, needle, at, options))
            return at;
        from = at - 1;
    }
    return -1;
}

int replaceAllMatches(QString& text, const QString& needle, const QString& replacement,
                      const FindOptions& options) {
    FindOptions forward = options;
    forward.down = true;
    // Built once from the pieces between the matches: replacing in place would move the
    // whole tail of the text at every match.
    QString result;
    int count = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = findNext(text, needle, from, from, forward);
        if (at < 0)
            break;
        result += QStringView(text).mid(from, at - from);
        result += replacement;
        from = at + needle.size();
        ++count;
    }
    if (count > 0) {
        result += QStringView(text).mid(from);
        text = std::move(result);
    }
    return count;
}

} // namespace pictorant
