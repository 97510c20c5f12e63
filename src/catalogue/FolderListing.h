#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace duoptic {

struct FolderEntry {
    std::string name;    // bytes, as the file system delivers them
    bool isFile = false; // a regular file, after following symbolic links
    bool hidden = false; // the name begins with "."
};

enum class NameOrder : unsigned char {
    Listing,           // as the file system delivers the names
    IgnoringAsciiCase, // sorted by name, ASCII case ignored, ties by bytes
};

// One reading of a folder, taken once and then asked as often as needed, so that looking up a
// name never lists the folder again.
class FolderListing {
public:
    // A folder that is missing or cannot be read gives an empty listing, not an error.
    static FolderListing read(const std::string& folder);

    bool exists() const { return exists_; }
    const std::vector<FolderEntry>& entries() const { return entries_; }

    // The name of a regular file (hidden or not) that equals `name` ignoring ASCII case. When
    // several match, the exact spelling wins, then the first in listing order.
    std::optional<std::string> findFile(std::string_view name) const;

    // Names of the regular, non-hidden files ending in ".jpg" in any ASCII case.
    std::vector<std::string> jpgFileNames(NameOrder order) const;

private:
    bool exists_ = false;
    std::vector<FolderEntry> entries_;
    // Regular files only: upper-cased name -> index into entries_.
    std::unordered_multimap<std::string, std::size_t> filesByFoldedName_;
};

} // namespace duoptic
