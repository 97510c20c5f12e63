#pragma once

#include "base/PairKey.h"
#include "settings/PairOffsetsText.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace duoptic {

// The offsets the user gave to pairs, kept between runs in the user's data folder in the form of
// PairOffsetsText.h. The file holds only what the user changed.
//
// The file is read on a thread of its own from open() on, and written on another a moment after
// the last change, so that neither a large store nor a slow disk holds up the caller; find() and
// set() wait for the reading only when first used. Copies of the viewer take turns at the file
// through an flock on "<file>.lock" beside it. Nothing here throws: a store that cannot be read or
// written is reported on standard error and the viewer goes on with what it holds in memory. For
// one thread; the threads of the store are its own business.
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

    PairOffsetStore(PairOffsetStore&&) noexcept;
    PairOffsetStore& operator=(PairOffsetStore&&) noexcept;
    // Writes what is not written yet, as flush() does.
    ~PairOffsetStore();

    std::optional<PairOffset> find(PairKey key) const;

    // Keeps the offset, shifts clamped to kMaxShift and the roll to kMaxRoll, and unless nothing
    // changed has the whole store written once no further change has come for a short moment
    // (creating its folder). What another copy of the viewer wrote since this one read the file
    // is kept.
    void set(PairKey key, PairOffset offset);

    // Writes the changes not written yet now, on the caller's thread.
    void flush();

    const std::string& path() const;

private:
    struct State;

    explicit PairOffsetStore(std::unique_ptr<State> state);

    std::unique_ptr<State> state_;
};

} // namespace duoptic
