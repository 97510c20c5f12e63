#include "app/CommandLine.h"

#include "app/ProgramFolder.h"
#include "base/Utf8.h"
#include "exporting/ExportCommand.h"

#include <unistd.h>

#include <cstdio>
#include <ostream>
#include <string_view>
#include <utility>

namespace duoptic {

namespace {

// The exit status of a command-line mistake, as for most Unix tools.
constexpr int kUsageStatus = 2;

// An outcome that ends the program: a PATH read before it no longer matters.
CommandLine finalAnswer(CommandLineAction action, std::string problem = {}) {
    CommandLine result;
    result.action = action;
    result.problem = std::move(problem);
    return result;
}

bool isControlCharacter(std::string_view character) {
    const auto lead = static_cast<unsigned char>(character.front());
    const bool c0 = character.size() == 1 && (lead < 0x20 || lead == 0x7F);
    // U+0080 to U+009F, which some terminals obey as control sequences.
    const bool c1 =
        character.size() == 2 && lead == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0;
    return c0 || c1;
}

// An argument as the user may safely see it: a control character or a byte of no UTF-8 sequence
// would act on the terminal, so each of their bytes is shown as \xHH, and "\" as "\\" so that
// the escapes cannot be confused with the argument's own text.
std::string quoted(std::string_view argument) {
    std::string shown = "'";
    while (!argument.empty()) {
        const std::size_t length = utf8SequenceLength(argument);
        const std::string_view character = argument.substr(0, length == 0 ? 1 : length);
        if (length == 0 || isControlCharacter(character)) {
            for (const char byte : character) {
                char escape[5];
                std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(byte));
                shown += escape;
            }
        } else if (character == "\\") {
            shown += "\\\\";
        } else {
            shown += character;
        }
        argument.remove_prefix(character.size());
    }
    return shown + "'";
}

bool isOption(std::string_view argument) {
    return argument.size() > 1 && argument.front() == '-';
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine result;
    if (argc > 1 && std::string_view(argv[1]) == "--export") {
        result.action = CommandLineAction::Export;
        result.exportArguments.assign(argv + 2, argv + argc);
        return result;
    }
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument == "--help") {
            return finalAnswer(CommandLineAction::PrintHelp);
        } else if (!optionsEnded && argument == "--version") {
            return finalAnswer(CommandLineAction::PrintVersion);
        } else if (!optionsEnded && isOption(argument)) {
            return finalAnswer(CommandLineAction::UsageError, "unknown option " + quoted(argument));
        } else if (result.path) {
            return finalAnswer(CommandLineAction::UsageError,
                               "more than one PATH: " + quoted(*result.path) + " and " +
                                   quoted(argument));
        } else {
            result.path = std::string(argument);
        }
    }
    return result;
}

std::string usageText() {
    return "Usage: duoptic [PATH]\n"
           "View stereo pairs of JPEG photographs side by side.\n"
           "\n"
           "PATH is a folder, which is opened instead of the last folder, or a file of a pair,\n"
           "which is shown at once: either eye's file of NAME_DUL.jpg + NAME_DUR.jpg, a\n"
           "side-by-side NAME_DUP.jpg (parallel) or NAME_DUC.jpg (crossing), an .mpo file\n"
           "(both images in one file) or a .jps file. Without PATH the last folder is opened.\n"
           "\n"
           "Options:\n"
           "  --help     print this help and exit\n"
           "  --version  print the version and exit\n"
           "  --export   write pairs out without a window; everything after it is read as\n"
           "             below\n"
           "  --         end of the options: a PATH that begins with '-' may follow\n"
           "\n" +
           exportUsageText();
}

std::optional<int> answerOnTerminal(const CommandLine& commandLine, std::ostream& out,
                                    std::ostream& err) {
    switch (commandLine.action) {
    case CommandLineAction::Run:
        return std::nullopt;
    case CommandLineAction::PrintHelp:
        out << usageText() << std::flush;
        return 0;
    case CommandLineAction::PrintVersion:
        out << "duoptic " << DUOPTIC_VERSION << '\n' << std::flush;
        return 0;
    case CommandLineAction::Export:
        return runExportCommand(commandLine.exportArguments, out, err, isatty(STDERR_FILENO) != 0,
                                programFolder());
    case CommandLineAction::UsageError:
        err << "duoptic: " << commandLine.problem << "\n\n" << usageText() << std::flush;
        return kUsageStatus;
    }
    return kUsageStatus;
}

} // namespace duoptic
