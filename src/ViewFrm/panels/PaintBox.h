#pragma once

#include <QWidget>

#include <functional>

namespace duoptic {

// An image area: it draws nothing by itself and hands paint, press and release to its owner.
// Qt grabs the mouse on a press of any button, so a release comes back to the area that was
// pressed, in that area's coordinates, wherever the pointer is by then. Only a left press is
// meant to capture: the owner reroutes other releases to where the pointer is (release()).
class PaintBox : public QWidget {
    Q_OBJECT
public:
    PaintBox(int tag, QWidget* parent);

    int tag() const { return tag_; }
    // Where the area's top-left pixel lies on its screen, in device pixels from the screen's own
    // top-left: a line's parity there is the one a polarised monitor sees.
    QPoint deviceOriginOnScreen() const;
    // Handles a release as if it had been made over this area, at `at` in its coordinates.
    void release(Qt::MouseButton button, QPointF at);

    std::function<void(PaintBox&, QPainter&)> onPaint;
    std::function<void(PaintBox&, Qt::MouseButton, QPointF)> onMouseDown;
    std::function<void(PaintBox&, Qt::MouseButton, QPointF)> onMouseUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int tag_;
};

} // namespace duoptic
