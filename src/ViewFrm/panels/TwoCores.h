#pragma once

#include <functional>

namespace duoptic {

// Runs the two parts of one composition side by side, `second` on a thread of its own, and
// returns when both are done. Without a thread to be had both run here, one after the other.
void runOnTwoCores(const std::function<void()>& first, const std::function<void()>& second);

} // namespace duoptic
