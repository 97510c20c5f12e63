#pragma once

#include "settings/Settings.h"

#include <QRect>

#include <optional>

class QWidget;

namespace duoptic {

// Where the main window stands, as the settings keep it: the outer frame, which only the window
// manager knows, and the state. Puts the window there at its first showing and reads it back at
// its end.
class WindowPlacement {
public:
    explicit WindowPlacement(QWidget& window) : window_(window) {}

    // Moves and sizes the window to the stored frame, or maximises it, and puts it right once
    // the window manager has framed it.
    void apply(const SettingsRecord& stored);
    // Takes the frame size whenever the window manager reports it; false while it has not.
    bool followFrame();
    // At the close: the frame while the window manager still frames the window.
    void keepClosingFrame();
    // Just before fullscreen: the frame to store while the window fills the screen, since the
    // settings are about the window the user arranged, which leaving fullscreen brings back.
    void keepFrameBeforeFullScreen();
    // The frame and state to store.
    void store(SettingsRecord& record) const;

private:
    bool correctForFrame(); // true when the outer frame is where it belongs

    QWidget& window_;
    QRect stored_;       // the outer frame the settings asked for
    int frameWidth_ = 0; // outer minus client size, once the window manager told us
    int frameHeight_ = 0;
    std::optional<QRect> closingFrame_;
    QRect frameBeforeFullScreen_;
    bool maximisedBeforeFullScreen_ = false;
};

} // namespace duoptic
