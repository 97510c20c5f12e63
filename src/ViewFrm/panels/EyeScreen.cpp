#include "ViewFrm/panels/EyeScreen.h"

#include "ViewFrm/panels/PaintBox.h"

#include <QScreen>

namespace duoptic {

EyeScreen::EyeScreen(QScreen& screen, QWidget& owner)
    : QWidget(&owner, Qt::Window), area_(new PaintBox(2, this)) {
    setObjectName(QStringLiteral("EyeScreen"));
    setWindowTitle(QStringLiteral("Duoptic - Second Screen"));
    // The keyboard stays with the main window, which takes the keys of this one as well.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setScreen(&screen);
    // Placed on its screen before it is shown full screen: the window manager fills the screen
    // the window is on, and without a window manager the place is all there is.
    setGeometry(screen.geometry());
    area_->setGeometry(rect());
}

void EyeScreen::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    area_->setGeometry(rect());
    if (onResized) {
        onResized();
    }
}

void EyeScreen::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (onClosed) {
        onClosed();
    }
}

} // namespace duoptic
