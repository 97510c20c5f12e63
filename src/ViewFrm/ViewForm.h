#pragma once

#include "ExportFrm/ExportChoices.h"
#include "ExportFrm/ExportFolderRun.h"
#include "ViewFrm/EyeAlignment.h"
#include "ViewFrm/ProgramState.h"
#include "ViewFrm/ReleaseRouter.h"
#include "ViewFrm/SlideTimer.h"
#include "ViewFrm/ViewCommand.h"
#include "ViewFrm/ViewControls.h"
#include "ViewFrm/WindowPlacement.h"
#include "ViewFrm/logic/HeldKeyRepeats.h"
#include "ViewFrm/panels/EyeScreen.h"
#include "ViewFrm/panels/NativeWindowOrigin.h"
#include "ViewFrm/panels/PanelPair.h"
#include "ViewFrm/panels/TextOverlay.h"
#include "loading/PairNavigator.h"
#include "modes/DisplayModes.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMouseEvent;
class QScreen;

namespace duoptic {

class PaintBox;

// The main window: two image panels with the center border between them, the position scroll
// bars, the zoom track bar, and the commands that act on them.
class TViewForm : public QWidget {
    Q_OBJECT
public:
    // `state` holds the settings as read at start; `navigator` what the start opened.
    TViewForm(ProgramState& state, PairNavigator& navigator, QWidget* parent = nullptr);
    ~TViewForm() override;

    // Commands, in the order of the command list.
    void FileOpenExecute();
    void ViewReversExecute();
    void ViewZoomInExecute();
    void ViewZoomOutExecute();
    void ViewBorderExecute();
    void ViewSlideShowExecute();
    void ShowTipsExecute();
    void FileExitExecute();
    void ShowNextExecute();
    void ViewFullScreenExecute();

    // The pair on screen written out as it is shown, and every pair of the Pair list written out
    // on a thread while the window goes on.
    void FileSaveAsExecute();
    void FileExportFolderExecute();

    // Between the fitting zoom and one image pixel per device pixel, keeping the point of the
    // picture at the centre of the image area where it is.
    void ViewActualSizeExecute();
    // Asks, then moves the files of the pair on screen to the trash and shows the next pair.
    void FileMoveToTrashExecute();

    // The output mode and its options: kept in the settings, checked in the Display submenu,
    // laid out and drawn at once.
    DisplayMode displayMode() const;
    void setDisplayMode(DisplayMode mode);
    void setInterlaceSwap(bool swap);
    void setMirrorLeft(bool left);

    // The right eye against the left, in image pixels: moved, turned (by twentieths of a
    // degree), reset, and measured on every load while the automatic alignment is on. What the
    // user does is kept for the pair.
    void moveRightEye(int dx, int dy);
    void turnRightEye(int steps);
    void resetRightEye();
    void setAutoAlign(bool on);
    // The right eye moved so that the nearest point lies in the screen plane (where no shift of
    // the user's is kept), and the overlay of the depth as shown; both kept in the settings.
    void setAutoWindow(bool on);
    void setShowDepth(bool on);
    // The overlay of the files and of what the camera recorded, kept in the settings.
    void setShowCameraData(bool on);
    // Both eyes shown only where both cover, kept in the settings.
    void setCropCommon(bool on);

    // A folder, or a file of a pair, handed to the program on the command line or by a drop: the
    // folder (the file's folder) is scanned and becomes the last folder; a file's pair is loaded
    // as if Next had reached it. Throws Error for a path that leads nowhere or to no pair.
    void openPath(const std::string& path);
    void next();
    void previous();
    // Entry `entry` of the Pair list (1 .. count) becomes current and is shown.
    void showEntry(int entry);
    void updateTitle(const std::string& name);
    // The title exactly as the window manager shows it; windowTitle() holds it escaped for Qt.
    QString caption() const;
    void FormResize();
    void recomputePanelMetrics();
    void drawPanel(int panel);
    // Writes the settings file as the window's end does. Throws Error when it cannot.
    void writeSettingsNow();

    // The center-border prompt: returns the answer text, or nothing when it was cancelled.
    // Replaceable so that tests can answer it.
    std::function<std::optional<QString>(const QString& label, const QString& preset)>
        promptCenterBorder;
    // Runs the Filer; replaceable for the same reason. Returns the chosen entry's number for
    // Open (0 when no row was chosen), nothing for Cancel.
    std::function<std::optional<PairNavigator::Listing>()> runFiler;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class TViewFormProbe; // how tests look inside

