// Layout and drawing of the real window: control places, grey bands, the drag and the gate.
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"

#include <QMenu>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace duoptic::test {
namespace {

QWidget* child(TViewForm& form, const char* name) {
    return form.findChild<QWidget*>(QString::fromLatin1(name));
}

struct LayoutRow {
    const char* name;
    QRect geometry;
};

TEST(ViewDrawing, LayoutOfTheDefaultClientArea) {
    TempFolder folder;
    ShownWindow window(folder.slashed(), 553, 483);
    TViewForm& form = *window.form;
    ASSERT_EQ(form.size(), QSize(553, 483));
    const LayoutRow rows[] = {
        {"ScrollBarV", {0, 0, 20, 442}}, {"pnPct1", {20, 0, 264, 442}},
        {"PaintBox1", {3, 3, 258, 436}}, {"pnPct2", {288, 0, 264, 442}},
        {"PaintBox2", {3, 3, 258, 436}}, {"ScrollBarH", {20, 442, 532, 20}},
        {"pct4", {20, 462, 532, 21}},    {"TrackBar1", {1, 1, 530, 19}},
        {"bnTips", {0, 442, 20, 20}},    {"bnRevers", {0, 462, 20, 20}},
    };
    for (const LayoutRow& row : rows) {
        QWidget* widget = child(form, row.name);
        ASSERT_NE(widget, nullptr) << row.name;
        EXPECT_EQ(widget->geometry(), row.geometry) << row.name;
    }
}

TEST(ViewDrawing, CenterBorderChangeLaysOutAtOnce) {
    TempFolder folder;
    ShownWindow window(folder.slashed(), 553, 483);
    window.form->promptCenterBorder = [](const QString&, const QString&) {
        return std::optional<QString>(QStringLiteral("200"));
    };
    window.form->ViewBorderExecute();
    EXPECT_EQ(child(*window.form, "pnPct2")->geometry(), QRect(386, 0, 166, 442));
    EXPECT_EQ(child(*window.form, "PaintBox1")->size(), QSize(160, 436));
}

TEST(ViewDrawing, SamplePairFitsTheWidthWithGreyBands) {
    TempFolder folder;
    ShownWindow window(folder.slashed(), 553, 483);
    TViewForm& form = *window.form;
    form.drawPanel(1);
    const QImage& buffer = probe(form).panelBuffer(1);
    ASSERT_EQ(buffer.size(), QSize(258, 436));
    // 623 x 648 in 258 x 436: displayed 258 x 268 at vertical offset 84.
    for (int x : {0, 129, 257}) {
        EXPECT_TRUE(isGrey(buffer.pixel(x, 0)));
        EXPECT_TRUE(isGrey(buffer.pixel(x, 83)));
        EXPECT_TRUE(isGrey(buffer.pixel(x, 84 + 268)));
        EXPECT_TRUE(isGrey(buffer.pixel(x, 435)));
    }
    int pictured = 0;
    for (int x = 0; x < 258; ++x) {
        pictured += isGrey(buffer.pixel(x, 84 + 134)) ? 0 : 1;
    }
    EXPECT_GT(pictured, 250);
    // What reached the screen is what was composed.
    const QImage onScreen = child(form, "PaintBox1")->grab().toImage();
    EXPECT_TRUE(isGrey(onScreen.pixel(10, 10)));
    EXPECT_FALSE(isGrey(onScreen.pixel(129, 218)));
}

TEST(ViewDrawing, ControlsRedrawOnlyOnRealChangesAndWithTheGateOpen) {
    TempFolder folder;
    ShownWindow window(folder.slashed());
    TViewForm& form = *window.form;
    auto* bar = form.findChild<QScrollBar*>(QStringLiteral("ScrollBarH"));
    int before = probe(form).drawCount();
    bar->setValue(50); // unchanged
    EXPECT_EQ(probe(form).drawCount(), before);
    bar->setValue(60);
    EXPECT_EQ(probe(form).drawCount(), before + 2);
    bar->setValue(500); // clamped to 100
    EXPECT_EQ(bar->value(), 100);
    EXPECT_EQ(probe(form).drawCount(), before + 4);
}

// Panels drawn at once on two cores (one image area in two halves) show what each shows when
// drawn on its own, in every display mode.
TEST(ViewDrawing, PanelsDrawnAtOnceShowWhatEachShowsAlone) {
    TempFolder folder;
    ShownWindow window(folder.slashed());
    TViewForm& form = *window.form;
    auto* zoom = form.findChild<QSlider*>(QStringLiteral("TrackBar1"));
    for (const DisplayModeNames& names : kDisplayModes) {
        form.setDisplayMode(names.mode);
        zoom->setValue(zoom->value() == 60 ? 70 : 60);
        for (const int panel : {1, 2}) {
            auto* box = form.findChild<QWidget*>(QStringLiteral("PaintBox%1").arg(panel));
            const QImage together = probe(form).panelBuffer(panel).copy();
            if (box->isVisible()) {
                box->repaint();
                EXPECT_EQ(probe(form).panelBuffer(panel), together) << panel << names.stored;
            }
        }
    }
}

TEST(ViewDrawing, LeftDragMovesBothImagesOnRelease) {
    TempFolder folder;
    ShownWindow window(folder.slashed(), 553, 483);
    TViewForm& form = *window.form;
    form.findChild<QSlider*>(QStringLiteral("TrackBar1"))->setValue(100);
    QWidget* box = child(form, "PaintBox1");
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(100, 200));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(200, 150));
    EXPECT_EQ(probe(form).horizontalPosition(), 40);
    EXPECT_EQ(probe(form).verticalPosition(), 56);
}

