#pragma once

#include <stdexcept>
#include <string>

namespace pictorant {

// A picture that cannot be read or written. what() is the text shown to the user,
// e.g. "Bitmap image is not valid" or "JPEG error #42".
class PictureError : public std::runtime_error {
public:
    explicit PictureError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace pictorant
