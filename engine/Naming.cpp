#include "engine/Naming.h"

#include "settings/SettingsFile.h"

#include <cctype>

namespace pictorant {

const char* const kNamingOptionsHelp =
    "The Output File Qualifier can be a prefix or a suffix.  Prefix with seq# will make files "
    "with names of Qualifiernnn.***, where nnn is the sequence number.  Prefix with file name "
    "will make files with names of QualifierOoo.*** where Ooo is the original filename "
    "(without the file type).  The suffix options work similarly;  Suffix with file name will "
    "make files with names of OooQualifier.***";

const char* const kInvalidQualifierMessage =
    "Invalid output qualifier for option chosen.  Please specify a qualifier, or choose a "
    "different naming option.";

NotWholeNumberError::NotWholeNumberError(std::string_view text)
    : std::runtime_error("'" + std::string(text) + "' is not a valid integer value") {}

int wholeNumberOf(std::string_view text) {
    auto value = parseWholeNumber(text);
    if (!value)
        throw NotWholeNumberError(text);
    return *value;
}

std::string sourceExtension(std::string_view name) {
    auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::string sourceStem(std::string_view name) {
    return std::string(name.substr(0, name.rfind('.')));
}

std::string sourceType(std::string_view name) {
    std::string type = sourceExtension(name);
    for (char& c : type)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return type == "JPEG" ? "JPG" : type;
}

std::string seqText(std::string_view seqStart, int position) {
    const long long number = static_cast<long long>(wholeNumberOf(seqStart)) + position;
    std::string digits = std::to_string(number);
    // Right-aligned in the typed width with spaces, then every space made a "0".
    if (digits.size() < seqStart.size())
        digits.insert(0, seqStart.size() - digits.size(), '0');
    return digits;
}

std::string baseOutputName(const JobSettings& job, std::string_view name, int position) {
    const std::string& q = job.qualifier;
    switch (job.namingOption) {
    case NamingOption::PreSeq:
        return q + seqText(job.seqStart, position);
    case NamingOption::PreName:
        return q + sourceStem(name);
    case NamingOption::SufSeq:
        return seqText(job.seqStart, position) + q;
    case NamingOption::SufName:
        return sourceStem(name) + q;
    }
    return {};
}

std::string keptTypeName(const JobSettings& job, std::string_view name, int position) {
    if (job.namingOption == NamingOption::PreName)
        return job.qualifier + std::string(name);
    // A name without a dot has no extension, and none is added.
    const bool hasDot = name.find('.') != std::string_view::npos;
    const std::string ext = hasDot ? "." + sourceExtension(name) : std::string();
    return baseOutputName(job, name, position) + ext;
}

std::string describeOutputNames(const JobSettings& job) {
    const std::string& q = job.qualifier;
    switch (job.namingOption) {
    case NamingOption::PreSeq:
        return "...Will start with " + q + job.seqStart + " and be numbered sequentially";
    case NamingOption::PreName:
        if (q.empty())
            return "...Will not be changed.";
        return "...Will start with " + q + " and then have the original name appended.";
    case NamingOption::SufSeq:
        return "...Will start with " + job.seqStart + q + " and be numbered sequentially";
    case NamingOption::SufName:
        if (q.empty())
            return "...Will not be changed.";
        return "...Will start with the original file name and then have " + q + " appended.";
    }
    return {};
}

std::optional<std::string> checkQualifier(const JobSettings& job) {
    const bool nameOption =
        job.namingOption == NamingOption::PreName || job.namingOption == NamingOption::SufName;
    if (job.mode == JobMode::RenameCopyConvert && job.renameOnly && nameOption &&
        job.qualifier.empty())
        return std::string(kInvalidQualifierMessage);
    return std::nullopt;
}

const char* namingOptionCaption(NamingOption option) {
    static const char* const captions[] = {
        "Qualifier as Prefix with Seq#", "Qualifier as Prefix with File Name",
        "Qualifier as Suffix with Seq#", "Qualifier as Suffix with File Name"};
    return captions[static_cast<int>(option)];
}

} // namespace pictorant
