#include "BatchCommand.h"

#include <algorithm>

namespace pictorant::batch {

bool ParsedArgs::has(const std::string& name) const {
    return values.count(name) > 0 || std::find(flags.begin(), flags.end(), name) != flags.end();
}

std::optional<std::string> ParsedArgs::value(const std::string& name) const {
    auto it = values.find(name);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

ParsedArgs parseArgs(const std::vector<std::string>& args, const std::vector<std::string>& valued,
                     const std::vector<std::string>& flags) {
    auto listed = [](const std::vector<std::string>& names, const std::string& n) {
        return std::find(names.begin(), names.end(), n) != names.end();
    };
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a.compare(0, 2, "--") != 0) {
            parsed.positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = a;
        std::optional<std::string> inlineValue;
        if (auto eq = a.find('='); eq != std::string::npos) {
            name = a.substr(0, eq);
            inlineValue = a.substr(eq + 1);
        }
        if (listed(valued, name)) {
            if (inlineValue) {
                parsed.values[name] = *inlineValue;
            } else {
                if (i + 1 >= args.size())
                    throw UsageError(name + " needs a value");
                parsed.values[name] = args[++i];
            }
        } else if (listed(flags, name)) {
            if (inlineValue)
                throw UsageError(name + " takes no value");
            parsed.flags.push_back(name);
        } else {
            throw UsageError("unknown option " + name);
        }
    }
    return parsed;
}

} // namespace pictorant::batch
