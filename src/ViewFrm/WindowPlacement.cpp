#include "ViewFrm/WindowPlacement.h"

#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace duoptic {

void WindowPlacement::apply(const SettingsRecord& s) {
    if (s.winState == 2) {
        window_.setWindowState(window_.windowState() | Qt::WindowMaximized);
        return;
    }
    stored_ = QRect(s.winLeft, s.winTop, s.winWidth, s.winHeight);
    // Stored bounds are the outer frame. Until the window manager has framed the window its
    // frame size is unknown, so the bounds are applied again once the frame is known. That may
    // take a while on a busy machine, and without a window manager it never happens. Qt may also
    // still convert between outer and inner position with a frame it has not caught up with, so
    // the result is checked: every 50 ms, until the frame has been where it belongs for three
    // looks in a row, for at most 5 seconds.
    window_.move(s.winLeft, s.winTop);
    window_.resize(std::max(1, s.winWidth - frameWidth_), std::max(1, s.winHeight - frameHeight_));
    auto* watch = new QTimer(&window_);
    const QDeadlineTimer giveUp(5000);
    QObject::connect(watch, &QTimer::timeout, &window_,
                     [this, watch, giveUp, settled = 0]() mutable {
                         settled = correctForFrame() ? settled + 1 : 0;
                         if (settled >= 3 || window_.isMaximized() || giveUp.hasExpired()) {
                             watch->stop();
                             watch->deleteLater();
                         }
                     });
    watch->start(50);
}

bool WindowPlacement::correctForFrame() {
    if (!followFrame() || window_.isMaximized() || window_.isFullScreen()) {
        return false; // not framed (yet)
    }
    QWindow* native = window_.windowHandle();
    if (native->frameGeometry() == stored_) {
        return true;
    }
    // The inner rectangle, so that no conversion with a frame size is left to anyone else.
    const QMargins frame = native->frameMargins();
    window_.setGeometry(stored_.left() + frame.left(), stored_.top() + frame.top(),
                        std::max(1, stored_.width() - frameWidth_),
                        std::max(1, stored_.height() - frameHeight_));
    return false;
}

bool WindowPlacement::followFrame() {
    // The native window reads the frame from the window manager as soon as it is framed; the
    // widget's own notion of it follows only with a later move and must not be relied on here.
    QWindow* native = window_.windowHandle();
    const QMargins frame = native != nullptr ? native->frameMargins() : QMargins();
    if (frame.isNull()) {
        return false;
    }
    frameWidth_ = frame.left() + frame.right();
    frameHeight_ = frame.top() + frame.bottom();
    // The minimum is an outer size, whatever state the window started in: the client may be
    // smaller by the frame.
    const QSize minimum(std::max(1, 200 - frameWidth_), std::max(1, 120 - frameHeight_));
    if (window_.minimumSize() != minimum) {
        window_.setMinimumSize(minimum);
    }
    return true;
}

void WindowPlacement::keepFrameBeforeFullScreen() {
    keepClosingFrame();
    frameBeforeFullScreen_ = closingFrame_.value_or(window_.frameGeometry());
    maximisedBeforeFullScreen_ = window_.isMaximized();
    closingFrame_.reset();
}

void WindowPlacement::keepClosingFrame() {
    // Once the window is hidden the native window has no frame any more, and the widget only
    // knows the frame of its first showing, which a maximised window no longer has.
    if (QWindow* native = window_.windowHandle(); native != nullptr && window_.isVisible()) {
        closingFrame_ = native->frameGeometry();
    }
}

void WindowPlacement::store(SettingsRecord& record) const {
    const bool fullScreen = window_.isFullScreen();
    const QRect frame =
        fullScreen ? frameBeforeFullScreen_ : closingFrame_.value_or(window_.frameGeometry());
    record.winTop = frame.top();
    record.winLeft = frame.left();
    record.winWidth = frame.width();
    record.winHeight = frame.height();
    const bool maximised = fullScreen ? maximisedBeforeFullScreen_ : window_.isMaximized();
    record.winState = window_.isMinimized() ? 1 : (maximised ? 2 : 0);
}

} // namespace duoptic
