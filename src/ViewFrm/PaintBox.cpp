#include "ViewFrm/PaintBox.h"

#include "base/ErrorReport.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>

namespace duoptic {

PaintBox::PaintBox(int tag, QWidget* parent) : QWidget(parent), tag_(tag) {
    setObjectName(QStringLiteral("PaintBox%1").arg(tag));
    // The whole area is composed off screen and copied in one step.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setContextMenuPolicy(Qt::NoContextMenu);
}

QPoint PaintBox::deviceOriginOnScreen() const {
    const QScreen* on = screen();
    const QPoint fromScreen =
        mapToGlobal(QPoint(0, 0)) - (on ? on->geometry().topLeft() : QPoint());
    // Qt keeps a screen's top-left in device pixels and scales only positions within it.
    const double ratio = devicePixelRatioF();
    return {static_cast<int>(std::lround(fromScreen.x() * ratio)),
            static_cast<int>(std::lround(fromScreen.y() * ratio))};
}

void PaintBox::paintEvent(QPaintEvent*) {
    if (onPaint) {
        QPainter painter(this);
        guarded([&] { onPaint(*this, painter); });
    }
}

void PaintBox::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (onMouseDown) {
        guarded([&] { onMouseDown(*this, event->button(), event->position()); });
    }
}

void PaintBox::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    release(event->button(), event->position());
}

void PaintBox::release(Qt::MouseButton button, QPointF at) {
    if (onMouseUp) {
        guarded([&] { onMouseUp(*this, button, at); });
    }
}

} // namespace duoptic
