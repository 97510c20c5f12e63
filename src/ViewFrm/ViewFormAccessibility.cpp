// What a screen reader says for the main window's controls.
#include "ViewFrm/ViewForm.h"
#include "ViewFrm/panels/PaintBox.h"

#include "base/AccessibleNames.h"

#include <QAccessibleWidget>
#include <QFile>

namespace duoptic {

namespace {

constexpr const char* kImageAreaUse =
    "Drag to move both pictures, middle-click for the next pair, right-click for the menu";

// The image areas' names are made on every load and swap (nameImageAreas); the rest never change.
constexpr AccessibleText kViewAccessibleTexts[] = {
    {"TrackBar1", "Zoom", "From the fitting size to twice the picture's size"},
    {"ScrollBarH", "Horizontal position", "Which part of a picture wider than its area is shown"},
    {"ScrollBarV", "Vertical position", "Which part of a picture taller than its area is shown"},
    {"bnTips", "Tips", "How to view the pairs, and the version"},
    {"bnRevers", "Reverse", "Swaps the left and right pictures"},
    {"PaintBox1", nullptr, kImageAreaUse},
    {"PaintBox2", nullptr, kImageAreaUse},
    {"PopupMenu", "Viewer commands"},
    {"DisplayMenu", "Display", "How the pair reaches the eyes"},
};

// What an image area shows, before the pair's name.
constexpr const char* kLeftEye = "Left eye";
constexpr const char* kRightEye = "Right eye";
constexpr const char* kBothEyes = "Both eyes"; // an output mode of one image area

// The main window is a plain widget, which a screen reader would take for a filler; it is the
// application's window.
QAccessibleInterface* mainWindowAccessible(const QString&, QObject* object) {
    if (auto* form = qobject_cast<TViewForm*>(object)) {
        return new QAccessibleWidget(form, QAccessible::Window);
    }
    return nullptr;
}

} // namespace

void TViewForm::nameControls() {
    static const bool accessibleAsWindow = [] {
        QAccessible::installFactory(mainWindowAccessible);
        return true;
    }();
    (void)accessibleAsWindow;
    setAccessibleTexts(*this, kViewAccessibleTexts);
    nameImageAreas();
}

void TViewForm::nameImageAreas() {
    const bool swapped = panels_->rasters().leftEyeOnRight;
    const char* left = fillsOneArea(displayMode()) ? kBothEyes : swapped ? kRightEye : kLeftEye;
    const char* right = swapped ? kLeftEye : kRightEye;
    const QString pair = QFile::decodeName(QByteArray::fromStdString(state_.displayName));
    ui_.PaintBox1->setAccessibleName(QString::fromLatin1(left) + QStringLiteral(": ") + pair);
    ui_.PaintBox2->setAccessibleName(QString::fromLatin1(right) + QStringLiteral(": ") + pair);
}

} // namespace duoptic
