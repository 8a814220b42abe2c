#pragma once

#include "settings/GalleryOptions.h"

#include <string>
#include <string_view>

namespace pictorant {

// The six hex digits that follow "#" in a colour attribute: red, green, blue, upper case.
// Red 255, green 0, blue 0 (0x0000FF) gives "FF0000".
std::string ColorToHtmlHex(Colour colour);

// Gallery pages are pure ASCII whatever the names hold. The helpers below take UTF-8
// text (or any bytes: a name that is not valid UTF-8 still reaches its file).

// A file name as it goes into a URL (HREF, SRC, the frames script's argument): the
// characters " ' # % ? < & \, control characters and every byte of a non-ASCII letter
// become %XX. A space and every other plain character stay as they are.
std::string UrlEncodedName(std::string_view name);

// A computed folder text (relative path, file:// folder) as it goes into a link field:
// UrlEncodedName, except that `keep` (the path separators) stays as it is.
std::string UrlEncodedPath(std::string_view path, std::string_view keep);

// A prefix the user typed: used as typed, only bytes outside ASCII become %XX.
std::string AsciiUrl(std::string_view text);

// A file name shown as text (caption link, ALT): "<", "&" and the quotation mark as
// entities, control characters and non-ASCII letters as numeric references (&#233;).
std::string EscapedNameText(std::string_view name);

// A text the user typed (banner, caption, table fields), which may hold markup on
// purpose: only non-ASCII letters become numeric references.
std::string AsciiText(std::string_view text);

} // namespace pictorant
