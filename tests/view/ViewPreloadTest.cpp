// The pair that Next would show is decoded ahead; it is used only while it is still exactly
// what Next would load, and otherwise the load goes on as if there had been no preload.
#include "JpegWriter.h"
#include "ViewFormProbe.h"
#include "ViewTestSupport.h"

#include "base/Error.h"
#include "base/FileDescriptor.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace duoptic::test {
namespace {

void writeSolid(const std::string& path, int width, int height, std::uint8_t grey,
                bool progressive = false) {
    duoptic::testing::JpegOptions options{width, height};
    options.progressive = progressive;
    const auto bytes = duoptic::testing::writeSolidJpeg(options, {grey, grey, grey});
    writeFile(path, bytes);
}

class ViewPreload : public ::testing::Test {
public:
    void SetUp() override {
        writeSolid(pictures.file("a_DUP.jpg"), 64, 32, 40);
        writeSolid(pictures.file("b_DUL.jpg"), 48, 40, 120);
        writeSolid(pictures.file("b_DUR.jpg"), 48, 40, 200);
        program.write("duoptic.ini", "[File]\r\nLatestPath=" + pictures.slashed() + "\r\n");
        window = std::make_unique<ShownWindow>(program.slashed());
        // The start-up scan keeps the file system's order: put the list in a known one.
        window->replaceList(
            {{pictures.file("a"), "a", PairKind::Parallel, pictures.file("a_DUP.jpg")},
             {pictures.file("b"), "b", PairKind::TwoFiles, pictures.file("b_DUL.jpg"),
              pictures.file("b_DUR.jpg")}});
        form().next(); // a on screen, b preloading
        waitForPreload();
    }
    TViewForm& form() { return *window->form; }
    void waitForPreload() { QTRY_VERIFY_WITH_TIMEOUT(!probe(form()).preloading(), 10000); }
    int leftGrey() const { return qRed(probe(*window->form).rasters().left.pixel(1, 1)); }

    TempFolder program;
    TempFolder pictures;
    std::unique_ptr<ShownWindow> window;
};

TEST_F(ViewPreload, NextTakesThePreloadedPair) {
    const int before = probe(form()).preloadsTaken();
    form().next();
    EXPECT_EQ(probe(form()).preloadsTaken(), before + 1);
    EXPECT_EQ(form().caption(), QStringLiteral("Duoptic - b - (Parallel)"));
    EXPECT_NEAR(leftGrey(), 120, 3);
    EXPECT_EQ(probe(form()).imageWidth(), 48);
    EXPECT_EQ(probe(form()).zoomPosition(), 0);
}

// Other bytes in the same file, of the same size, under the modification time it had: all that
// tells them apart is the change time, which no user can set back.
void rewriteKeepingSizeAndTime(const std::string& path, std::uint8_t grey) {
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    duoptic::testing::JpegOptions smaller{48, 40};
    smaller.quality = 50;
    auto bytes = duoptic::testing::writeSolidJpeg(smaller, {grey, grey, grey});
    ASSERT_LE(bytes.size(), static_cast<std::size_t>(before.st_size));
    bytes.resize(static_cast<std::size_t>(before.st_size)); // libjpeg stops at the end marker
    const FileDescriptor file(::open(path.c_str(), O_WRONLY));
    ASSERT_EQ(::pwrite(file.get(), bytes.data(), bytes.size(), 0), before.st_size);
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::futimens(file.get(), times), 0);
}

struct ChangeRow {
    const char* name;
    void (*change)(ViewPreload&);
    int leftGreyAfter; // what Next must then show on the left
};

class ViewPreloadDropped : public ViewPreload, public ::testing::WithParamInterface<ChangeRow> {};

