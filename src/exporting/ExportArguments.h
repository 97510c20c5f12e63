#pragma once

#include "exporting/ExportFormat.h"
#include "exporting/PairExport.h"

#include <string>
#include <vector>

namespace duoptic {

// What `--export FORMAT [--output DIR] [--quality N] [--as-stored] [--force] PATH...` asks for.
struct ExportArguments {
    ExportOptions options;
    std::string folder = "."; // --output
    bool force = false;
    bool help = false;              // --help: nothing else counts
    std::vector<std::string> paths; // bytes as given
    std::string problem;            // not empty: a usage error, for the user
};

// Reads the arguments after "--export". Options may come anywhere before "--", also as
// "--output=DIR" and "--quality=N"; the first other argument is FORMAT, the rest are PATHs.
ExportArguments parseExportArguments(const std::vector<std::string>& arguments);

} // namespace duoptic
