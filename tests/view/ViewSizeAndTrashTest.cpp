// Actual size (F; also run at a device pixel ratio of 2) and Delete in the real window, and the
// trash helper under them against a home trash of its own: $XDG_DATA_HOME in a temporary folder.
#include "JpegWriter.h"
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"
#include "loading/TrashFiles.h"
#include "support/CurrentDirectoryGuard.h"
#include "support/ScopedEnv.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace duoptic::test {
namespace {

namespace fs = std::filesystem;

struct ViewSizeAndTrash : ::testing::Test {
    ViewSizeAndTrash() {
        for (const char* name : {"a_DUL.jpg", "a_DUR.jpg", "b_DUP.jpg", "c_DUP.jpg", "d_DUP.jpg"}) {
            pictures.write(name, duoptic::testing::patternJpeg(1301, 1103));
        }
        window.replaceList({{pictures.file("a"), "a", PairKind::TwoFiles},
                            {pictures.file("b"), "b", PairKind::Parallel},
                            {pictures.file("c"), "c", PairKind::Parallel},
                            {pictures.file("d"), "d", PairKind::Parallel}});
    }
    bool checked() const { return form.findChild<QAction*>("ViewActualSize")->isChecked(); }
    // Delete, with the box it opens answered by `key`; the pair's name in the title after it.
    QString deleteAnswering(Qt::Key key) {
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [key] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                QTest::keyClick(box, key);
            }
        });
        answer.start(10);
        QTest::keyClick(&form, Qt::Key_Delete);
        return form.caption().section(QStringLiteral(" - "), 1, 1);
    }

    TempFolder program, pictures, data;
    testing::ScopedEnv dataHome{"XDG_DATA_HOME", data.path()};
    ShownWindow window{program.slashed()};
    TViewForm& form = *window.form;
};

// Whether the buffer shows the raster one pixel to one, their centres together (to the pixel
// that rounding leaves either way).
bool centredOneToOne(QImage buffer, const Raster& raster) {
    buffer.setDevicePixelRatio(1);
    const QImage whole(raster.row(0), raster.width(), raster.height(), raster.stride(),
                       QImage::Format_RGB32);
    for (int d = 0; d < 9; ++d) {
        const QPoint at((raster.width() - buffer.width()) / 2 + d % 3 - 1,
                        (raster.height() - buffer.height()) / 2 + d / 3 - 1);
        if (whole.copy(QRect(at, buffer.size())) == buffer) {
            return true;
        }
    }
    return false;
}

TEST_F(ViewSizeAndTrash, FShowsTheCentreAtOneImagePixelPerDevicePixelAndFAgainGoesBack) {
    form.showEntry(1);
    const QImage fitted = probe(form).panelBuffer(1).copy();
    QTest::keyClick(&form, Qt::Key_F);
    EXPECT_TRUE(checked());
    EXPECT_TRUE(centredOneToOne(probe(form).panelBuffer(1), probe(form).rasters().left));
    EXPECT_TRUE(centredOneToOne(probe(form).panelBuffer(2), probe(form).rasters().right));
    QTest::keyClick(&form, Qt::Key_F);
    EXPECT_FALSE(checked());
    EXPECT_EQ(probe(form).panelBuffer(1), fitted);
    QTest::keyClick(&form, Qt::Key_F); // a moved zoom and another pair end actual size
    QTest::keyClick(&form, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_FALSE(checked());
    QTest::keyClick(&form, Qt::Key_F);
    form.next();
    EXPECT_FALSE(checked());
}

// The next pair, the one before after the last, none after the only one; the sample stays.
TEST_F(ViewSizeAndTrash, DeleteThenReturnMovesThePairsFilesAndShowsTheNextPair) {
    form.showEntry(3);
    EXPECT_EQ(deleteAnswering(Qt::Key_Return), QStringLiteral("d"));
    EXPECT_EQ(deleteAnswering(Qt::Key_Return), QStringLiteral("b"));
    EXPECT_EQ(deleteAnswering(Qt::Key_Return), QStringLiteral("a"));
    EXPECT_EQ(deleteAnswering(Qt::Key_Return), QStringLiteral("STEREO PHOTO"));
    EXPECT_EQ(deleteAnswering(Qt::Key_Return), QStringLiteral("STEREO PHOTO"));
    EXPECT_TRUE(fs::is_empty(pictures.path()));
}

TEST_F(ViewSizeAndTrash, DeleteThenEscKeepsEverythingAndTheSlideShowStops) {
    form.showEntry(2);
    form.ViewSlideShowExecute();
    EXPECT_EQ(deleteAnswering(Qt::Key_Escape), QStringLiteral("b"));
    EXPECT_FALSE(probe(form).slideShowRunning());
    EXPECT_EQ(window.navigator.count(), 4);
    EXPECT_FALSE(fs::exists(data.file("Trash")));
}

TEST_F(ViewSizeAndTrash, TrashHelperEachFileGoesWithATrashInfoWhateverBecameOfTheOthers) {
    const auto moved = moveFilesToTrash({pictures.file("gone.jpg"), pictures.write("p_DUL.jpg"),
                                         pictures.write("p_DUR.jpg", "right")});
    EXPECT_FALSE(moved.at(0).trashed());
    for (const TrashedFile& file : {moved.at(1), moved.at(2)}) {
        const std::string name = fs::path(file.path).filename();
        EXPECT_EQ(file.inTrash, data.file("Trash/files/" + name));
        EXPECT_FALSE(fs::exists(file.path));
        const std::string info = readFile(data.file("Trash/info/" + name + ".trashinfo"));
        EXPECT_NE(info.find("\nPath=" + file.path + "\n"), std::string::npos) << info;
    }
    EXPECT_EQ(readFile(moved[2].inTrash), "right");
}

// Where there is no trash at all a file stays where it is, not even moved into the current folder.
TEST_F(ViewSizeAndTrash, TrashHelperWithoutATrashAFileStays) {
    data.write("Trash", "a file where the trash folder belongs");
    const std::string file = pictures.write("r_DUP.jpg", "kept");
    const testing::CurrentDirectoryGuard back;
    fs::current_path(pictures.path());
    EXPECT_FALSE(moveFilesToTrash({file}).at(0).trashed());
    EXPECT_EQ(readFile(file), "kept");
}

} // namespace
} // namespace duoptic::test
