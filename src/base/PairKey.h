#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace duoptic {

// What a stereo pair is, whatever its files are called and wherever they lie: a pair that is
// renamed, moved or copied keeps its key, and a pair whose pictures change gets another.
struct PairKey {
    std::uint64_t hash = 0;

    // Sixteen lower-case hexadecimal digits, the form in which the key is stored.
    std::string text() const;
    // Sixteen hexadecimal digits of either case, nothing else.
    static std::optional<PairKey> fromText(std::string_view text);

    // Written out rather than defaulted with <=>: Qt's moc cannot read <compare>, which headers of
    // windows include through this one.
    friend bool operator==(const PairKey& a, const PairKey& b) { return a.hash == b.hash; }
    friend bool operator<(const PairKey& a, const PairKey& b) { return a.hash < b.hash; }
};

// How much of the start of each file the key covers. The start of a JPEG or MPO file holds its
// headers, its metadata and the first rows of the picture, enough to tell two shots apart, and
// reading no more keeps the key cheap enough to take on every load.
constexpr std::size_t kPairKeyBytes = 64 * 1024;

// The key of the files that one load of the pair reads, in the order of the eyes (one file for the
// kinds that hold both views, two for the others): a hash of each file's size and of its first
// kPairKeyBytes. Nothing when a file cannot be read, or when there are no files.
std::optional<PairKey> pairKey(const std::vector<std::string>& files);

// The same key from the files' whole contents as a load already holds them, in the same order:
// the key is taken without opening any file again.
PairKey pairKey(const std::vector<std::span<const std::uint8_t>>& files);

} // namespace duoptic
