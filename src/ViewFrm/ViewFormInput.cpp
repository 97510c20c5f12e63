// Keys, wheel, the commands that only move controls, the slide show and the center border.
#include "ViewFrm/ViewForm.h"
#include "ViewFrm/logic/InputMaps.h"

#include "TipsFrm/TipsForm.h"
#include "base/CentreOnScreen.h"
#include "base/ErrorReport.h"
#include "settings/TextToInt.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
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
    centreOnScreen(dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

} // namespace

bool TViewForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
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
        guarded([&] { FormKeyDown(key->key(), key->modifiers()); });
    } else {
        auto* wheel = static_cast<QWheelEvent*>(event);
        guarded([&] { FormMouseWheel(wheel->angleDelta().y()); });
    }
    event->accept();
    return true; // consumed: nothing else acts on it
}

bool TViewForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    const KeyContext context{slideShowRunning_, state_.pairs.list.count(), ScrollBarH->value(),
                             ScrollBarV->value()};
    const KeyAction act = mapKey(mainKey(key, modifiers), context);
    switch (act.kind) {
    case KeyAction::None:
        break;
    case KeyAction::Next:
        next();
        break;
    case KeyAction::StopSlideShow:
        stopSlideShow();
        break;
    case KeyAction::SetHorizontal:
        ScrollBarH->setValue(act.value);
        break;
    case KeyAction::SetVertical:
        ScrollBarV->setValue(act.value);
        break;
    case KeyAction::ZoomIn:
        action("ViewZoomIn")->trigger();
        break;
    case KeyAction::ZoomOut:
        action("ViewZoomOut")->trigger();
        break;
    }
    return true;
}

void TViewForm::FormMouseWheel(int delta) {
    TrackBar1->setValue(TrackBar1->value() + wheelZoomStep(delta));
}

void TViewForm::ViewZoomInExecute() {
    TrackBar1->setValue(TrackBar1->value() + 10);
}

void TViewForm::ViewZoomOutExecute() {
    TrackBar1->setValue(TrackBar1->value() - 10);
}

void TViewForm::ViewSlideShowExecute() {
    if (slideShowRunning_) {
        stopSlideShow();
        return;
    }
    timer_.setEnabled(true);
    slideShowRunning_ = true;
    action("ViewSlideShow")->setChecked(true);
    timer_.setInterval(slideIntervalMilliseconds(state_.settings.slideInterval));
}

void TViewForm::stopSlideShow() {
    timer_.setEnabled(false);
    slideShowRunning_ = false;
    action("ViewSlideShow")->setChecked(false);
    timer_.setInterval(0);
}

void TViewForm::TimerTimer() {
    // A failing tick reports and leaves the timer running.
    guarded([this] { next(); });
}

void TViewForm::ViewBorderExecute() {
    const QString preset = QString::number(state_.settings.borderWidth);
    const QString label = QStringLiteral("Current center border width is ") + preset +
                          QStringLiteral("\nInput new value (1-200)...");
    const std::optional<QString> answer = promptCenterBorder ? promptCenterBorder(label, preset)
                                                             : askCenterBorder(this, label, preset);
    const int value = textToInt(answer.value_or(preset).toStdString(), 1);
    state_.settings.borderWidth = std::clamp(value, 1, 200);
    FormResize();
}

void TViewForm::ShowTipsExecute() {
    showTips(this);
}

void TViewForm::FileExitExecute() {
    close();
}

} // namespace duoptic