TEST(ViewDrawing, ClickOnASmallImageMovesItToTheTopLeft) {
    TempFolder folder;
    ShownWindow window(folder.slashed(), 553, 483);
    TViewForm& form = *window.form;
    QWidget* box = child(form, "PaintBox2");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(probe(form).horizontalPosition(), 0);
    EXPECT_EQ(probe(form).verticalPosition(), 0);
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(50, 300));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(50, 200));
    EXPECT_EQ(probe(form).verticalPosition(), 100);
    EXPECT_EQ(probe(form).horizontalPosition(), 0);
}

TEST(ViewDrawing, EveryReleaseDrawsBothPanelsOnce) {
    TempFolder folder;
    ShownWindow window(folder.slashed());
    TViewForm& form = *window.form;
    QWidget* box = child(form, "PaintBox1");
    const int before = probe(form).drawCount();
    QTest::mouseClick(box, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(probe(form).drawCount(), before + 2);
    probe(form).popupMenu()->close();
}

// Run twice by CTest: at a device pixel ratio of 1 and, with QT_SCALE_FACTOR=2, of 2. The panels
// are composed at device pixels, so a photograph shown on a high-density screen uses every
// screen pixel instead of being enlarged from the logical size.
TEST(ViewDevicePixels, PanelsAreComposedAtDevicePixels) {
    TempFolder folder;
    ShownWindow window(folder.slashed());
    TViewForm& form = *window.form;
    QWidget* box = child(form, "PaintBox1");
    const double ratio = box->devicePixelRatioF();
    form.drawPanel(1);
    const QImage& buffer = probe(form).panelBuffer(1);
    EXPECT_EQ(buffer.width(), std::lround(box->width() * ratio));
    EXPECT_EQ(buffer.height(), std::lround(box->height() * ratio));
    EXPECT_EQ(buffer.devicePixelRatio(), ratio);
    if (ratio < 2) {
        return;
    }
    // Enlarged from the logical size, every pair of device columns would be the same.
    const QImage shown = box->grab().toImage();
    ASSERT_EQ(shown.width(), buffer.width());
    int differing = 0;
    const int y = shown.height() / 2;
    for (int x = 0; x + 1 < shown.width(); x += 2) {
        differing += shown.pixel(x, y) != shown.pixel(x + 1, y);
    }
    EXPECT_GT(differing, buffer.width() / 8);
}

} // namespace
} // namespace duoptic::test
