#include "app/CommandLine.h"

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

bool isOption(std::string_view argument) {
    return argument.size() > 1 && argument.front() == '-';
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine result;
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
            return finalAnswer(CommandLineAction::UsageError,
                               "unknown option '" + std::string(argument) + "'");
        } else if (result.path) {
            return finalAnswer(CommandLineAction::UsageError, "more than one PATH: '" +
                                                                  *result.path + "' and '" +
                                                                  std::string(argument) + "'");
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
           "  --         end of the options: a PATH that begins with '-' may follow\n";
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
    case CommandLineAction::UsageError:
        err << "duoptic: " << commandLine.problem << "\n\n" << usageText() << std::flush;
        return kUsageStatus;
    }
    return kUsageStatus;
}

} // namespace duoptic
