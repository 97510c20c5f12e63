#include "ViewFrm/ViewForm.h"
#include "ViewFrm/SettingsLoadChoices.h"

#include "ViewFrm/RunFiler.h"
#include "base/DialogFont.h"
#include "base/ErrorReport.h"
#include "base/Trace.h"
#include "resources/Resources.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QIcon>
#include <QScrollBar>
#include <QShowEvent>
#include <QSlider>
#include <QTimer>
#include <QWindowStateChangeEvent>

#include <utility>

namespace duoptic {

TViewForm::TViewForm(ProgramState& state, PairNavigator& navigator, QWidget* parent)
    : QWidget(parent), state_(state), navigator_(navigator),
      slideShow_(
          [this] { slideTick(); },
          [this](bool running) { command(ViewCommand::ViewSlideShow)->setChecked(running); }) {
    setObjectName(QStringLiteral("ViewForm"));
    setCaption(QStringLiteral("ViewForm"));
    setWindowIcon(QIcon(QString::fromLatin1(resources::kIcon)));
    setFont(dialogFont());
    resize(553, 483);

    createControls();
    createCommands();
    runFiler = [this] {
        return duoptic::runFiler(this, state_, navigator_.list(),
                                 [this] { command(ViewCommand::ShowTips)->trigger(); });
    };

    ui_.TrackBar1->setValue(0);
    state_.displayName = kNoPairName;
    nameControls();
    navigator_.setLoadChoices(loadChoices(state_.settings));
    showDisplaySettings();
    setMinimumSize(200, 120);
    setAcceptDrops(true);

    // Key presses and wheel turns meant for this window or any of its children come here first.
    qApp->installEventFilter(this);
}

TViewForm::~TViewForm() {
    qApp->removeEventFilter(this);
    guarded([this] { writeSettingsNow(); });
}

void TViewForm::writeSettingsNow() {
    SettingsRecord record = state_.settings;
    placement_.store(record);
    writeSettings(state_.settingsPath, record);
}

void TViewForm::closeEvent(QCloseEvent* event) {
    folderRun_.reset(); // a folder still being written stops, leaving nothing half-written
    if (eyeScreen_) {
        // The window stays fullscreen: the placement then keeps the frame from before it.
        eyeScreen_->hide();
    }
    placement_.keepClosingFrame();
    QWidget::closeEvent(event);
}

void TViewForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shown_ && !event->spontaneous()) {
        shown_ = true;
        guarded([this] { showStep(); });
    }
}

void TViewForm::showStep() {
    trace("window shown");
    // A path from the command line takes the place of the last folder, which is then not read.
    const bool startPath = navigator_.hasStartPath();
    if (!startPath) {
        navigator_.open(PairNavigator::Folder{state_.settings.latestPath}, viewerSides());
    }
    // A start path's pair is decoding already and is shown first: no sample pair before it.
    if (!navigator_.startsWithPair()) {
        showPictures(navigator_.samplePair());
    }

    placement_.apply(state_.settings);
    panels_->setGateOpen(true);
    updateTitle(state_.displayName);
    // Make sure one layout pass runs with the image size known, whether or not the placement
    // changed the size.
    FormResize();
    if (startPath) {
        // Once the window is up: a path that leads nowhere is reported over the started window.
        // A folder's scan and the decode ahead of its first pair wait for the window's first
        // paint, which they would otherwise hold up. A pair decoding already waits for it too:
        // the first paint of a window (its memory, the fonts of its buttons) then happens while
        // the decode runs, not between the decode's end and the pair on screen.
        whenPainted([this] { guarded([&] { openStartPath(); }); });
    } else {
        // The first pair that Next would show, once the window has had its first paint.
        whenPainted([this] { schedulePreload(); });
    }
}

void TViewForm::whenPainted(std::function<void()> step) {
    afterNextPaint_ = std::move(step);
    // A window that is not painted (started minimised) goes on all the same, a moment later.
    constexpr int kLatestMilliseconds = 500;
    QTimer::singleShot(kLatestMilliseconds, this, [this] {
        if (afterNextPaint_) {
            std::exchange(afterNextPaint_, nullptr)();
        }
    });
}

void TViewForm::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (afterNextPaint_) {
        // Queued, so that the paint reaches the screen first.
        QMetaObject::invokeMethod(this, std::exchange(afterNextPaint_, nullptr),
                                  Qt::QueuedConnection);
    }
}

void TViewForm::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    placement_.followFrame();
    panels_->windowMoved();
}

void TViewForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) {
        return;
    }
    placement_.followFrame();
    // The window manager may also end fullscreen on its own.
    command(ViewCommand::ViewFullScreen)->setChecked(isFullScreen());
    // Qt sends no resize event for a size that changed while the window was minimised, so the
    // layout is redone on the way out of that state.
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if (change->oldState().testFlag(Qt::WindowMinimized) && !isMinimized()) {
        guarded([this] { FormResize(); });
    }
}

void TViewForm::updateTitle(const std::string& name) {
    setCaption(QStringLiteral("Duoptic - ") + QFile::decodeName(QByteArray::fromStdString(name)) +
               QStringLiteral(" - ") + QString::fromStdString(state_.settings.viewerMode.text()));
    nameImageAreas();
}

void TViewForm::setCaption(const QString& caption) {
    // Qt reads "[*]" in a title as the place of a modified mark and drops it; doubled, it shows
    // as it stands. A base name may hold anything.
    QString escaped = caption;
    escaped.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(escaped);
}

QString TViewForm::caption() const {
    QString shown = windowTitle();
    return shown.replace(QStringLiteral("[*][*]"), QStringLiteral("[*]"));
}

} // namespace duoptic
