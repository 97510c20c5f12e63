// Keys, wheel, the commands that only move controls, the slide show and the center border.
#include "ViewFrm/DroppedPath.h"
#include "ViewFrm/panels/PaintBox.h"
#include "ViewFrm/ViewForm.h"
#include "ViewFrm/logic/InputMaps.h"

#include "TipsFrm/TipsForm.h"
#include "base/CentreOnScreen.h"
#include "base/DialogFont.h"
#include "base/ErrorReport.h"
#include "settings/TextToInt.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSlider>
#include <QWheelEvent>

#include <algorithm>

namespace duoptic {

namespace {

MainKey mainKey(int key, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return MainKey::Enter;
    case Qt::Key_Space:
        return MainKey::Space;
    case Qt::Key_Escape:
        return MainKey::Escape;
    case Qt::Key_Left:
        return MainKey::Left;
    case Qt::Key_Right:
        return MainKey::Right;
    case Qt::Key_Up:
        return MainKey::Up;
    case Qt::Key_Down:
        return MainKey::Down;
    case Qt::Key_Backspace:
        return MainKey::Backspace;
    case Qt::Key_PageUp:
        return MainKey::PageUp;
    case Qt::Key_PageDown:
        return MainKey::PageDown;
    case Qt::Key_Home:
        return MainKey::Home;
    case Qt::Key_End:
        return MainKey::End;
    case Qt::Key_F11:
        return MainKey::F11;
    case Qt::Key_D:
        return MainKey::D;
    case Qt::Key_I:
        return MainKey::I;
    case Qt::Key_J:
        return MainKey::J;
    case Qt::Key_K:
        return MainKey::K;
    case Qt::Key_L:
        return MainKey::L;
    case Qt::Key_O:
        return MainKey::O;
    case Qt::Key_A:
        return MainKey::A;
    case Qt::Key_Plus:
        return keypad ? MainKey::KeypadPlus : MainKey::Other;
    case Qt::Key_Minus:
        return keypad ? MainKey::KeypadMinus : MainKey::Other;
    default:
        return MainKey::Other;
    }
}

std::optional<QString> askCenterBorder(QWidget* parent, const QString& label,
                                       const QString& preset) {
    QInputDialog dialog(parent);
    dialog.setFont(dialogFont());
    dialog.setWindowTitle(QStringLiteral("Center Border"));
    dialog.setLabelText(label);
    dialog.setTextValue(preset);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        edit->setMaxLength(255);
        edit->selectAll();
    }
    dialog.adjustSize();
    dialog.setFixedSize(dialog.size()); // a prompt of one line has nothing to gain from resizing
    centreOnScreen(dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

} // namespace

bool TViewForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonRelease) {
        return routeUncapturedRelease(watched, static_cast<QMouseEvent*>(event));
    }
    if (type != QEvent::KeyPress && type != QEvent::Wheel) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this ||
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
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        return false;
    }
    // A left press captures the pointer: its release, and any release while it is held, goes to
    // the area that was pressed, which is what Qt does anyway.
    if (event->button() == Qt::LeftButton || event->buttons().testFlag(Qt::LeftButton)) {
        return false;
    }
    // Other buttons do not capture: their release belongs to the image area under the pointer,
    // or to none. Qt grabbed the pointer for them all the same and delivers to the pressed widget.
    const QPointF global = event->globalPosition();
    auto* under = qobject_cast<PaintBox*>(QApplication::widgetAt(global.toPoint()));
    if (under != nullptr && under->window() != this) {
        under = nullptr;
    }
    auto* receiver = qobject_cast<PaintBox*>(widget);
    if (receiver == under) {
        return false; // released where it was pressed: the normal path
    }
    // An unaccepted release travels on to the parents; reroute it once only. Two buttons may
    // be released within the same millisecond, so the button tells them apart.
    if (under != nullptr && lastRerouted_ != std::make_pair(event->timestamp(), event->button())) {
        lastRerouted_ = {event->timestamp(), event->button()};
        under->release(event->button(), under->mapFromGlobal(global));
    }
    return receiver != nullptr; // an image area not under the pointer does not take it
}

bool TViewForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    const KeyContext context{slideShow_.running(), navigator_.count(), ui_.ScrollBarH->value(),
                             ui_.ScrollBarV->value(), isFullScreen()};
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
    case KeyAction::ResetRightEye:
        resetRightEye();
        break;
    case KeyAction::ToggleAutoAlign:
        setAutoAlign(state_.settings.autoAlign == 0);
        break;
    case KeyAction::NextDisplayMode:
        setDisplayMode(nextDisplayMode(displayMode()));
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
    if (isFullScreen()) {
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
