#pragma once

#include <QByteArray>
#include <QString>

namespace pictorant {

// How the editor turns a page's bytes into text and back.
enum class PageEncoding {
    // Valid UTF-8 (a byte-order mark is kept as a character, so it is written back).
    Utf8,
    // Anything else: every byte is one letter, Windows-1252 where that code page defines
    // the byte and Latin-1 for the five it leaves undefined (0x81, 0x8D, 0x8F, 0x90,
    // 0x9D), so no byte is ever lost.
    Windows1252,
    // The pages the program writes: ASCII only, whatever is typed into them.
    Ascii,
};

struct DecodedPage {
    QString text;
    PageEncoding encoding = PageEncoding::Utf8;
};

// The text of a file's bytes and the encoding they were read in: UTF-8 when the bytes
// are valid UTF-8, else Windows-1252.
DecodedPage decodePage(const QByteArray& bytes);

// The bytes of `text` in `encoding`. A letter the encoding cannot hold is written as a
// decimal numeric character reference ("&#8364;"), which every browser reads as that
// letter whatever the page's character set. decodePage(encodePage(t, e)) gives t back
// for Windows-1252 text, and every byte of a decoded page is written back unchanged.
QByteArray encodePage(const QString& text, PageEncoding encoding);

} // namespace pictorant
