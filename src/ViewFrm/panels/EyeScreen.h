#pragma once

#include <QWidget>

#include <functional>

class QScreen;

namespace duoptic {

class PaintBox;

// A window that fills one screen with one image area, for the eye that has that screen to
// itself. It draws nothing by itself: its area is given to the panels to draw one of them in.
// It belongs to the main window, so that it never keeps the program running on its own. Shown
// with showFullScreen() once its owner has set the callbacks.
class EyeScreen : public QWidget {
    Q_OBJECT
public:
    EyeScreen(QScreen& screen, QWidget& owner);

    PaintBox& area() const { return *area_; }

    std::function<void()> onResized; // the area has a new size
    std::function<void()> onClosed;  // closed from outside, by the window manager

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    PaintBox* area_;
};

} // namespace duoptic
