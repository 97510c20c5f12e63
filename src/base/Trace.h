#pragma once

#include <string_view>

namespace duoptic {

// Marks a moment of the program's work for the benchmarks: with DUOPTIC_TRACE set to a non-empty
// value, writes "duoptic-trace <seconds> <what>" to standard error, where seconds is the
// CLOCK_MONOTONIC time that other programs on the machine can read too. Unset, it costs one test
// of a flag. Safe from any thread: each line is one write.
void trace(std::string_view what) noexcept;

} // namespace duoptic
