#include "ui/PageEncoding.h"

#include <QStringDecoder>
#include <array>

namespace pictorant {

namespace {

// Windows-1252 for the bytes 0x80 to 0x9F. The five bytes the code page leaves undefined
// keep their Latin-1 meaning (the C1 control of the same number).
constexpr std::array<char16_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

char16_t windows1252Letter(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? cp1252High[byte - 0x80] : char16_t(byte);
}

// The Windows-1252 byte for a UTF-16 unit, or -1.
int windows1252Byte(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return unit;
    for (int i = 0; i < int(cp1252High.size()); ++i)
        if (cp1252High[i] == unit)
            return 0x80 + i;
    return -1;
}

void appendReference(QByteArray& out, char32_t codePoint) {
    out += "&#";
    out += QByteArray::number(quint32(codePoint));
    out += ';';
}

// Walks `text` by code points; a lone surrogate counts as itself.
template <typename Visit> void forEachCodePoint(const QString& text, Visit visit) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            visit(QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else {
            visit(char32_t(c.unicode()));
        }
    }
}

} // namespace

DecodedPage decodePage(const QByteArray& bytes) {
    // Stateless: a sequence cut off at the end is an error, not a wait for more bytes.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return {std::move(text), PageEncoding::Utf8};

    QString letters(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        letters[i] = QChar(windows1252Letter(static_cast<unsigned char>(bytes[i])));
    return {std::move(letters), PageEncoding::Windows1252};
}

QByteArray encodePage(const QString& text, PageEncoding encoding) {
    QByteArray out;
    out.reserve(text.size());
    switch (encoding) {
    case PageEncoding::Utf8: {
        // A lone surrogate has no UTF-8 form; the reference keeps it visible. The runs
        // between such units go to the converter whole.
        qsizetype runStart = 0;
        qsizetype i = 0;
        auto flush = [&](qsizetype end) {
            out += QStringView(text).mid(runStart, end - runStart).toUtf8();
        };
        for (; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                ++i;
                continue;
            }
            if (c.isSurrogate()) {
                flush(i);
                appendReference(out, c.unicode());
                runStart = i + 1;
            }
        }
        flush(i);
        break;
    }
    case PageEncoding::Windows1252:
        forEachCodePoint(text, [&](char32_t cp) {
            const int byte = cp <= 0xFFFF ? windows1252Byte(char16_t(cp)) : -1;
            if (byte >= 0)
                out += char(byte);
            else
                appendReference(out, cp);
        });
        break;
    case PageEncoding::Ascii:
        forEachCodePoint(text, [&](char32_t cp) {
            if (cp < 0x80)
                out += char(cp);
            else
                appendReference(out, cp);
        });
        break;
    }
    return out;
}

} // namespace pictorant
