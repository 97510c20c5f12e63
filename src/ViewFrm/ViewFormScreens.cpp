// Two Screens: each eye on a screen of its own, for two projectors or two monitors.
#include "ViewFrm/ViewForm.h"
#include "ViewFrm/logic/Layout.h"
#include "ViewFrm/logic/NextScreen.h"
#include "ViewFrm/panels/PaintBox.h"

#include "base/ErrorReport.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

#include <vector>

namespace duoptic {

QScreen* TViewForm::secondScreen() const {
    const QList<QScreen*> screens = QGuiApplication::screens();
    std::vector<Rect> places;
    for (const QScreen* each : screens) {
        const QRect at = each->geometry();
        places.push_back({at.x(), at.y(), at.width(), at.height()});
    }
    const qsizetype current = screens.indexOf(screen());
    const std::optional<std::size_t> next =
        nextScreen(places, static_cast<std::size_t>(current < 0 ? 0 : current));
    return next ? screens[static_cast<qsizetype>(*next)] : nullptr;
}

// With one screen the entry stays in the menu, saying why it cannot be chosen.
void TViewForm::offerTwoScreens() {
    const bool offered = secondScreen() != nullptr;
    QAction* entry = ui_.displayModes[displayModeIndex(DisplayMode::TwoScreens)];
    entry->setEnabled(offered);
    const QString why = offered ? QString() : QStringLiteral("Needs a second screen");
    entry->setToolTip(why);
    entry->setStatusTip(why);
}

void TViewForm::enterTwoScreens() {
    QScreen* second = secondScreen();
    if (eyeScreen_ || second == nullptr) {
        showDisplaySettings(); // the menu's check goes back to the mode shown
        return;
    }
    fullScreenBeforeTwoScreens_ = isFullScreen();
    if (!fullScreenBeforeTwoScreens_) {
        placement_.keepFrameBeforeFullScreen();
    }
    eyeScreen_ = new EyeScreen(*second, *this);
    eyeScreen_->onResized = [this] { guarded([this] { recomputePanelMetrics(); }); };
    // Queued: the window that asks is the one that goes.
    eyeScreen_->onClosed = [this] {
        QMetaObject::invokeMethod(
            this, [this] { guarded([this] { leaveTwoScreens(); }); }, Qt::QueuedConnection);
    };
    PaintBox& area = eyeScreen_->area();
    area.onMouseDown = ui_.PaintBox2->onMouseDown;
    area.onMouseUp = ui_.PaintBox2->onMouseUp;
    panels_->moveSecondPanel(&area);
    setWindowState(windowState() | Qt::WindowFullScreen);
    eyeScreen_->showFullScreen();
    displayChanged();
}

void TViewForm::leaveTwoScreens() {
    if (!eyeScreen_) {
        return;
    }
    panels_->moveSecondPanel(nullptr);
    // Later: a key or a close of that window may be what brought us here.
    eyeScreen_->hide();
    eyeScreen_->deleteLater();
    eyeScreen_ = nullptr;
    if (!fullScreenBeforeTwoScreens_) {
        setWindowState(windowState() & ~Qt::WindowFullScreen);
    }
    displayChanged();
    activateWindow();
}

} // namespace duoptic
