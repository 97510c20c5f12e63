#include "ViewFrm/panels/NativeWindowOrigin.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace duoptic {

std::optional<QPoint> nativeWindowOrigin(const QWidget& top) {
    if (QGuiApplication::platformName() != QLatin1String("xcb") ||
        !top.testAttribute(Qt::WA_WState_Created)) {
        return std::nullopt;
    }
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return std::nullopt;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr) {
        return std::nullopt;
    }
    const auto window = static_cast<xcb_window_t>(top.winId());
    const std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> reply(
        xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, window, screen->root, 0, 0), nullptr),
        &std::free);
    if (!reply) {
        return std::nullopt;
    }
    return QPoint(reply->dst_x, reply->dst_y);
}

NativeMoves::NativeMoves(std::function<void()> configured) : configured_(std::move(configured)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

NativeMoves::~NativeMoves() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool NativeMoves::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType == "xcb_generic_event_t") {
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const int type = event->response_type & 0x7f;
        if (type == XCB_CONFIGURE_NOTIFY || type == XCB_PROPERTY_NOTIFY) {
            QMetaObject::invokeMethod(&context_, configured_, Qt::QueuedConnection);
        }
    }
    return false; // Qt handles the event as ever
}

} // namespace duoptic
