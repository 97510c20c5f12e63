#pragma once

#include "base/Error.h"
#include "exporting/PairExport.h"

#include <atomic>

#include <string>
#include <vector>

namespace duoptic {

enum class Replace { Never, Existing };

// A set refused because one of its files exists and may not be replaced: the pair is skipped,
// not failed.
class OutputExists : public Error {
public:
    using Error::Error;
};

// Writes the files into the folder all or none: each goes into a temporary file beside its
// target first, and only when every one is complete are they renamed into place. A file that
// exists already is never replaced with Replace::Never (the whole set is then refused with
// OutputExists), nor ever one of `inputs` (by identity, whatever its spelling: Error). Any failure
// (a full disk, a folder that cannot be written, a signal that sets `cancel`) removes every
// temporary file and every file this call put in place, puts back the files it replaced, and
// throws Error naming the file and the reason.
void writeOutputFiles(const std::string& folder, const std::vector<ExportedFile>& files,
                      Replace replace, const std::vector<std::string>& inputs,
                      const std::atomic<bool>* cancel = nullptr);

} // namespace duoptic
