#pragma once

#include "catalogue/PairKind.h"

#include <string>
#include <vector>

namespace duoptic {

// The pairs of one folder, numbered 1 to count in the order they were appended; neither sorted
// nor merged.
class PairList {
public:
    void clear() { entries_.clear(); }
    void append(PairEntry entry) { entries_.push_back(std::move(entry)); }
    int count() const { return static_cast<int>(entries_.size()); }

    // k counts from 1; throws std::out_of_range outside 1..count.
    const PairEntry& entry(int k) const;

private:
    std::vector<PairEntry> entries_;
};

// Program-wide: the main window's Next and the Filer share the list and its cursor.
struct PairCatalogue {
    PairList list;
    int cursor = 0;                            // 1..count, or 0 when no entry is current
    PairKind currentKind = PairKind::TwoFiles; // what the next load uses
};

// A folder text ready for a name to be appended: "" becomes "/", the root stays "/".
std::string withTrailingSeparator(std::string folder);

} // namespace duoptic
