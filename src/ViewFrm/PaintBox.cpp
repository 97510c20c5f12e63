#include "ViewFrm/PaintBox.h"

#include "base/ErrorReport.h"

#include <QMouseEvent>
#include <QPainter>

namespace duoptic {

PaintBox::PaintBox(int tag, QWidget* parent) : QWidget(parent), tag_(tag) {
    setObjectName(QStringLiteral("PaintBox%1").arg(tag));
    // The whole area is composed off screen and copied in one step.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setContextMenuPolicy(Qt::NoContextMenu);
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
