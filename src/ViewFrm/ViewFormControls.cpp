// The main window's controls, its command list with the pop-up menu, and the layout pass.
#include "ViewFrm/panels/PaintBox.h"
#include "ViewFrm/ViewForm.h"
#include "ViewFrm/logic/Layout.h"

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

namespace {

QScrollBar* positionBar(Qt::Orientation orientation, const char* name, QWidget* parent) {
    auto* bar = new QScrollBar(orientation, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, 100);
    bar->setValue(50);
    bar->setSingleStep(5);
    bar->setPageStep(10);
    bar->setFocusPolicy(Qt::NoFocus);             // skipped by Tab
    bar->setContextMenuPolicy(Qt::NoContextMenu); // only the image areas have a menu
    return bar;
}

QFrame* loweredFrame(const char* name, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(1);
    return frame;
}

QToolButton* speedButton(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromLatin1(caption));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void place(QWidget* widget, const Rect& r) {
    widget->setGeometry(r.left, r.top, std::max(0, r.width), std::max(0, r.height));
}

} // namespace

void TViewForm::createControls() {
    ui_.ScrollBarV = positionBar(Qt::Vertical, "ScrollBarV", this);
    ui_.ScrollBarH = positionBar(Qt::Horizontal, "ScrollBarH", this);

    // A panel frame is a 2-pixel border in the face colour with a 1-pixel lowered bevel inside;
    // the outer frame widget is the border, the bevel is drawn by an inner frame.
    ui_.pnPct1 = new QFrame(this);
    ui_.pnPct1->setObjectName(QStringLiteral("pnPct1"));
    ui_.pnPct2 = new QFrame(this);
    ui_.pnPct2->setObjectName(QStringLiteral("pnPct2"));
    for (QFrame* panel : {ui_.pnPct1, ui_.pnPct2}) {
        auto* bevel = loweredFrame("bevel", panel);
        bevel->setGeometry(2, 2, 0, 0);
    }
    ui_.PaintBox1 = new PaintBox(1, ui_.pnPct1);
    ui_.PaintBox2 = new PaintBox(2, ui_.pnPct2);
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

    ui_.zoomBarHolder = loweredFrame("pct4", this);
    ui_.TrackBar1 = new QSlider(Qt::Horizontal, ui_.zoomBarHolder);
    ui_.TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    ui_.TrackBar1->setRange(0, 100);
    ui_.TrackBar1->setValue(0);
    ui_.TrackBar1->setSingleStep(1);
    ui_.TrackBar1->setPageStep(10);
    ui_.TrackBar1->setTickPosition(QSlider::NoTicks);
    ui_.TrackBar1->setFocusPolicy(Qt::NoFocus);
    ui_.TrackBar1->setContextMenuPolicy(Qt::NoContextMenu);

    ui_.bnTips = speedButton("bnTips", "?", this);
    ui_.bnRevers = speedButton("bnRevers", "R", this);

    // The layout pass reads these three sizes from the controls; they never change.
    ui_.ScrollBarV->setGeometry(0, 0, 20, 442);
    ui_.ScrollBarH->setGeometry(20, 442, 532, 20);
    ui_.zoomBarHolder->setGeometry(20, 462, 532, 21);

    connect(ui_.TrackBar1, &QSlider::valueChanged, this,
            [this] { guarded([this] { panels_->positionsChanged(); }); });
    // While the thumb is dragged every movement redraws, also when the value stays the same.
    connect(ui_.TrackBar1, &QSlider::sliderMoved, this, [this](int value) {
        if (value == ui_.TrackBar1->value()) {
            guarded([this] { panels_->positionsChanged(); });
        }
    });
    connect(ui_.ScrollBarH, &QScrollBar::valueChanged, this,
            [this] { guarded([this] { panels_->positionsChanged(); }); });
    connect(ui_.ScrollBarV, &QScrollBar::valueChanged, this,
            [this] { guarded([this] { panels_->positionsChanged(); }); });
}

