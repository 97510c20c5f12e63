#pragma once

#include <QWidget>

#include <functional>

namespace duoptic {

// An image area: it draws nothing by itself and hands paint, press and release to its owner.
// Qt grabs the mouse on a press, so a release always comes back to the area that was pressed,
// in that area's coordinates, wherever the pointer is by then.
class PaintBox : public QWidget {
    Q_OBJECT
public:
    PaintBox(int tag, QWidget* parent);

    int tag() const { return tag_; }

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
