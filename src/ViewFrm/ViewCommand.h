#pragma once

#include <cstddef>
#include <iterator>
#include <optional>

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

// Each command's object name and caption, in the order of the enumeration.
struct ViewCommandNames {
    ViewCommand id;
    const char* name;
    const char* caption;
};

inline constexpr ViewCommandNames kViewCommands[] = {
    {ViewCommand::FileOpen, "FileOpen", "Open"},
    {ViewCommand::ViewRevers, "ViewRevers", "Reverse"},
    {ViewCommand::ViewZoomIn, "ViewZoomIn", "Zoom In"},
    {ViewCommand::ViewBorder, "ViewBorder", "Center Border"},
    {ViewCommand::ViewSlideShow, "ViewSlideShow", "Slide Show"},
    {ViewCommand::ShowTips, "ShowTips", "Tips"},
    {ViewCommand::FileExit, "FileExit", "Exit"},
    {ViewCommand::ViewZoomOut, "ViewZoomOut", "Zoom Out"},
    {ViewCommand::ShowNext, "ShowNext", "Next"},
    {ViewCommand::ViewFullScreen, "ViewFullScreen", "Full Screen"},
};

constexpr bool everyCommandOnceInOrder() {
    if (std::size(kViewCommands) != kViewCommandCount) {
        return false;
    }
    for (std::size_t i = 0; i < std::size(kViewCommands); ++i) {
        if (commandIndex(kViewCommands[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(everyCommandOnceInOrder(), "one row per command, in the order of the enumeration");

// The pop-up menu; nothing stands for a separator.
inline constexpr std::optional<ViewCommand> kViewMenu[] = {
    ViewCommand::FileOpen,
    ViewCommand::ViewRevers,
    ViewCommand::ViewZoomIn,
    ViewCommand::ViewZoomOut,
    std::nullopt,
    ViewCommand::ViewSlideShow,
    ViewCommand::ShowNext,
    std::nullopt,
    ViewCommand::ViewBorder,
    ViewCommand::ViewFullScreen,
    ViewCommand::ShowTips,
    std::nullopt,
    ViewCommand::FileExit,
};

} // namespace duoptic
