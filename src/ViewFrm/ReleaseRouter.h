#pragma once

#include <Qt>
#include <QtGlobal>

#include <utility>

class QMouseEvent;
class QObject;
class QWidget;

namespace duoptic {

// Only a left press captures the pointer, but Qt grabs it for every button and delivers each
// release to the widget that was pressed. The router hands other buttons' releases to the image
// area under the pointer instead, once each.
class ReleaseRouter {
public:
    // Whether the release that Qt delivered to `watched` inside `window` is consumed here.
    bool route(const QWidget& window, QObject* watched, const QMouseEvent& event);

private:
    // The release last handed to another area, which travels on to the parents unaccepted.
    std::pair<quint64, Qt::MouseButton> lastRerouted_{0, Qt::NoButton};
};

} // namespace duoptic
