#pragma once

#include "base/PairKey.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>

namespace duoptic {

// How the right eye's picture is moved against the left one's to align a pair: in image pixels,
// so that it means the same at every zoom, and a turn in tenths of a degree.
struct PairOffset {
    int dx = 0;
    int dy = 0;
    int roll = 0;

    // Beyond these the store holds nothing: no picture the viewer decodes is wider or taller than
    // kMaxShift, and a turn of more than half a circle is a turn the other way.
    static constexpr int kMaxShift = 65535;
    static constexpr int kMaxRoll = 1800;

    bool operator==(const PairOffset&) const = default;
};

// The offsets the user gave to pairs, kept between runs in the user's data folder, one line per
// pair: "<key> <dx> <dy> <roll>", the roll optional. Lines starting with "#" and blank lines are
// notes. A pair without an entry has no offset, and an offset set back to nothing removes the
// entry, so the file holds only what the user changed.
//
// Nothing here throws: a store that cannot be read or written is reported on standard error and
// the viewer goes on with what it holds in memory. For one thread.
class PairOffsetStore {
public:
    // A store file larger than this is read only this far: a file of the viewer's own would need
    // hundreds of thousands of pairs to reach it.
    static constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024;

    // The store of this user: $XDG_DATA_HOME/duoptic/offsets, by default
    // $HOME/.local/share/duoptic/offsets.
    static PairOffsetStore open();
    // The store in the given file. An empty path keeps the offsets in memory only.
    static PairOffsetStore open(const std::string& path);

    std::optional<PairOffset> find(PairKey key) const;

    // Keeps the offset, shifts clamped to kMaxShift and the roll to kMaxRoll, and writes the
    // whole store at once. What another copy of the viewer wrote in the meantime is kept.
    void set(PairKey key, PairOffset offset);

    const std::string& path() const { return path_; }

private:
    explicit PairOffsetStore(std::string path) : path_(std::move(path)) {}

    bool load(bool reportDamage);
    void write();

    std::string path_;
    std::map<PairKey, PairOffset> entries_;
    std::map<PairKey, PairOffset> unwritten_; // changes not on disk yet; zero ones remove
    bool writeFailureReported_ = false;
};

} // namespace duoptic
