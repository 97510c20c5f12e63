#pragma once

#include <functional>
#include <optional>
#include <span>
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
// name never lists the folder again. Move-only: the index views the names it owns.
class FolderListing {
public:
    FolderListing() = default;
    FolderListing(FolderListing&&) noexcept = default;
    FolderListing& operator=(FolderListing&&) noexcept = default;
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    // A folder that is missing or cannot be read gives an empty listing, not an error.
    static FolderListing read(const std::string& folder);

    bool exists() const { return exists_; }
    const std::vector<FolderEntry>& entries() const { return entries_; }

    // The name of a regular file (hidden or not) that equals `name` ignoring ASCII case. When
    // several match, the exact spelling wins, then the first in listing order.
    std::optional<std::string> findFile(std::string_view name) const;

    // Whether a regular file (hidden or not) is spelled exactly `name`.
    bool hasFile(std::string_view name) const;

    // The regular file (hidden or not) that stands for base name + one of `suffixes`, all
    // compared ignoring ASCII case. The exact spelling wins, then a name whose base part is
    // spelled exactly, then any; at each of these steps the earlier suffix, then the earlier file
    // in listing order. So a name classified from its own spelling is always found again as
    // itself, even beside names that differ from it only in case. Names that `allowed` refuses
    // are passed over.
    std::optional<std::string>
    findPairFile(std::string_view baseName, std::span<const std::string_view> suffixes,
                 const std::function<bool(const std::string&)>& allowed = {}) const;

    // Names of the regular, non-hidden files that may be part of a pair: those ending in ".jpg",
    // ".mpo" or ".jps" in any ASCII case.
    std::vector<std::string> pairFileCandidates(NameOrder order) const;

private:
    // Hashes and compares names with ASCII case folded, so no folded copies are made.
    struct FoldedHash {
        std::size_t operator()(std::string_view name) const;
    };
    struct FoldedEqual {
        bool operator()(std::string_view a, std::string_view b) const;
    };

    bool exists_ = false;
    std::vector<FolderEntry> entries_;
    // Regular files only: name -> index into entries_. The keys view the names in entries_,
    // whose strings stay in place when the vector is moved.
    std::unordered_multimap<std::string_view, std::size_t, FoldedHash, FoldedEqual>
        filesByFoldedName_;
};

} // namespace duoptic
