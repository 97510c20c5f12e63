#include "ViewFrm/panels/PaintBox.h"

#include "ViewFrm/panels/NativeWindowOrigin.h"
#include "base/ErrorReport.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>
#include <optional>

namespace duoptic {

namespace {

// A screen reader takes an image area for a picture, not for an empty container.
QAccessibleInterface* imageAreaAccessible(const QString&, QObject* object) {
    if (auto* box = qobject_cast<PaintBox*>(object)) {
        return new QAccessibleWidget(box, QAccessible::Graphic);
    }
    return nullptr;
}

} // namespace

PaintBox::PaintBox(int tag, QWidget* parent) : QWidget(parent), tag_(tag) {
    static const bool accessibleAsImage = [] {
        QAccessible::installFactory(imageAreaAccessible);
        return true;
    }();
    (void)accessibleAsImage;
    setObjectName(QStringLiteral("PaintBox%1").arg(tag));
    // The whole area is composed off screen and copied in one step.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setContextMenuPolicy(Qt::NoContextMenu);
}

QPoint PaintBox::deviceOriginOnScreen() const {
    const double ratio = devicePixelRatioF();
    const auto scaled = [ratio](QPoint p) {
        return QPoint(static_cast<int>(std::lround(p.x() * ratio)),
                      static_cast<int>(std::lround(p.y() * ratio)));
    };
    const QWidget* top = window();
    // The window's place in device pixels as the display server has it: Qt's own positions are
    // in scaled pixels, which at a ratio of 2 or 1.5 cannot tell a move by one device pixel.
    // Within the window, the area sits where the backing store draws it: its offset, scaled.
    const std::optional<QPoint> windowAt = nativeWindowOrigin(*top);
    const QPoint inWindow = scaled(mapTo(top, QPoint(0, 0)));
    // Qt keeps a screen's top-left in device pixels and scales only positions within it.
    const QScreen* on = screen();
    const QPoint screenAt = on ? on->geometry().topLeft() : QPoint();
    if (windowAt) {
        return *windowAt + inWindow - screenAt;
    }
    return scaled(top->mapToGlobal(QPoint(0, 0)) - screenAt) + inWindow;
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
