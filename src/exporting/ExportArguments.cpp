#include "exporting/ExportArguments.h"

#include <optional>
#include <string_view>

namespace duoptic {

namespace {

std::string quoted(std::string_view argument) {
    return "'" + std::string(argument) + "'";
}

std::optional<int> qualityNamed(std::string_view text) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != text.npos) {
        return std::nullopt;
    }
    const int value = std::stoi(std::string(text));
    return value >= 1 && value <= 100 ? std::optional(value) : std::nullopt;
}

// The option's value: the text after "=" when it has one, else the next argument.
std::optional<std::string> valueOf(std::string_view argument, std::string_view option,
                                   const std::vector<std::string>& arguments, std::size_t& i) {
    if (argument.size() > option.size()) {
        return std::string(argument.substr(option.size() + 1));
    }
    if (i + 1 >= arguments.size()) {
        return std::nullopt;
    }
    return arguments[++i];
}

bool isOption(std::string_view argument, std::string_view option) {
    return argument == option || (argument.starts_with(option) && argument[option.size()] == '=');
}

} // namespace

ExportArguments parseExportArguments(const std::vector<std::string>& arguments) {
    ExportArguments result;
    std::optional<ExportFormat> format;
    const auto problem = [&result](std::string text) {
        result.problem = std::move(text);
        return result;
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument.front() != '-') {
            if (format) {
                result.paths.push_back(std::string(argument));
            } else if (!(format = exportFormatNamed(argument))) {
                return problem("unknown FORMAT " + quoted(argument));
            }
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help") {
            ExportArguments help;
            help.help = true;
            return help;
        } else if (argument == "--as-stored") {
            result.options.asStored = true;
        } else if (argument == "--force") {
            result.force = true;
        } else if (isOption(argument, "--output")) {
            const std::optional<std::string> folder = valueOf(argument, "--output", arguments, i);
            if (!folder || folder->empty()) {
                return problem("--output needs a folder");
            }
            result.folder = *folder;
        } else if (isOption(argument, "--quality")) {
            const std::optional<std::string> text = valueOf(argument, "--quality", arguments, i);
            const std::optional<int> quality = text ? qualityNamed(*text) : std::nullopt;
            if (!quality) {
                return problem("--quality needs a number from 1 to 100" +
                               (text ? ", not " + quoted(*text) : std::string()));
            }
            result.options.quality = *quality;
        } else {
            return problem("unknown option " + quoted(argument));
        }
    }
    if (!format) {
        return problem("no FORMAT");
    }
    if (result.paths.empty()) {
        return problem("no PATH");
    }
    result.options.format = *format;
    return result;
}

} // namespace duoptic
