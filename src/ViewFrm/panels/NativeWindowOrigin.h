#pragma once

#include <QPoint>

#include <optional>

class QWidget;

namespace duoptic {

// Where the client area of the top-level window `top` lies on the display, in device pixels, as
// the X server has it; nothing where no X server can be asked (another platform, a window not
// made yet).
std::optional<QPoint> nativeWindowOrigin(const QWidget& top);

} // namespace duoptic
