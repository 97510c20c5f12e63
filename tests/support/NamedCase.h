#pragma once

#include <concepts>
#include <ostream>

namespace duoptic {
namespace { // the tests' own unnamed namespace, where argument-dependent lookup finds it

// A table row shows as its name when a test fails, not as a dump of its bytes.
template <typename Case>
requires requires(const Case& c) {
    { c.name } -> std::convertible_to<const char*>;
}
void PrintTo(const Case& row, std::ostream* out) {
    *out << row.name;
}

} // namespace
} // namespace duoptic
