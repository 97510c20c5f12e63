#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace duoptic {

enum class CommandLineAction { Run, PrintHelp, PrintVersion, UsageError, Export };

// What the command line asks for. Read before any window exists, so that --help and --version
// work without a display.
struct CommandLine {
    CommandLineAction action = CommandLineAction::Run;
    std::optional<std::string> path;          // PATH exactly as given: bytes, not necessarily UTF-8
    std::string problem;                      // for UsageError: what was wrong, for the user
    std::vector<std::string> exportArguments; // for Export: those after "--export"
};

// Reads `duoptic [--help | --version] [--] [PATH]`, or `duoptic --export ...`: a first argument
// "--export" hands all the others to the export command. Arguments are taken in order and the
// first one that settles the outcome (--help, --version, an unknown option, a second PATH)
// decides. "--" ends the options; a lone "-" is a PATH, as it is for most programs that take
// file names.
CommandLine parseCommandLine(int argc, const char* const* argv);

// The help text, beginning "Usage: duoptic [PATH]".
std::string usageText();

// Prints what the action asks for (help and version to `out`, a usage error to `err`), or runs
// the export (reporting to `err`, drawn for a terminal when standard error is one), and returns
// the exit status when the program ends here, or nothing when it is to start.
std::optional<int> answerOnTerminal(const CommandLine& commandLine, std::ostream& out,
                                    std::ostream& err);

} // namespace duoptic
