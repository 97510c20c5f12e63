#include "base/CentreOnScreen.h"

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>

namespace duoptic {

namespace {

QMargins frameMarginsOf(const QWidget& window) {
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

} // namespace

void centreOnScreen(QWidget& dialog) {
    const QScreen* target = dialog.screen() ? dialog.screen() : QGuiApplication::primaryScreen();
    if (target == nullptr) {
        return;
    }
    QMargins frame = frameMarginsOf(dialog);
    if (frame.isNull() && dialog.parentWidget() != nullptr) {
        frame = frameMarginsOf(*dialog.parentWidget()->window());
    }
    const QSize outer = dialog.size().grownBy(frame);
    const QRect avail = target->availableGeometry();
    const QPoint outerTopLeft(avail.x() + (avail.width() - outer.width()) / 2,
                              avail.y() + (avail.height() - outer.height()) / 2);
    dialog.setGeometry(QRect(outerTopLeft + QPoint(frame.left(), frame.top()), dialog.size()));
}

} // namespace duoptic
