#include "ViewFrm/logic/NextScreen.h"

#include <cstdlib>
#include <tuple>

namespace duoptic {

std::optional<std::size_t> nextScreen(const std::vector<Rect>& screens, std::size_t current) {
    if (current >= screens.size()) {
        return std::nullopt;
    }
    const Rect& from = screens[current];
    std::optional<std::size_t> right;
    std::optional<std::size_t> other;
    // The nearest to the right, then the one whose top is nearest; the system's order breaks ties.
    const auto key = [&](std::size_t i) {
        return std::make_tuple(screens[i].left, std::abs(screens[i].top - from.top));
    };
    for (std::size_t i = 0; i < screens.size(); ++i) {
        if (i == current) {
            continue;
        }
        other = other.value_or(i);
        if (screens[i].left >= from.left + from.width && (!right || key(i) < key(*right))) {
            right = i;
        }
    }
    return right ? right : other;
}

} // namespace duoptic
