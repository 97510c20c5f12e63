#include "catalogue/FolderListing.h"

#include "catalogue/AsciiCase.h"
#include "catalogue/DirectoryEntries.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

namespace duoptic {

namespace {

// The extensions of the files that can stand for a pair, a preview or an eye.
bool hasPairFileExtension(std::string_view name) {
    return endsWithIgnoringAsciiCase(name, ".jpg") || endsWithIgnoringAsciiCase(name, ".mpo") ||
           endsWithIgnoringAsciiCase(name, ".jps");
}

} // namespace

std::size_t FolderListing::FoldedHash::operator()(std::string_view name) const {
    std::uint64_t hash = 14695981039346656037ULL; // FNV-1a
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(asciiUpper(c))) * 1099511628211ULL;
    }
    return static_cast<std::size_t>(hash);
}

bool FolderListing::FoldedEqual::operator()(std::string_view a, std::string_view b) const {
    return equalIgnoringAsciiCase(a, b);
}

FolderListing FolderListing::read(const std::string& folder) {
    FolderListing listing;
    DirectoryEntries dir(folder);
    if (!dir.opened()) {
        return listing;
    }
    listing.exists_ = true;
    while (const std::optional<std::string_view> name = dir.next()) {
        listing.entries_.push_back(
            {std::string(*name), dir.kind() == EntryKind::File, name->front() == '.'});
    }
    listing.filesByFoldedName_.reserve(listing.entries_.size());
    for (std::size_t i = 0; i < listing.entries_.size(); ++i) {
        if (listing.entries_[i].isFile) {
            listing.filesByFoldedName_.emplace(listing.entries_[i].name, i);
        }
    }
    return listing;
}

std::optional<std::string> FolderListing::findFile(std::string_view name) const {
    const auto [first, last] = filesByFoldedName_.equal_range(name);
    if (first == last) {
        return std::nullopt;
    }
    std::size_t best = first->second;
    for (auto it = first; it != last; ++it) {
        if (entries_[it->second].name == name) {
            return entries_[it->second].name;
        }
        best = std::min(best, it->second);
    }
    return entries_[best].name;
}

bool FolderListing::hasFile(std::string_view name) const {
    const auto [first, last] = filesByFoldedName_.equal_range(name);
    return std::any_of(first, last,
                       [&](const auto& file) { return entries_[file.second].name == name; });
}

std::optional<std::string>
FolderListing::findPairFile(std::string_view baseName, std::span<const std::string_view> suffixes,
                            const std::function<bool(const std::string&)>& allowed) const {
    // (how closely the spelling matches, suffix number, listing index): the least wins.
    using Rank = std::tuple<int, std::size_t, std::size_t>;
    std::optional<Rank> best;
    std::string wanted;
    for (std::size_t s = 0; s < suffixes.size(); ++s) {
        wanted.assign(baseName);
        wanted += suffixes[s];
        const auto [first, last] = filesByFoldedName_.equal_range(wanted);
        for (auto it = first; it != last; ++it) {
            const std::string& name = entries_[it->second].name;
            if (allowed && !allowed(name)) {
                continue;
            }
            const int spelling = name == wanted                                    ? 0
                                 : name.compare(0, baseName.size(), baseName) == 0 ? 1
                                                                                   : 2;
            const Rank rank{spelling, s, it->second};
            if (!best || rank < *best) {
                best = rank;
            }
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return entries_[std::get<2>(*best)].name;
}

std::vector<std::string> FolderListing::pairFileCandidates(NameOrder order) const {
    std::vector<std::string> names;
    for (const FolderEntry& entry : entries_) {
        if (entry.isFile && !entry.hidden && hasPairFileExtension(entry.name)) {
            names.push_back(entry.name);
        }
    }
    if (order == NameOrder::IgnoringAsciiCase) {
        // Fold each name once rather than in every comparison; ties fall to the bytes.
        std::vector<std::pair<std::string, std::string>> keyed;
        keyed.reserve(names.size());
        for (std::string& name : names) {
            keyed.emplace_back(asciiLower(name), std::move(name));
        }
        std::sort(keyed.begin(), keyed.end());
        for (std::size_t i = 0; i < keyed.size(); ++i) {
            names[i] = std::move(keyed[i].second);
        }
    }
    return names;
}

} // namespace duoptic