// Whatever makes the preloaded pictures differ from what a load would read now: the load reads.
TEST_P(ViewPreloadDropped, NextLoadsAfreshWhenThePreloadNoLongerFits) {
    GetParam().change(*this);
    const int before = probe(form()).preloadsTaken();
    form().next();
    EXPECT_EQ(probe(form()).preloadsTaken(), before);
    EXPECT_NEAR(leftGrey(), GetParam().leftGreyAfter, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ViewPreloadDropped,
    ::testing::Values(
        ChangeRow{"FileReplaced",
                  [](ViewPreload& t) {
                      writeSolid(t.pictures.file("b_DUL.jpg.new"), 48, 40, 60);
                      std::filesystem::rename(t.pictures.file("b_DUL.jpg.new"),
                                              t.pictures.file("b_DUL.jpg"));
                  },
                  60},
        ChangeRow{"FileRewrittenInPlace",
                  [](ViewPreload& t) { writeSolid(t.pictures.file("b_DUL.jpg"), 48, 40, 90); }, 90},
        ChangeRow{
            "SameSizeAndTimeRestored",
            [](ViewPreload& t) { rewriteKeepingSizeAndTime(t.pictures.file("b_DUL.jpg"), 90); },
            90},
        ChangeRow{"ModeChangedByTheFiler",
                  [](ViewPreload& t) { t.window->state.settings.viewerMode = "(Crossing)"; }, 200},
        ChangeRow{"ListRebuilt",
                  [](ViewPreload& t) {
                      const PairList& list = t.window->navigator.list();
                      std::vector<PairEntry> copy;
                      for (int k = 1; k <= list.count(); ++k) {
                          copy.push_back(list.entry(k));
                      }
                      const int cursor = t.window->navigator.cursor();
                      t.window->replaceList(std::move(copy));
                      t.window->setCursor(cursor);
                  },
                  120}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ViewPreload, ReverseMakesTheNextPreloadFollowTheNewMode) {
    form().ViewReversExecute();
    waitForPreload();
    const int before = probe(form()).preloadsTaken();
    form().next();
    EXPECT_EQ(probe(form()).preloadsTaken(), before + 1);
    EXPECT_NEAR(leftGrey(), 200, 3); // crossing: the right-eye file on the left
}

TEST_F(ViewPreload, AVanishedFileFailsAsWithoutPreload) {
    ReportRecorder recorder;
    std::filesystem::remove(pictures.file("b_DUR.jpg"));
    EXPECT_THROW(form().next(), Error);
    EXPECT_EQ(form().caption(), QStringLiteral("Loading files ..."));
    EXPECT_TRUE(recorder.shown().isEmpty());
}

// Root opens a file of mode 000, so root acts as nobody while this lives: only the effective ids
// change (for every thread), and root takes its own back or the tests after it would be wrong.
struct ActingAsNobody {
    const bool root = ::geteuid() == 0;
    ActingAsNobody() {
        if (root && (::setegid(65534) != 0 || ::seteuid(65534) != 0)) {
            throw std::system_error(errno, std::generic_category(), "acting as nobody");
        }
    }
    ~ActingAsNobody() {
        if (root && (::seteuid(0) != 0 || ::setegid(0) != 0)) {
            std::abort();
        }
    }
};

TEST_F(ViewPreload, AFileThatNoLongerOpensFailsAsWithoutPreload) {
    ReportRecorder recorder;
    ASSERT_EQ(::chmod(pictures.path().c_str(), 0755), 0); // nobody reaches the other eye's file
    ASSERT_EQ(::chmod(pictures.file("b_DUR.jpg").c_str(), 0), 0);
    const ActingAsNobody nobody;
    ASSERT_LT(FileDescriptor(::open(pictures.file("b_DUR.jpg").c_str(), O_RDONLY)).get(), 0);
    ASSERT_GE(FileDescriptor(::open(pictures.file("b_DUL.jpg").c_str(), O_RDONLY)).get(), 0);
    EXPECT_THROW(form().next(), Error);
    EXPECT_EQ(form().caption(), QStringLiteral("Loading files ..."));
}

TEST_F(ViewPreload, ADamagedPairIsPreloadedSilentlyAndFailsWhenReached) {
    ReportRecorder recorder;
    pictures.write("b_DUR.jpg", "not a picture");
    ::testing::internal::CaptureStderr();
    form().ViewReversExecute(); // starts a new preload, which fails
    waitForPreload();
    QCoreApplication::processEvents();
    EXPECT_TRUE(recorder.shown().isEmpty());
    EXPECT_EQ(::testing::internal::GetCapturedStderr().find("JPEG"), std::string::npos);
    EXPECT_THROW(form().next(), Error);
}

TEST_F(ViewPreload, ClosingTheWindowDuringAPreloadEndsItAndWritesTheSettings) {
    writeSolid(pictures.file("a_DUP.jpg"), 4000, 3000, 40, true);
    form().next(); // b on screen; a big a preloading
    ASSERT_TRUE(probe(form()).preloading());
    window->form.reset();
    EXPECT_TRUE(std::filesystem::exists(program.file("duoptic.ini")));
}

} // namespace
} // namespace duoptic::test
