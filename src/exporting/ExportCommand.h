#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace duoptic {

// `duoptic --export FORMAT [--output DIR] [--quality N] [--as-stored] [--force] PATH...`, run
// without a display: the arguments after "--export" itself. Writes what it does to `err` (a
// progress bar when `errIsTerminal`, else one line per pair) and returns the exit status: 0 when
// every pair was written, 1 when some were not, 2 for a usage error. A SIGTERM or SIGINT stops
// it, leaving nothing half-written.
int runExportCommand(const std::vector<std::string>& arguments, std::ostream& err,
                     bool errIsTerminal);

// The options' part of the help text.
std::string exportUsageText();

} // namespace duoptic
