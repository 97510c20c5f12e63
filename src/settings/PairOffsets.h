#pragma once

#include "base/PairKey.h"
#include "settings/PairOffsetsText.h"

#include <cstddef>
#include <optional>
#include <string>

namespace duoptic {

// The offsets the user gave to pairs, kept between runs in the user's data folder in the form of
// PairOffsetsText.h. The file holds only what the user changed.
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
    // whole store at once (creating its folder) unless nothing changed. What another copy of the
    // viewer wrote since this one read the file is kept.
    void set(PairKey key, PairOffset offset);

    const std::string& path() const { return path_; }

private:
    explicit PairOffsetStore(std::string path) : path_(std::move(path)) {}

    void write();

    std::string path_;
    PairOffsets offsets_;
    PairOffsets unwritten_; // changes not on disk yet, all-zero ones included
    bool writeFailureReported_ = false;
};

} // namespace duoptic