    QAction* command(ViewCommand which) const { return ui_.commands[commandIndex(which)]; }
    // A checkable entry of the pop-up menu, checked as `on` says, that hands its new state to
    // `set`.
    QAction* switchCommand(const QString& caption, const QString& name, bool on,
                           void (TViewForm::*set)(bool));
    void createControls();
    void createCommands();
    void createDisplayMenu();
    void showDisplaySettings();
    void displayChanged();
    // Two Screens: the left eye fills the window's screen, the right eye the next one; leaving
    // gives the window back as it was. The settings keep the mode from before it meanwhile.
    QScreen* secondScreen() const;
    void offerTwoScreens();
    void enterTwoScreens();
    void leaveTwoScreens();
    void createAlignmentCommands();
    void createDepthCommands();
    // The pair on screen measured now if the settings ask for it and it was not yet.
    void measureShownPairIfAsked();
    TextOverlay::Text depthText() const;
    void createCameraDataCommand();
    TextOverlay::Text cameraDataText() const;
    void createExportCommands();
    // Accessible names for a screen reader; the image areas' follow the pair and the sides.
    void nameControls();
    void nameImageAreas();
    void createActualSizeCommand();
    void enterActualSize();
    void leaveActualSize();
    // The zoom or the positions were given by the program: no drawing in between, one after.
    void setViewControls(int zoom, int horizontal, int vertical);
    // A new zoom from the user or a load ends actual size; a moved position ends its exact part.
    void zoomMoved();
    void positionMoved(Qt::Orientation orientation);
    void dropActualSize();
    void createTrashCommand();
    // New pictures at the start of the view: zoom 0, both positions centred, drawn once.
    void showFromStart(PairRasters rasters);
    void showSamplePair();
    void showPictures(PairRasters rasters);
    void alignShownPair();
    void showRightEye(const EyeShift& shift);
    void showStep();
    // Runs `step` after the window's next paint (or a moment later if none comes).
    void whenPainted(std::function<void()> step);
    // Preloading the pair ahead can wait for the paint that shows this one: at start, its decode
    // would take the cores from the display server while it puts the first pair on screen.
    enum class PreloadAhead { Now, AfterPaint };
    void showPair(const PairRequest& request, PreloadAhead ahead = PreloadAhead::Now);
    // The one handler of every open: the folder it listed becomes the last folder, and its pair
    // is shown.
    void showOpened(const PairNavigator::Opened& opened, PreloadAhead ahead = PreloadAhead::Now);
    void openStartPath();
    void schedulePreload() noexcept;
    ViewerSides viewerSides() const;
    void setCaption(const QString& caption);

    PanelControls panelControls() const;
    void imagePressed(Qt::MouseButton button, QPointF at);
    void imageReleased(PaintBox& box, Qt::MouseButton button, QPointF at);
    bool routeUncapturedRelease(QObject* watched, QMouseEvent* event);
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void FormMouseWheel(int delta);
    void slideTick();

    ProgramState& state_;

    ViewControls ui_;

    // Objects that live as long as the window.
    std::unique_ptr<PanelPair> panels_;
    PairNavigator& navigator_;
    SlideShow slideShow_;
    EyeAlignment alignment_{PairOffsetStore::open()};
    ExportChoices exportChoices_;
    std::unique_ptr<ExportFolderRun> folderRun_;
    TextOverlay* depthOverlay_ = nullptr;      // owned by the left image area
    TextOverlay* cameraDataOverlay_ = nullptr; // the same
    QPointer<EyeScreen> eyeScreen_;            // owned by the window, while in Two Screens
    bool fullScreenBeforeTwoScreens_ = false;

    // While actual size is on: the zoom and positions it began from, and the exact positions it
    // set, each until its scroll bar moves.
    struct ActualSizeView {
        int zoom = 0;
        int horizontal = 50;
        int vertical = 50;
        std::optional<double> exactHorizontal;
        std::optional<double> exactVertical;
    };
    std::optional<ActualSizeView> actualSize_;

    bool shown_ = false;
    std::function<void()> afterNextPaint_;
    WindowPlacement placement_{*this};
    // What the X server reports of the window that Qt does not pass on: a move by less than one
    // of its scaled pixels, a frame learnt after the last move.
    NativeMoves nativeMoves_{[this] {
        placement_.followFrame();
        panels_->windowMoved();
    }};
    ReleaseRouter releaseRouter_;
    HeldKeyRepeats keyRepeats_;
};

} // namespace duoptic
