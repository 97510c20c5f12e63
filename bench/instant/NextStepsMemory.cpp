// Memory of the real main window over many Next steps: the window (offscreen) on a folder of two
// 12000 x 4000 side-by-side pairs, Next after Next, each step waited for until its pair is drawn.
// The resident set after the last step is bounded against one decoded pair plus the window that
// has loaded nothing (the pair on screen, one decoded ahead, and the drawing's own buffers must
// fit), and it must be flat: after the last step as after step 50.
//
// Each side runs in a fresh process of this program, so that nothing one leaves behind counts for
// the other.
#include "BenchTable.h"
#include "PhotoJpeg.h"
#include "TempFolder.h"
#include "ViewFormProbe.h"

#include "ViewFrm/ViewForm.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include <unistd.h>

namespace {

using namespace duoptic;
using namespace duoptic::bench;

constexpr int kWidth = 12000;
constexpr int kHeight = 4000;
constexpr int kStepSeconds = 30; // a step that has not drawn by then has hung

// Runs the event loop until done() holds.
template <typename Done> void processEventsUntil(Done done, const char* what) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (timer.elapsed() > kStepSeconds * 1000) {
            std::fprintf(stderr, "next-steps child: %s did not happen\n", what);
            std::exit(2);
        }
    }
}

// The window shown, its start-up pair drawn; nothing of the folder loaded yet.
void showWindow(TViewForm& form) {
    form.show();
    processEventsUntil([&] { return probe(form).drawCount() > 0; }, "the first drawing");
}

int emptyChild(int argc, char** argv, const std::string& programFolder) {
    QApplication app(argc, argv);
    ProgramState state = readProgramState(programFolder);
    PairNavigator navigator;
    TViewForm form(state, navigator);
    showWindow(form);
    std::printf("peak %.0f\n", peakResidentBytes());
    return 0;
}

int stepsChild(int argc, char** argv, const std::string& programFolder, int steps) {
    QApplication app(argc, argv);
    ProgramState state = readProgramState(programFolder);
    PairNavigator navigator;
    TViewForm form(state, navigator);
    showWindow(form);
    for (int i = 1; i <= steps; ++i) {
        const int drawn = probe(form).drawCount();
        form.ShowNextExecute();
        const QString name = QString::fromLatin1(i % 2 == 1 ? "a" : "b");
        processEventsUntil(
            [&] {
                return probe(form).drawCount() > drawn &&
                       form.windowTitle().startsWith(QStringLiteral("Duoptic - ") + name);
            },
            "a Next step");
        if (i == 50) {
            std::printf("rss50 %.0f\n", residentBytes());
        }
    }
    std::printf("rssLast %.0f\n", residentBytes());
    return 0;
}

// A settings file whose last folder is `pairs`, with the window the timed rows use.
void writeSettingsFile(const std::string& programFolder, const std::string& pairs) {
    std::ofstream ini(programFolder + "duoptic.ini", std::ios::binary);
    for (const char* line :
         {"[Viewer]", "ViewerMode=(Parallel)", "FittingMode=0", "BorderWidth=4", "[Window]",
          "WinTop=0", "WinLeft=0", "WinWidth=1900", "WinHeight=1000", "WinState=0", "[File]"}) {
        ini << line << "\r\n";
    }
    ini << "LatestPath=" << pairs << "/\r\n";
}

} // namespace

int main(int argc, char** argv) {
    std::string mode, folder;
    int steps = 500;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--child=", 0) == 0) {
            mode = a.substr(8);
        } else if (a.rfind("--folder=", 0) == 0) {
            folder = a.substr(9);
        } else if (a.rfind("--steps=", 0) == 0) {
            steps = std::max(50, std::atoi(a.c_str() + 8));
        }
    }
    if (mode == "empty") {
        return emptyChild(argc, argv, folder);
    }
    if (mode == "steps") {
        return stepsChild(argc, argv, folder, steps);
    }

    const TempFolder pairs;
    const TempFolder withPairs;
    const TempFolder withoutPairs;
    const TempFolder runtimeFolder; // Qt wants a private runtime folder
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("XDG_RUNTIME_DIR", runtimeFolder.path().c_str(), 1);
    writeFile(
        pairs.file("a_DUP.jpg"),
        photoJpeg(
            {.width = kWidth, .height = kHeight, .sideBySide = true, .red = 0.8, .blue = 1.2}));
    writeFile(
        pairs.file("b_DUP.jpg"),
        photoJpeg(
            {.width = kWidth, .height = kHeight, .sideBySide = true, .red = 1.2, .blue = 0.8}));
    writeSettingsFile(withPairs.path() + "/", pairs.path());
    writeSettingsFile(withoutPairs.path() + "/", withoutPairs.path());

    const std::string self = "/proc/" + std::to_string(::getpid()) + "/exe";
    const double empty =
        runChild(self, "--child=empty --folder=" + shellQuoted(withoutPairs.path() + "/"))["peak"];
    auto rss = runChild(self, "--child=steps --steps=" + std::to_string(steps) +
                                  " --folder=" + shellQuoted(withPairs.path() + "/"));
    const double picture = double(kWidth) * kHeight * 4;
    const std::string after = "after " + std::to_string(steps) + " Next ";
    printRow("window: RSS after " + std::to_string(steps) + " Next steps, 2 x 12000x4000 pairs",
             after + megabytes(rss["rssLast"]),
             "pair " + megabytes(picture) + " + empty window " + megabytes(empty),
             rss["rssLast"] / (picture + empty), Target{2.3});
    printRow("  the same, flat", after + megabytes(rss["rssLast"]),
             "after 50 Next " + megabytes(rss["rss50"]), rss["rssLast"] / rss["rss50"],
             Target{1.05, 0.95});
    return 0;
}
