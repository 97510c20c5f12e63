#pragma once

#include "ViewFrm/ViewForm.h"

#include <QScrollBar>
#include <QSlider>

namespace duoptic {

// The one way tests and benchmarks look inside the main window: what it shows, the positions of
// its controls, its drawing counts and its commands.
class TViewFormProbe {
public:
    explicit TViewFormProbe(const TViewForm& form) : form_(form) {}

    const PairRasters& rasters() const { return form_.panels_->rasters(); }
    int imageWidth() const { return form_.panels_->imageWidth(); }
    int imageHeight() const { return form_.panels_->imageHeight(); }
    bool redrawGateOpen() const { return form_.panels_->gateOpen(); }
    const QImage& panelBuffer(int panel) const { return form_.panels_->buffer(panel); }
    int drawCount() const { return form_.panels_->drawCount(); }
    int drawCount(int panel) const { return form_.panels_->drawCount(panel); }
    int zoomPosition() const { return form_.ui_.TrackBar1->value(); }
    int horizontalPosition() const { return form_.ui_.ScrollBarH->value(); }
    int verticalPosition() const { return form_.ui_.ScrollBarV->value(); }
    bool slideShowRunning() const { return form_.slideShow_.running(); }
    const SlideTimer& slideTimer() const { return form_.slideShow_.timer(); }
    bool preloading() const { return form_.navigator_.preloading(); }
    int preloadsTaken() const { return form_.navigator_.preloadsTaken(); }
    QMenu* popupMenu() const { return form_.ui_.PopupMenu; }
    QAction* command(ViewCommand which) const { return form_.command(which); }
    TextOverlay::Text depthText() const { return form_.depthText(); }
    TextOverlay::Text cameraDataText() const { return form_.cameraDataText(); }

private:
    const TViewForm& form_;
};

inline TViewFormProbe probe(const TViewForm& form) {
    return TViewFormProbe(form);
}

} // namespace duoptic
