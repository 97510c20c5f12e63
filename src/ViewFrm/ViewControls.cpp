#include "ViewFrm/ViewControls.h"

#include "ViewFrm/panels/PaintBox.h"

#include <QFrame>
#include <QScrollBar>
#include <QSlider>
#include <QToolButton>

#include <algorithm>

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

void createViewControls(ViewControls& ui, QWidget* form) {
    ui.ScrollBarV = positionBar(Qt::Vertical, "ScrollBarV", form);
    ui.ScrollBarH = positionBar(Qt::Horizontal, "ScrollBarH", form);

    // A panel frame is a 2-pixel border in the face colour with a 1-pixel lowered bevel inside;
    // the outer frame widget is the border, the bevel is drawn by an inner frame.
    ui.pnPct1 = new QFrame(form);
    ui.pnPct1->setObjectName(QStringLiteral("pnPct1"));
    ui.pnPct2 = new QFrame(form);
    ui.pnPct2->setObjectName(QStringLiteral("pnPct2"));
    for (QFrame* panel : {ui.pnPct1, ui.pnPct2}) {
        auto* bevel = loweredFrame("bevel", panel);
        bevel->setGeometry(2, 2, 0, 0);
    }
    ui.PaintBox1 = new PaintBox(1, ui.pnPct1);
    ui.PaintBox2 = new PaintBox(2, ui.pnPct2);

    ui.zoomBarHolder = loweredFrame("pct4", form);
    ui.TrackBar1 = new QSlider(Qt::Horizontal, ui.zoomBarHolder);
    ui.TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    ui.TrackBar1->setRange(0, 100);
    ui.TrackBar1->setValue(0);
    ui.TrackBar1->setSingleStep(1);
    ui.TrackBar1->setPageStep(10);
    ui.TrackBar1->setTickPosition(QSlider::NoTicks);
    ui.TrackBar1->setFocusPolicy(Qt::NoFocus);
    ui.TrackBar1->setContextMenuPolicy(Qt::NoContextMenu);

    ui.bnTips = speedButton("bnTips", "?", form);
    ui.bnRevers = speedButton("bnRevers", "R", form);

    // The layout pass reads these three sizes from the controls; they never change.
    ui.ScrollBarV->setGeometry(0, 0, 20, 442);
    ui.ScrollBarH->setGeometry(20, 442, 532, 20);
    ui.zoomBarHolder->setGeometry(20, 462, 532, 21);
}

void placeViewControls(const ViewControls& ui, const MainLayout& layout, bool oneArea) {
    place(ui.pnPct1, layout.pnPct1);
    place(ui.pnPct2, layout.pnPct2);
    ui.pnPct2->setVisible(!oneArea);
    for (QFrame* panel : {ui.pnPct1, ui.pnPct2}) {
        if (auto* bevel = panel->findChild<QFrame*>(QStringLiteral("bevel"))) {
            bevel->setGeometry(2, 2, std::max(0, panel->width() - 4),
                               std::max(0, panel->height() - 4));
            bevel->lower();
        }
    }
    place(ui.PaintBox1, layout.paintBox1);
    place(ui.PaintBox2, layout.paintBox2);
    place(ui.ScrollBarV, layout.scrollBarV);
    place(ui.ScrollBarH, layout.scrollBarH);
    place(ui.zoomBarHolder, layout.pct4);
    place(ui.TrackBar1, layout.trackBar1);
    place(ui.bnTips, layout.bnTips);
    place(ui.bnRevers, layout.bnRevers);
}

} // namespace duoptic
