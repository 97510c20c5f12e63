#pragma once

#include "catalogue/PairKind.h"

#include <cstdint>
#include <string>
#include <vector>

namespace duoptic {

// The pairs of one folder, numbered 1 to count in the order they were appended; neither sorted
// nor merged.
class PairList {
public:
    void clear() {
        entries_.clear();
        changed();
    }
    void append(PairEntry entry) {
        entries_.push_back(std::move(entry));
        changed();
    }
    int count() const { return static_cast<int>(entries_.size()); }
    // Differs from any earlier value after every change of any list: what was made for one
    // state of a list (a preloaded pair) can tell that the list has been rebuilt since.
    std::uint64_t generation() const { return generation_; }

    // k counts from 1; throws std::out_of_range outside 1..count.
    const PairEntry& entry(int k) const;
    // Takes entry k out; the ones after it move up by one. Throws as entry() does.
    void remove(int k);

private:
    void changed();

    std::vector<PairEntry> entries_;
    std::uint64_t generation_ = 0;
};

} // namespace duoptic
