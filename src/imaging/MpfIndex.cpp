#include "imaging/MpfIndex.h"

#include <set>

namespace duoptic {

namespace {

constexpr std::uint16_t kTagVersion = 0xB000;
constexpr std::uint16_t kTagNumberOfImages = 0xB001;
constexpr std::uint16_t kTagEntries = 0xB002;
constexpr std::uint16_t kTagIndividualNumber = 0xB101;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::size_t kIfdEntryBytes = 12;
constexpr std::size_t kMpEntryBytes = 16;
constexpr int kMaxIfds = 16; // an index IFD and an attribute IFD is what writers use

struct Fault {
    MpfFault what;
};

// Reads numbers in the TIFF header's byte order; every read beyond the data throws a fault.
class TiffReader {
public:
    explicit TiffReader(std::span<const std::uint8_t> data) : data_(data) {
        if (data.size() >= 4 && data[0] == 'I' && data[1] == 'I' && data[2] == 42 && data[3] == 0) {
            bigEndian_ = false;
        } else if (data.size() >= 4 && data[0] == 'M' && data[1] == 'M' && data[2] == 0 &&
                   data[3] == 42) {
            bigEndian_ = true;
        } else {
            throw Fault{MpfFault::BadHeader};
        }
    }

    std::uint32_t u32(std::size_t at) const {
        need(at, 4);
        const std::uint8_t* p = data_.data() + at;
        return bigEndian_ ? std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 |
                                std::uint32_t{p[2]} << 8 | p[3]
                          : std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 |
                                std::uint32_t{p[1]} << 8 | p[0];
    }

    std::uint16_t u16(std::size_t at) const {
        need(at, 2);
        const std::uint8_t* p = data_.data() + at;
        return static_cast<std::uint16_t>(bigEndian_ ? p[0] << 8 | p[1] : p[1] << 8 | p[0]);
    }

    // A field's value when it fits in the entry itself: a LONG, or a SHORT in its first half.
    std::uint32_t inlineValue(std::size_t entry) const {
        return u16(entry + 2) == kTypeShort ? u16(entry + 8) : u32(entry + 8);
    }

    void need(std::size_t at, std::size_t bytes) const {
        if (at > data_.size() || bytes > data_.size() - at) {
            throw Fault{MpfFault::BadHeader};
        }
    }

    std::size_t size() const { return data_.size(); }

private:
    std::span<const std::uint8_t> data_;
    bool bigEndian_ = false;
};

struct Tags {
    std::optional<std::uint32_t> numberOfImages;
    std::optional<std::uint32_t> individualNumber;
    std::optional<std::size_t> entriesAt; // where the MP Entry records lie
    std::uint32_t entriesBytes = 0;
};

// Reads one IFD's tags into `tags` (the first of each kind counts) and returns the next IFD's
// offset, 0 at the end of the chain.
std::uint32_t readIfd(const TiffReader& tiff, std::size_t at, Tags& tags) {
    const std::size_t count = tiff.u16(at);
    tiff.need(at + 2, count * kIfdEntryBytes + 4);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = at + 2 + i * kIfdEntryBytes;
        switch (tiff.u16(entry)) {
        case kTagNumberOfImages:
            tags.numberOfImages = tags.numberOfImages.value_or(tiff.inlineValue(entry));
            break;
        case kTagIndividualNumber:
            tags.individualNumber = tags.individualNumber.value_or(tiff.inlineValue(entry));
            break;
        case kTagEntries:
            if (!tags.entriesAt) {
                tags.entriesBytes = tiff.u32(entry + 4);
                // Records of 16 bytes never fit in the entry: the value is their offset.
                tags.entriesAt = tags.entriesBytes <= 4 ? entry + 8 : tiff.u32(entry + 8);
            }
            break;
        case kTagVersion:
        default:
            break;
        }
    }
    return tiff.u32(at + 2 + count * kIfdEntryBytes);
}

// Follows the chain of IFDs from the header's first, refusing one read twice.
Tags readChain(const TiffReader& tiff, int maxIfds) {
    Tags tags;
    std::set<std::uint32_t> visited;
    std::uint32_t next = tiff.u32(4);
    for (int i = 0; i < maxIfds && next != 0; ++i) {
        if (!visited.insert(next).second) {
            throw Fault{MpfFault::OffsetLoop};
        }
        next = readIfd(tiff, next, tags);
    }
    return tags;
}

std::vector<MpEntry> readEntries(const TiffReader& tiff, const Tags& tags) {
    if (!tags.entriesAt) {
        throw Fault{MpfFault::NoEntries};
    }
    // The count must agree with the records and fit in the segment: a count of 4 billion is
    // refused before anything is allocated for it.
    const std::uint64_t count = tags.numberOfImages.value_or(tags.entriesBytes / kMpEntryBytes);
    if (count == 0 || count * kMpEntryBytes != tags.entriesBytes ||
        count * kMpEntryBytes > tiff.size()) {
        throw Fault{MpfFault::BadCount};
    }
    tiff.need(*tags.entriesAt, tags.entriesBytes);
    std::vector<MpEntry> entries(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t at = *tags.entriesAt + i * kMpEntryBytes;
        entries[i] = {tiff.u32(at), tiff.u32(at + 4), tiff.u32(at + 8)};
    }
    return entries;
}

} // namespace

MpfIndex readMpfIndex(std::span<const std::uint8_t> tiff) {
    MpfIndex index;
    try {
        const TiffReader reader(tiff);
        const Tags tags = readChain(reader, kMaxIfds);
        index.entries = readEntries(reader, tags);
        index.individualNumber = tags.individualNumber;
    } catch (const Fault& fault) {
        index.fault = fault.what;
        index.entries.clear();
    }
    return index;
}

std::optional<std::uint32_t> readIndividualNumber(std::span<const std::uint8_t> tiff) {
    try {
        const TiffReader reader(tiff);
        return readChain(reader, kMaxIfds).individualNumber;
    } catch (const Fault&) {
        return std::nullopt;
    }
}

} // namespace duoptic