namespace {

struct CommandRow {
    ViewCommand id;
    const char* name;
    const char* caption;
    void (TViewForm::*handler)();
};

constexpr CommandRow kCommands[] = {
    {ViewCommand::FileOpen, "FileOpen", "Open", &TViewForm::FileOpenExecute},
    {ViewCommand::ViewRevers, "ViewRevers", "Reverse", &TViewForm::ViewReversExecute},
    {ViewCommand::ViewZoomIn, "ViewZoomIn", "Zoom In", &TViewForm::ViewZoomInExecute},
    {ViewCommand::ViewBorder, "ViewBorder", "Center Border", &TViewForm::ViewBorderExecute},
    {ViewCommand::ViewSlideShow, "ViewSlideShow", "Slide Show", &TViewForm::ViewSlideShowExecute},
    {ViewCommand::ShowTips, "ShowTips", "Tips", &TViewForm::ShowTipsExecute},
    {ViewCommand::FileExit, "FileExit", "Exit", &TViewForm::FileExitExecute},
    {ViewCommand::ViewZoomOut, "ViewZoomOut", "Zoom Out", &TViewForm::ViewZoomOutExecute},
    {ViewCommand::ShowNext, "ShowNext", "Next", &TViewForm::ShowNextExecute},
    {ViewCommand::ViewFullScreen, "ViewFullScreen", "Full Screen",
     &TViewForm::ViewFullScreenExecute},
};

constexpr bool everyCommandOnceInOrder() {
    if (std::size(kCommands) != kViewCommandCount) {
        return false;
    }
    for (std::size_t i = 0; i < std::size(kCommands); ++i) {
        if (commandIndex(kCommands[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(everyCommandOnceInOrder(), "one row per command, in the order of the enumeration");

// The pop-up menu; nothing stands for a separator.
constexpr std::optional<ViewCommand> kMenu[] = {
    ViewCommand::FileOpen,
    ViewCommand::ViewRevers,
    ViewCommand::ViewZoomIn,
    ViewCommand::ViewZoomOut,
    std::nullopt,
    ViewCommand::ViewSlideShow,
    ViewCommand::ShowNext,
    std::nullopt,
    ViewCommand::ViewBorder,
    ViewCommand::ViewFullScreen,
    ViewCommand::ShowTips,
    std::nullopt,
    ViewCommand::FileExit,
};

} // namespace

void TViewForm::createCommands() {
    for (const CommandRow& row : kCommands) {
        auto* act = new QAction(QString::fromLatin1(row.caption), this);
        act->setObjectName(QString::fromLatin1(row.name));
        const auto handler = row.handler;
        connect(act, &QAction::triggered, this,
                [this, handler] { guarded([&] { (this->*handler)(); }); });
        ui_.commands[commandIndex(row.id)] = act;
    }
    command(ViewCommand::ViewSlideShow)->setCheckable(true);
    command(ViewCommand::ViewFullScreen)->setCheckable(true);

    ui_.PopupMenu = new QMenu(this);
    ui_.PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    for (const std::optional<ViewCommand>& entry : kMenu) {
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
                                 {ui_.autoAlign, ui_.resetAlignment});

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
    const bool oneArea = fillsOneArea(displayMode());
    const MainLayout layout = oneArea ? joinImageAreas(twoPanels) : twoPanels;
    place(ui_.pnPct1, layout.pnPct1);
    place(ui_.pnPct2, layout.pnPct2);
    ui_.pnPct2->setVisible(!oneArea);
    for (QFrame* panel : {ui_.pnPct1, ui_.pnPct2}) {
        if (auto* bevel = panel->findChild<QFrame*>(QStringLiteral("bevel"))) {
            bevel->setGeometry(2, 2, std::max(0, panel->width() - 4),
                               std::max(0, panel->height() - 4));
            bevel->lower();
        }
    }
    place(ui_.PaintBox1, layout.paintBox1);
    place(ui_.PaintBox2, layout.paintBox2);
    place(ui_.ScrollBarV, layout.scrollBarV);
    place(ui_.ScrollBarH, layout.scrollBarH);
    place(ui_.zoomBarHolder, layout.pct4);
    place(ui_.TrackBar1, layout.trackBar1);
    place(ui_.bnTips, layout.bnTips);
    place(ui_.bnRevers, layout.bnRevers);
    recomputePanelMetrics();
}

} // namespace duoptic
