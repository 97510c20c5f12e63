#include "base/PairKey.h"

#include "base/FileIdentity.h"
#include "base/FileRead.h"

#include <algorithm>
#include <array>

namespace duoptic {

namespace {

// FNV-1a, 64 bits: no table, no library, and spread well enough for a collection of pictures.
class Fnv1a64 {
public:
    void add(const std::uint8_t* bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            hash_ = (hash_ ^ bytes[i]) * kPrime;
        }
    }

    void add(std::uint64_t value) {
        std::array<std::uint8_t, 8> bytes{};
        for (std::uint8_t& byte : bytes) { // little-endian, whatever the machine
            byte = static_cast<std::uint8_t>(value);
            value >>= 8;
        }
        add(bytes.data(), bytes.size());
    }

    std::uint64_t value() const { return hash_; }

private:
    static constexpr std::uint64_t kPrime = 0x100000001b3;
    std::uint64_t hash_ = 0xcbf29ce484222325;
};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::string PairKey::text() const {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15, shift = 0; i >= 0; --i, shift += 4) {
        text[static_cast<std::size_t>(i)] = kDigits[(hash >> shift) & 0xf];
    }
    return text;
}

std::optional<PairKey> PairKey::fromText(std::string_view text) {
    if (text.size() != 16) {
        return std::nullopt;
    }
    PairKey key;
    for (const char c : text) {
        const int digit = hexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        key.hash = (key.hash << 4) | static_cast<std::uint64_t>(digit);
    }
    return key;
}

namespace {

// The size comes first: with it, where one file's bytes end is known, so two different lists of
// files never feed the hash the same sequence.
void addFile(Fnv1a64& hash, std::uint64_t size, std::span<const std::uint8_t> start) {
    hash.add(size);
    hash.add(start.data(), start.size());
}

} // namespace

std::optional<PairKey> pairKey(const std::vector<std::string>& files) {
    if (files.empty()) {
        return std::nullopt;
    }
    Fnv1a64 hash;
    std::vector<std::uint8_t> start;
    for (const std::string& file : files) {
        FileIdentity identity;
        const ReadState state =
            readWholeFile(file, start, kPairKeyBytes, WhenLonger::KeepTheStart, &identity);
        if (state != ReadState::Whole && state != ReadState::Cut) {
            return std::nullopt;
        }
        addFile(hash, static_cast<std::uint64_t>(identity.size), start);
    }
    return PairKey{hash.value()};
}

PairKey pairKey(const std::vector<std::span<const std::uint8_t>>& files) {
    Fnv1a64 hash;
    for (const std::span<const std::uint8_t> file : files) {
        addFile(hash, file.size(), file.first(std::min(file.size(), kPairKeyBytes)));
    }
    return PairKey{hash.value()};
}

} // namespace duoptic
