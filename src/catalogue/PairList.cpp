#include "catalogue/PairList.h"

#include <atomic>
#include <stdexcept>
#include <string>

namespace duoptic {

void PairList::changed() {
    static std::atomic<std::uint64_t> changes{0};
    generation_ = ++changes;
}

const PairEntry& PairList::entry(int k) const {
    if (k < 1 || k > count()) {
        throw std::out_of_range("pair entry " + std::to_string(k) + " outside 1.." +
                                std::to_string(count()));
    }
    return entries_[static_cast<std::size_t>(k - 1)];
}

void PairList::remove(int k) {
    entry(k); // the same check
    entries_.erase(entries_.begin() + (k - 1));
    changed();
}

} // namespace duoptic
