#pragma once

#include <cstddef>

namespace duoptic {

// The commands of the main window, in the order of its command list. Each is a QAction whose
// object name is the enumerator's name.
enum class ViewCommand {
    FileOpen,
    ViewRevers,
    ViewZoomIn,
    ViewBorder,
    ViewSlideShow,
    ShowTips,
    FileExit,
    ViewZoomOut,
    ShowNext,
    ViewFullScreen,
};

inline constexpr std::size_t kViewCommandCount = 10;

constexpr std::size_t commandIndex(ViewCommand command) {
    return static_cast<std::size_t>(command);
}

} // namespace duoptic
