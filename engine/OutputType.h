#pragma once

#include <string>
#include <string_view>

namespace pictorant {

// The conversion a job asks for: one type for every file, each file's own type,
// or a word no run knows (a typed one), with which nothing is written.
enum class Conversion { Jpg, Gif, Bmp, Emf, Wmf, NoConversion, Png, Unknown };

// The conversion word read once, compared with case: "jpg", "gif", "bmp", "emf", "wmf",
// kNoConversion or "png"; any other text is Conversion::Unknown.
Conversion conversionOf(std::string_view word);
// The word of a conversion (one of kCreateAsWords); "" for Unknown.
const char* conversionWord(Conversion conversion);

// The type one file is written in; None: nothing is written for it.
enum class OutputType { None, Jpg, Gif, Bmp, Emf, Wmf, Png };

// The output type the conversion gives a source of type `sourceType` (sourceType());
// NoConversion keeps the source's own type when a writer exists for it, and writes PNG
// for the types that are read but not written (WebP, TIFF, HEIC/HEIF).
OutputType outputTypeFor(Conversion conversion, std::string_view sourceType);
// "JPG", "GIF", "BMP", "EMF", "WMF", "PNG" as the picture writers take it; "" for None.
const char* outputTypeText(OutputType type);
// The extension appended for an output type: ".jpg" for OutputType::Jpg.
std::string outputExtension(OutputType type);

} // namespace pictorant
