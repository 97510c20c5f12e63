#include "ViewFrm/ReleaseRouter.h"

#include "ViewFrm/panels/PaintBox.h"

#include <QApplication>
#include <QMouseEvent>

namespace duoptic {

bool ReleaseRouter::route(const QWidget& window, QObject* watched, const QMouseEvent& event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != &window) {
        return false;
    }
    // A left press captures the pointer: its release, and any release while it is held, goes to
    // the area that was pressed, which is what Qt does anyway.
    if (event.button() == Qt::LeftButton || event.buttons().testFlag(Qt::LeftButton)) {
        return false;
    }
    // Other buttons do not capture: their release belongs to the image area under the pointer,
    // or to none.
    const QPointF global = event.globalPosition();
    auto* under = qobject_cast<PaintBox*>(QApplication::widgetAt(global.toPoint()));
    if (under != nullptr && under->window() != &window) {
        under = nullptr;
    }
    auto* receiver = qobject_cast<PaintBox*>(widget);
    if (receiver == under) {
        return false; // released where it was pressed: the normal path
    }
    // An unaccepted release travels on to the parents; reroute it once only. Two buttons may
    // be released within the same millisecond, so the button tells them apart.
    if (under != nullptr && lastRerouted_ != std::make_pair(event.timestamp(), event.button())) {
        lastRerouted_ = {event.timestamp(), event.button()};
        under->release(event.button(), under->mapFromGlobal(global));
    }
    return receiver != nullptr; // an image area not under the pointer does not take it
}

} // namespace duoptic
