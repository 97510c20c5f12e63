#pragma once

#include "exporting/ExportFormat.h"

#include <string>

namespace duoptic {

// What the export dialogs ask, kept by the window for the rest of the run so that the next
// export starts where the last one ended.
struct ExportChoices {
    ExportFormat format = ExportFormat::Sbs;
    std::string folder; // empty: none chosen yet
    int quality = 95;
};

} // namespace duoptic
