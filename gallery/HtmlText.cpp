#include "gallery/HtmlText.h"

#include <cstdint>

namespace pictorant {

namespace {

const char kHex[] = "0123456789ABCDEF";

void appendHexByte(std::string& out, unsigned char byte) {
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

void appendPercent(std::string& out, unsigned char byte) {
    out += '%';
    appendHexByte(out, byte);
}

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// Decodes one UTF-8 sequence at `text[i]`. Returns its length and sets `codePoint`;
// a byte that starts no valid sequence is taken alone as U+FFFD.
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, least = 0x10000;
    } else {
        codePoint = 0xFFFD;
        return 1;
    }
    if (i + length > text.size()) {
        codePoint = 0xFFFD;
        return 1;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if ((c & 0xC0) != 0x80) {
            codePoint = 0xFFFD;
            return 1;
        }
        value = (value << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not letters of any name.
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        codePoint = 0xFFFD;
        return 1;
    }
    codePoint = value;
    return length;
}

void appendReference(std::string& out, char32_t codePoint) {
    out += "&#";
    out += std::to_string(static_cast<std::uint32_t>(codePoint));
    out += ';';
}

std::string encodeUrl(std::string_view text, std::string_view keep) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (keep.find(ch) != std::string_view::npos) {
            out += ch;
            continue;
        }
        switch (ch) {
        case '"':
        case '\'':
        case '#':
        case '%':
        case '?':
        case '<':
        case '&':
        // A browser reads a backslash in a URL as "/", and the frames script as an escape.
        case '\\':
            appendPercent(out, c);
            continue;
        default:
            break;
        }
        if (c >= 0x80 || isControl(c))
            appendPercent(out, c);
        else
            out += ch;
    }
    return out;
}

} // namespace

std::string ColorToHtmlHex(Colour colour) {
    std::string out;
    appendHexByte(out, static_cast<unsigned char>(colour & 0xFF));
    appendHexByte(out, static_cast<unsigned char>((colour >> 8) & 0xFF));
    appendHexByte(out, static_cast<unsigned char>((colour >> 16) & 0xFF));
    return out;
}

std::string UrlEncodedName(std::string_view name) {
    return encodeUrl(name, {});
}

std::string UrlEncodedPath(std::string_view path, std::string_view keep) {
    return encodeUrl(path, keep);
}

std::string AsciiUrl(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80)
            appendPercent(out, c);
        else
            out += ch;
    }
    return out;
}

std::string EscapedNameText(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const char ch = name[i];
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80) {
            char32_t codePoint = 0;
            i += decodeUtf8(name, i, codePoint);
            appendReference(out, codePoint);
            continue;
        }
        ++i;
        if (ch == '<')
            out += "&lt;";
        else if (ch == '&')
            out += "&amp;";
        else if (ch == '"')
            out += "&quot;";
        else if (isControl(c))
            appendReference(out, c);
        else
            out += ch;
    }
    return out;
}

std::string AsciiText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            out += text[i++];
            continue;
        }
        char32_t codePoint = 0;
        i += decodeUtf8(text, i, codePoint);
        appendReference(out, codePoint);
    }
    return out;
}

} // namespace pictorant
