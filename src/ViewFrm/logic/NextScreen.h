#pragma once

#include "base/Rect.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace duoptic {

// The screen that shows the right eye when each eye has a screen of its own, given every
// screen's place on the desktop in the system's order and the one the window is on: the nearest
// screen that begins at or past the current one's right edge (as a projector beside the monitor
// is set up), else the first other one. Nothing when there is no other screen.
std::optional<std::size_t> nextScreen(const std::vector<Rect>& screens, std::size_t current);

} // namespace duoptic
