// The output modes: the Display submenu, the mode kept in the settings, and its redrawing.
#include "ViewFrm/ViewForm.h"

#include "base/ErrorReport.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QScreen>

namespace duoptic {

void TViewForm::createDisplayMenu() {
    ui_.DisplayMenu = new QMenu(QStringLiteral("Display"), this);
    ui_.DisplayMenu->setObjectName(QStringLiteral("DisplayMenu"));
    auto* exclusive = new QActionGroup(ui_.DisplayMenu);
    for (const DisplayModeNames& names : kDisplayModes) {
        QAction* item = ui_.DisplayMenu->addAction(
            QString::fromUtf8(names.caption.data(), static_cast<qsizetype>(names.caption.size())));
        item->setCheckable(true);
        item->setActionGroup(exclusive);
        connect(item, &QAction::triggered, this,
                [this, mode = names.mode] { guarded([&] { setDisplayMode(mode); }); });
        ui_.displayModes[displayModeIndex(names.mode)] = item;
    }
    ui_.DisplayMenu->setToolTipsVisible(true); // why Two Screens is not offered
    offerTwoScreens();
    connect(qApp, &QGuiApplication::screenAdded, this, [this] { offerTwoScreens(); });
    connect(qApp, &QGuiApplication::screenRemoved, this, [this] {
        offerTwoScreens();
        // Whichever screen went, the window comes back; queued, as Qt moves the windows of a
        // screen that is going only after telling of it.
        QMetaObject::invokeMethod(
            this, [this] { guarded([this] { leaveTwoScreens(); }); }, Qt::QueuedConnection);
    });
    ui_.DisplayMenu->addSeparator();
    ui_.swapParity = ui_.DisplayMenu->addAction(QStringLiteral("Swap Interlace Parity"));
    ui_.swapParity->setCheckable(true);
    connect(ui_.swapParity, &QAction::triggered, this,
            [this](bool checked) { guarded([&] { setInterlaceSwap(checked); }); });
    ui_.mirrorLeft = ui_.DisplayMenu->addAction(QStringLiteral("Mirror Left Panel"));
    ui_.mirrorLeft->setCheckable(true);
    connect(ui_.mirrorLeft, &QAction::triggered, this,
            [this](bool checked) { guarded([&] { setMirrorLeft(checked); }); });
}

// The menu's checks follow the settings as read from the file.
void TViewForm::showDisplaySettings() {
    ui_.displayModes[displayModeIndex(displayMode())]->setChecked(true);
    ui_.swapParity->setChecked(state_.settings.interlaceSwap != 0);
    ui_.mirrorLeft->setChecked(state_.settings.mirrorLeft != 0);
}

DisplayMode TViewForm::displayMode() const {
    return eyeScreen_ ? DisplayMode::TwoScreens : state_.settings.displayMode;
}

void TViewForm::setDisplayMode(DisplayMode mode) {
    if (mode == DisplayMode::TwoScreens) {
        enterTwoScreens();
        return;
    }
    state_.settings.displayMode = mode;
    if (eyeScreen_) {
        leaveTwoScreens();
    } else {
        displayChanged();
    }
}

void TViewForm::setInterlaceSwap(bool swap) {
    state_.settings.interlaceSwap = swap ? 1 : 0;
    displayChanged();
}

void TViewForm::setMirrorLeft(bool left) {
    state_.settings.mirrorLeft = left ? 1 : 0;
    displayChanged();
}

void TViewForm::displayChanged() {
    showDisplaySettings();
    nameImageAreas();
    // A change between one image area and two is a new layout; the layout pass asks both areas
    // to be drawn again in any case.
    FormResize();
}

} // namespace duoptic
