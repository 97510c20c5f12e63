// Keys, wheel, the commands that only move controls, the slide show and the center border.
#include "ViewFrm/CenterBorderPrompt.h"
#include "ViewFrm/DroppedPath.h"
#include "ViewFrm/QtKeys.h"
#include "ViewFrm/ViewForm.h"
#include "ViewFrm/logic/InputMaps.h"
#include "ViewFrm/panels/PaintBox.h"

#include "TipsFrm/TipsForm.h"
#include "base/ErrorReport.h"
#include "settings/TextToInt.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSlider>
#include <QWheelEvent>

#include <algorithm>

namespace duoptic {

bool TViewForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonRelease) {
        return routeUncapturedRelease(watched, static_cast<QMouseEvent*>(event));
    }
    if (type != QEvent::KeyPress && type != QEvent::Wheel) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    // The window of the second screen takes keys and wheel as this one.
    if (widget == nullptr || (widget->window() != this && widget->window() != eyeScreen_) ||
        QApplication::activeModalWidget() != nullptr) {
        return false;
    }
    if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!keyRepeats_.stale(key->isAutoRepeat(), key->timestamp())) {
            QElapsedTimer handling;
            handling.start();
            guarded([&] { FormKeyDown(key->key(), key->modifiers()); });
            keyRepeats_.handled(key->timestamp(), handling.elapsed());
        }
    } else {
        auto* wheel = static_cast<QWheelEvent*>(event);
        // Qt turns a wheel turn made with Alt held into a horizontal one, and the turn still
        // zooms. Without Alt a horizontal delta comes from a tilt wheel or a sideways swipe,
        // which leave the zoom alone.
        const QPoint delta = wheel->angleDelta();
        const bool altTurn = wheel->modifiers().testFlag(Qt::AltModifier) && delta.y() == 0;
        guarded([&] { FormMouseWheel(altTurn ? delta.x() : delta.y()); });
    }
    event->accept();
    return true; // consumed: nothing else acts on it
}

bool TViewForm::routeUncapturedRelease(QObject* watched, QMouseEvent* event) {
    return releaseRouter_.route(*this, watched, *event);
}

bool TViewForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    const KeyContext context{slideShow_.running(), navigator_.count(), ui_.ScrollBarH->value(),
                             ui_.ScrollBarV->value(), isFullScreen() || eyeScreen_};
    const KeyAction act = mapKey(mainKey(key, modifiers), context);
    switch (act.kind) {
    case KeyAction::None:
        break;
    case KeyAction::Next:
        next();
        break;
    case KeyAction::Previous:
        previous();
        break;
    case KeyAction::First:
        showEntry(1);
        break;
    case KeyAction::Last:
        showEntry(navigator_.count());
        break;
    case KeyAction::ToggleFullScreen:
        command(ViewCommand::ViewFullScreen)->trigger();
        break;
    case KeyAction::StopSlideShow:
        slideShow_.stop();
        break;
    case KeyAction::SetHorizontal:
        ui_.ScrollBarH->setValue(act.value);
        break;
    case KeyAction::SetVertical:
        ui_.ScrollBarV->setValue(act.value);
        break;
    case KeyAction::ZoomIn:
        command(ViewCommand::ViewZoomIn)->trigger();
        break;
    case KeyAction::ZoomOut:
        command(ViewCommand::ViewZoomOut)->trigger();
        break;
    case KeyAction::MoveRightEye:
        moveRightEye(act.value, act.dy);
        break;
    case KeyAction::TurnRightEye:
        turnRightEye(act.value);
        break;
    case KeyAction::ResetRightEye:
        resetRightEye();
        break;
    case KeyAction::ToggleAutoAlign:
        setAutoAlign(state_.settings.autoAlign == 0);
        break;
    case KeyAction::ToggleAutoWindow:
        setAutoWindow(state_.settings.autoWindow == 0);
        break;
    case KeyAction::ToggleDepth:
        setShowDepth(state_.settings.showDepth == 0);
        break;
    case KeyAction::NextDisplayMode:
        setDisplayMode(nextDisplayMode(displayMode(), secondScreen() != nullptr));
        break;
    case KeyAction::SaveAs:
        ui_.saveAs->trigger();
        break;
    case KeyAction::ToggleCropCommon:
        setCropCommon(state_.settings.cropCommon == 0);
        break;
    case KeyAction::ToggleCameraData:
        setShowCameraData(state_.settings.showCameraData == 0);
        break;
    case KeyAction::ToggleActualSize:
        ui_.actualSize->trigger();
        break;
    case KeyAction::MoveToTrash:
        ui_.moveToTrash->trigger();
        break;
    }
    return true;
}

void TViewForm::FormMouseWheel(int delta) {
    ui_.TrackBar1->setValue(ui_.TrackBar1->value() + wheelZoomStep(delta));
}

void TViewForm::ViewZoomInExecute() {
    ui_.TrackBar1->setValue(ui_.TrackBar1->value() + 10);
}

void TViewForm::ViewZoomOutExecute() {
    ui_.TrackBar1->setValue(ui_.TrackBar1->value() - 10);
}

void TViewForm::ViewSlideShowExecute() {
    if (slideShow_.running()) {
        slideShow_.stop();
    } else {
        slideShow_.start(state_.settings.slideInterval);
    }
}

void TViewForm::slideTick() {
    next(); // queued and reported by the show itself
}

void TViewForm::ViewBorderExecute() {
    const QString preset = QString::number(state_.settings.borderWidth);
    const QString label = QStringLiteral("Current center border width is ") + preset +
                          QStringLiteral("\nInput new value (1-200)...");
    const std::optional<QString> answer = promptCenterBorder ? promptCenterBorder(label, preset)
                                                             : askCenterBorder(this, label, preset);
    const int value =
        textToInt(answer.value_or(preset).toStdString(), 1, ZeroXPrefix::AfterSignToo);
    state_.settings.borderWidth = std::clamp(value, 1, 200);
    FormResize();
}

void TViewForm::dragEnterEvent(QDragEnterEvent* event) {
    if (droppedPath(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void TViewForm::dropEvent(QDropEvent* event) {
    std::optional<std::string> path = droppedPath(event->mimeData());
    if (!path) {
        return;
    }
    event->acceptProposedAction();
    if (slideShow_.running()) {
        slideShow_.stop();
    }
    // Opened once the drop has been answered, as the command line's PATH is: the file manager
    // waits for the answer, and an error report opened inside the drop would run its event loop
    // within the drag-and-drop handling, where an ending program cannot unwind.
    QMetaObject::invokeMethod(
        this, [this, dropped = std::move(*path)] { guarded([&] { openPath(dropped); }); },
        Qt::QueuedConnection);
}

void TViewForm::ShowTipsExecute() {
    showTips(this);
}

void TViewForm::ViewFullScreenExecute() {
    if (eyeScreen_) {
        leaveTwoScreens(); // back to the window as it was, fullscreen or not
    } else if (isFullScreen()) {
        setWindowState(windowState() & ~Qt::WindowFullScreen);
    } else {
        // The screen the window is on is the one Qt fills.
        placement_.keepFrameBeforeFullScreen();
        setWindowState(windowState() | Qt::WindowFullScreen);
    }
}

void TViewForm::FileExitExecute() {
    close();
}

} // namespace duoptic
