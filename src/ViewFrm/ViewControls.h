#pragma once

#include "ViewFrm/ViewCommand.h"
#include "ViewFrm/logic/Layout.h"
#include "modes/DisplayModes.h"

#include <array>

class QAction;
class QFrame;
class QMenu;
class QScrollBar;
class QSlider;
class QToolButton;
class QWidget;

namespace duoptic {

class PaintBox;

// The main window's controls, made once with the window and owned by it through Qt's parent
// chain; the commands in the order of the command list.
struct ViewControls {
    QScrollBar* ScrollBarV = nullptr;
    QScrollBar* ScrollBarH = nullptr;
    QFrame* pnPct1 = nullptr;
    QFrame* pnPct2 = nullptr;
    PaintBox* PaintBox1 = nullptr;
    PaintBox* PaintBox2 = nullptr;
    QFrame* zoomBarHolder = nullptr; // the bevel around the track bar
    QSlider* TrackBar1 = nullptr;
    QToolButton* bnTips = nullptr;
    QToolButton* bnRevers = nullptr;
    QMenu* PopupMenu = nullptr;
    std::array<QAction*, kViewCommandCount> commands{};
    // The Display submenu of the pop-up menu: one item per output mode, then the two options.
    QMenu* DisplayMenu = nullptr;
    std::array<QAction*, kDisplayModes.size()> displayModes{};
    QAction* swapParity = nullptr;
    QAction* mirrorLeft = nullptr;
    // After it, the alignment of the right eye against the left.
    QAction* autoAlign = nullptr;
    QAction* cropCommon = nullptr;
    QAction* resetAlignment = nullptr;
    // After them, the stereo window and the overlays.
    QAction* autoWindow = nullptr;
    QAction* depth = nullptr;
    QAction* cameraData = nullptr;
    // After them, the writing of pairs out.
    QAction* saveAs = nullptr;
    QAction* exportFolder = nullptr;
    // One image pixel per device pixel (after Full Screen), and the pair to the trash (after
    // Export Folder).
    QAction* actualSize = nullptr;
    QAction* moveToTrash = nullptr;
};

// Makes the controls of the main window `form`, each with its name, range and fixed size; the
// menus and commands are the window's own.
void createViewControls(ViewControls& ui, QWidget* form);

// Puts the controls where a layout pass says; with one image area the second panel is hidden.
void placeViewControls(const ViewControls& ui, const MainLayout& layout, bool oneArea);

} // namespace duoptic
