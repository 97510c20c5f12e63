#include "ViewFrm/ViewForm.h"

#include "ViewFrm/RunFiler.h"
#include "base/DialogFont.h"
#include "base/ErrorReport.h"
#include "catalogue/Scan.h"
#include "resources/Resources.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QIcon>
#include <QScrollBar>
#include <QShowEvent>
#include <QSlider>
#include <QTimer>
#include <QWindow>
#include <QWindowStateChangeEvent>

#include <vector>

namespace duoptic {

namespace {

std::vector<unsigned char> resourceBytes(const char* name) {
    QFile file(QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return {bytes.begin(), bytes.end()};
}

Raster sampleImage(JpegDecoder& decoder, const char* resource) {
    decoder.readMemory(resourceBytes(resource));
    return Raster::whole(decoder.picture());
}

} // namespace

TViewForm::TViewForm(ProgramState& state, QWidget* parent)
    : QWidget(parent), state_(state),
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
    runFiler = [this](std::string& name) {
        return duoptic::runFiler(this, state_, name, [this] {
                   command(ViewCommand::ShowTips)->trigger();
               }) == QDialog::Accepted;
    };

    state_.pairs.currentKind = PairKind::TwoFiles;
    TrackBar1->setValue(0);
    state_.displayName = "STEREO PHOTO";
    if (state_.programFolder.empty()) {
        state_.programFolder = "./";
    }
    state_.settingsPath = settingsFilePath(state_.programFolder);
    state_.settings = readSettings(state_.settingsPath, state_.programFolder);
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
    const QRect frame = closingFrame_.value_or(frameGeometry());
    record.winTop = frame.top();
    record.winLeft = frame.left();
    record.winWidth = frame.width();
    record.winHeight = frame.height();
    record.winState = isMinimized() ? 1 : (isMaximized() ? 2 : 0);
    writeSettings(state_.settingsPath, record);
}

void TViewForm::closeEvent(QCloseEvent* event) {
    // Take the outer frame while the window manager still frames the window. Once the window is
    // hidden the native window has no frame any more, and the widget only knows the frame of its
    // first showing, which a maximised window no longer has.
    if (QWindow* native = windowHandle(); native != nullptr && isVisible()) {
        closingFrame_ = native->frameGeometry();
    }
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
    scanFolderForPairs(state_.settings.latestPath, state_.pairs.list);

    panels_->show({sampleImage(*decoderA_, resources::kSampleLeft),
                   sampleImage(*decoderB_, resources::kSampleRight)});

    applyStoredPlacement();
    panels_->setGateOpen(true);
    updateTitle(state_.displayName);
    // Make sure one layout pass runs with the image size known, whether or not the placement
    // changed the size.
    FormResize();
    // The first pair that Next would show, once the window has had its first paint.
    QMetaObject::invokeMethod(
        this, [this] { schedulePreload(); }, Qt::QueuedConnection);
    if (startPath_) {
        // Once the window is up: a path that leads nowhere is reported over the started window.
        QMetaObject::invokeMethod(
            this, [this, path = *startPath_] { guarded([&] { openPath(path); }); },
            Qt::QueuedConnection);
    }
}

void TViewForm::applyStoredPlacement() {
    const SettingsRecord& s = state_.settings;
    if (s.winState == 2) {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    // Stored bounds are the outer frame. Until the window manager has framed the window its
    // frame size is unknown, so the bounds are applied again once the frame is known. That may
    // take a while on a busy machine, and without a window manager it never happens. Qt may also
    // still convert between outer and inner position with a frame it has not caught up with, so
    // the result is checked: every 50 ms, until the frame has been where it belongs for three
    // looks in a row, for at most 5 seconds.
    move(s.winLeft, s.winTop);
    resize(std::max(1, s.winWidth - frameWidth_), std::max(1, s.winHeight - frameHeight_));
    auto* watch = new QTimer(this);
    const QDeadlineTimer giveUp(5000);
    connect(watch, &QTimer::timeout, this, [this, watch, giveUp, settled = 0]() mutable {
        settled = correctPlacementForFrame() ? settled + 1 : 0;
        if (settled >= 3 || isMaximized() || giveUp.hasExpired()) {
            watch->stop();
            watch->deleteLater();
        }
    });
    watch->start(50);
}

bool TViewForm::correctPlacementForFrame() {
    if (!followFrame() || isMaximized()) {
        return false; // not framed (yet)
    }
    const QMargins frame = windowHandle()->frameMargins();
    const SettingsRecord& s = state_.settings;
    if (windowHandle()->frameGeometry() == QRect(s.winLeft, s.winTop, s.winWidth, s.winHeight)) {
        return true;
    }
    // The inner rectangle, so that no conversion with a frame size is left to anyone else.
    setGeometry(s.winLeft + frame.left(), s.winTop + frame.top(),
                std::max(1, s.winWidth - frameWidth_), std::max(1, s.winHeight - frameHeight_));
    return false;
}

bool TViewForm::followFrame() {
    // The native window reads the frame from the window manager as soon as it is framed; the
    // widget's own notion of it follows only with a later move and must not be relied on here.
    QWindow* native = windowHandle();
    const QMargins frame = native != nullptr ? native->frameMargins() : QMargins();
    if (frame.isNull()) {
        return false;
    }
    frameWidth_ = frame.left() + frame.right();
    frameHeight_ = frame.top() + frame.bottom();
    // The minimum is an outer size, whatever state the window started in: the client may be
    // smaller by the frame.
    const QSize minimum(std::max(1, 200 - frameWidth_), std::max(1, 120 - frameHeight_));
    if (minimumSize() != minimum) {
        setMinimumSize(minimum);
    }
    return true;
}

void TViewForm::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    followFrame();
}

void TViewForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) {
        return;
    }
    followFrame();
    // Qt sends no resize event for a size that changed while the window was minimised, so the
    // layout is redone on the way out of that state.
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if (change->oldState().testFlag(Qt::WindowMinimized) && !isMinimized()) {
        guarded([this] { FormResize(); });
    }
}

void TViewForm::updateTitle(const std::string& name) {
    setCaption(QStringLiteral("Duoptic - ") + QFile::decodeName(QByteArray::fromStdString(name)) +
               QStringLiteral(" - ") + QString::fromStdString(state_.settings.viewerMode));
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

int TViewForm::zoomPosition() const {
    return TrackBar1->value();
}
int TViewForm::horizontalPosition() const {
    return ScrollBarH->value();
}
int TViewForm::verticalPosition() const {
    return ScrollBarV->value();
}

} // namespace duoptic
