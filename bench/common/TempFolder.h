#pragma once

// The benchmarks make their folders with the tests' helper: path() without a trailing "/",
// file(name) inside it, everything removed at the end.
#include "support/TempFolder.h"

namespace duoptic::bench {

using testing::TempFolder;

} // namespace duoptic::bench
