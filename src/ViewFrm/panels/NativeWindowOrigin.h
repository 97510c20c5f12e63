#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPoint>

#include <functional>

#include <optional>

class QWidget;

namespace duoptic {

// Where the client area of the top-level window `top` lies on the display, in device pixels, as
// the X server has it; nothing where no X server can be asked (another platform, a window not
// made yet).
std::optional<QPoint> nativeWindowOrigin(const QWidget& top);

// Calls `configured`, once control is back in the event loop, whenever the X server reports a
// window moved or resized, or a property changed (the frame's extents among them): also a move by
// less than one of Qt's scaled pixels, and a frame learnt after the last move, which Qt itself
// does not pass on.
class NativeMoves : public QAbstractNativeEventFilter {
public:
    explicit NativeMoves(std::function<void()> configured);
    ~NativeMoves() override;
    NativeMoves(const NativeMoves&) = delete;
    NativeMoves& operator=(const NativeMoves&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::function<void()> configured_;
    QObject context_; // queued calls end with it
};

} // namespace duoptic
