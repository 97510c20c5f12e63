#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Reading and writing whole files in tests. Every function throws when the file system refuses,
// so that a test fails where its set-up went wrong, not later on data that is not there.
namespace duoptic::testing {

// A file of the committed test pictures (tests/data), by its path below that folder.
std::string testData(const std::string& relative);

std::vector<std::uint8_t> fileBytes(const std::string& path);
std::string readFile(const std::string& path);

// Replaces what the file held.
void writeFile(const std::string& path, std::string_view bytes);
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The names in the order the file system delivers them, "." and ".." included, for tests of
// listing order.
std::vector<std::string> readdirOrder(const std::string& folder);

} // namespace duoptic::testing
