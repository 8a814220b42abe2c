#include "engine/OutputType.h"

#include "settings/MainSettings.h"

#include <cctype>

namespace pictorant {

namespace {

// In Conversion order, which is the order of kCreateAsWords.
constexpr OutputType kConvertedTo[] = {OutputType::Jpg, OutputType::Gif, OutputType::Bmp,
                                       OutputType::Emf, OutputType::Wmf};

} // namespace

Conversion conversionOf(std::string_view word) {
    for (int i = 0; i < int(Conversion::Unknown); ++i)
        if (word == kCreateAsWords[i])
            return Conversion(i);
    return Conversion::Unknown;
}

const char* conversionWord(Conversion conversion) {
    return conversion == Conversion::Unknown ? "" : kCreateAsWords[int(conversion)];
}

OutputType outputTypeFor(Conversion conversion, std::string_view sourceType) {
    if (conversion < Conversion::NoConversion)
        return kConvertedTo[int(conversion)];
    if (conversion == Conversion::Png)
        return OutputType::Png;
    if (conversion == Conversion::NoConversion) {
        for (OutputType type : kConvertedTo)
            if (sourceType == outputTypeText(type))
                return type;
        for (const char* readOnly : {"PNG", "WEBP", "TIF", "TIFF", "HEIC", "HEIF"})
            if (sourceType == readOnly)
                return OutputType::Png;
    }
    return OutputType::None;
}

const char* outputTypeText(OutputType type) {
    static const char* const texts[] = {"", "JPG", "GIF", "BMP", "EMF", "WMF", "PNG"};
    return texts[int(type)];
}

std::string outputExtension(OutputType type) {
    std::string extension = std::string(".") + outputTypeText(type);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

} // namespace pictorant
