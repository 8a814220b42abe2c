#pragma once

#include "engine/JobSettings.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pictorant {

// A sequence start or a thumbnail size that does not hold a whole number.
class NotWholeNumberError : public std::runtime_error {
public:
    explicit NotWholeNumberError(std::string_view text);
};

// Reads a text as a whole number by the settings file's integer rule; throws
// NotWholeNumberError otherwise.
int wholeNumberOf(std::string_view text);

// The parts of a source name: the extension is the text after the last dot, the stem
// the text before it; a name without a dot has the whole name as stem and no extension.
std::string sourceExtension(std::string_view name);
std::string sourceStem(std::string_view name);
// The extension in upper case, with "JPEG" counting as "JPG".
std::string sourceType(std::string_view name);

// The sequence number of position p: seqStart read as a whole number, plus p, zero
// padded to the width of seqStart as typed and never cut. Throws NotWholeNumberError.
std::string seqText(std::string_view seqStart, int position);

// The name without extension for the runs that write a new picture.
std::string baseOutputName(const JobSettings& job, std::string_view name, int position);
// The whole new name, extension kept, for the rename and copy runs.
std::string keptTypeName(const JobSettings& job, std::string_view name, int position);

// How the output names will be formed, as one line for a summary of the job.
std::string describeOutputNames(const JobSettings& job);

// Whether the qualifier suits the naming option of a rename: the message to show, or
// nothing.
std::optional<std::string> checkQualifier(const JobSettings& job);

// The captions of the naming options, in NamingOption order, and of the "Naming Options?" help.
const char* namingOptionCaption(NamingOption option);
extern const char* const kNamingOptionsHelp;
extern const char* const kInvalidQualifierMessage;

} // namespace pictorant
