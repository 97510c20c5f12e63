// The main window's controls, its command list with the pop-up menu, and the layout pass.
#include "ViewFrm/ViewForm.h"
#include "ViewFrm/logic/Layout.h"
#include "ViewFrm/panels/PaintBox.h"

#include "base/ErrorReport.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QScrollBar>
#include <QSlider>
#include <QToolButton>

#include <algorithm>
#include <iterator>
#include <optional>

namespace duoptic {

void TViewForm::createControls() {
    createViewControls(ui_, this);
    panels_ = std::make_unique<PanelPair>(*ui_.PaintBox1, *ui_.PaintBox2,
                                          [this] { return panelControls(); });
    for (PaintBox* box : {ui_.PaintBox1, ui_.PaintBox2}) {
        box->onMouseDown = [this](PaintBox&, Qt::MouseButton button, QPointF at) {
            imagePressed(button, at);
        };
        box->onMouseUp = [this](PaintBox& b, Qt::MouseButton button, QPointF at) {
            imageReleased(b, button, at);
        };
    }
    connect(ui_.TrackBar1, &QSlider::valueChanged, this,
            [this] { guarded([this] { zoomMoved(); }); });
    // While the thumb is dragged every movement redraws, also when the value stays the same.
    connect(ui_.TrackBar1, &QSlider::sliderMoved, this, [this](int value) {
        if (value == ui_.TrackBar1->value()) {
            guarded([this] { zoomMoved(); });
        }
    });
    connect(ui_.ScrollBarH, &QScrollBar::valueChanged, this,
            [this] { guarded([this] { positionMoved(Qt::Horizontal); }); });
    connect(ui_.ScrollBarV, &QScrollBar::valueChanged, this,
            [this] { guarded([this] { positionMoved(Qt::Vertical); }); });
}

namespace {

// The handlers, in the order of the command list.
using Handler = void (TViewForm::*)();
constexpr Handler kHandlers[kViewCommandCount] = {
    &TViewForm::FileOpenExecute,      &TViewForm::ViewReversExecute,
    &TViewForm::ViewZoomInExecute,    &TViewForm::ViewBorderExecute,
    &TViewForm::ViewSlideShowExecute, &TViewForm::ShowTipsExecute,
    &TViewForm::FileExitExecute,      &TViewForm::ViewZoomOutExecute,
    &TViewForm::ShowNextExecute,      &TViewForm::ViewFullScreenExecute,
};

} // namespace

QAction* TViewForm::switchCommand(const QString& caption, const QString& name, bool on,
                                  void (TViewForm::*set)(bool)) {
    auto* act = new QAction(caption, this);
    act->setObjectName(name);
    act->setCheckable(true);
    act->setChecked(on);
    connect(act, &QAction::triggered, this,
            [this, set](bool checked) { guarded([&] { (this->*set)(checked); }); });
    return act;
}

void TViewForm::createCommands() {
    for (const ViewCommandNames& row : kViewCommands) {
        auto* act = new QAction(QString::fromLatin1(row.caption), this);
        act->setObjectName(QString::fromLatin1(row.name));
        const Handler handler = kHandlers[commandIndex(row.id)];
        connect(act, &QAction::triggered, this,
                [this, handler] { guarded([&] { (this->*handler)(); }); });
        ui_.commands[commandIndex(row.id)] = act;
    }
    command(ViewCommand::ViewSlideShow)->setCheckable(true);
    command(ViewCommand::ViewFullScreen)->setCheckable(true);

    ui_.PopupMenu = new QMenu(this);
    ui_.PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    for (const std::optional<ViewCommand>& entry : kViewMenu) {
        if (entry) {
            ui_.PopupMenu->addAction(command(*entry));
        } else {
            ui_.PopupMenu->addSeparator();
        }
    }
    createDisplayMenu();
    ui_.PopupMenu->insertMenu(command(ViewCommand::ShowTips), ui_.DisplayMenu);
    createAlignmentCommands();
    ui_.PopupMenu->insertActions(command(ViewCommand::ShowTips),
                                 {ui_.autoAlign, ui_.cropCommon, ui_.resetAlignment});
    createDepthCommands();
    ui_.PopupMenu->insertActions(command(ViewCommand::ShowTips), {ui_.autoWindow, ui_.depth});
    createCameraDataCommand();
    ui_.PopupMenu->insertAction(command(ViewCommand::ShowTips), ui_.cameraData);
    createExportCommands();
    ui_.PopupMenu->insertSeparator(command(ViewCommand::ShowTips));
    ui_.PopupMenu->insertActions(command(ViewCommand::ShowTips), {ui_.saveAs, ui_.exportFolder});
    createActualSizeCommand();
    ui_.PopupMenu->insertAction(ui_.DisplayMenu->menuAction(), ui_.actualSize);
    createTrashCommand();
    ui_.PopupMenu->insertAction(command(ViewCommand::ShowTips), ui_.moveToTrash);

    connect(ui_.bnTips, &QToolButton::clicked, command(ViewCommand::ShowTips), &QAction::trigger);
    connect(ui_.bnRevers, &QToolButton::clicked, command(ViewCommand::ViewRevers),
            &QAction::trigger);
}

void TViewForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    guarded([this] { FormResize(); });
}

void TViewForm::FormResize() {
    if (isMinimized()) {
        return;
    }
    const MainLayout twoPanels =
        computeMainLayout(width(), height(), state_.settings.borderWidth, ui_.ScrollBarV->width(),
                          ui_.ScrollBarH->height(), ui_.zoomBarHolder->height());
    if (eyeScreen_) {
        placeViewControls(ui_, imageAreaOnly(twoPanels, width(), height()), true);
        ui_.pnPct1->raise();
        recomputePanelMetrics();
        return;
    }
    const bool oneArea = fillsOneArea(displayMode());
    placeViewControls(ui_, oneArea ? joinImageAreas(twoPanels) : twoPanels, oneArea);
    recomputePanelMetrics();
}

} // namespace duoptic
