#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace duoptic {

// `duoptic --export FORMAT [--output DIR] [--quality N] [--as-stored] [--force] PATH...`, run
// without a display: the arguments after "--export" itself. "--help" among them prints the
// export's help to `out` and returns 0. Writes what it does to `err` (a
// progress bar when `errIsTerminal`, else one line per pair) and returns the exit status: 0 when
// every pair was written, 1 when some were not, 2 for a usage error. A SIGTERM or SIGINT stops
// it, leaving nothing half-written, and the program then ends by that signal. The user's
// settings are read from the program folder's settings file, as the window reads them (empty:
// the current directory); the user's stored shifts are only read.
int runExportCommand(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& err, bool errIsTerminal, const std::string& programFolder);

// The options' part of the help text.
std::string exportUsageText();

} // namespace duoptic
