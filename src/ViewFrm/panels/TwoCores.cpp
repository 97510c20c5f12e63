#include "ViewFrm/panels/TwoCores.h"

#include <future>
#include <system_error>

namespace duoptic {

void runOnTwoCores(const std::function<void()>& first, const std::function<void()>& second) {
    // Each part writes its own pixels and only reads the pictures.
    std::future<void> other;
    try {
        other = std::async(std::launch::async, second);
    } catch (const std::system_error&) {
        // No thread to be had: both are done here, one after the other.
    }
    first();
    if (other.valid()) {
        other.get();
    } else {
        second();
    }
}

} // namespace duoptic
