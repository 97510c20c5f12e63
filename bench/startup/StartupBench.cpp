// Start-up to the first composed panel: the program's own start (as its main makes it, the font
// configuration and the sample pair read beside Qt's set-up; the main window and its show step)
// against the least a Qt program that shows the sample pair has to do (QApplication, an empty
// window shown and painted, the two sample JPEGs decoded). A second reference paints one letter
// in the window's font as well: the first text a Qt program draws starts its font system
// (fontconfig's configuration and font list), which the window, having buttons with captions,
// cannot avoid.
//
// Each start is a fresh process of this program in a child mode, so that the dynamic loader,
// Qt's platform plugin and font set-up are paid every time, as they are at a real start. The
// child reports the moment it reached its goal on a pipe and leaves at once; the parent measures
// from just before fork to that moment. The platform is offscreen.
#include "BenchTable.h"
#include "TempFolder.h"
#include "ViewFormProbe.h"

#include "ViewFrm/ViewForm.h"
#include "app/FontSystemWarmUp.h"
#include "base/DialogFont.h"
#include "imaging/JpegDecoder.h"
#include "loading/PairNavigator.h"
#include "resources/Resources.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

using namespace duoptic;
using namespace duoptic::bench;

constexpr int kChildSeconds = 20; // a child that has not reached its goal by then has hung

double monotonicSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

[[noreturn]] void reportAndLeave(int fd) {
    const std::string line = std::to_string(monotonicSeconds()) + "\n";
    if (::write(fd, line.data(), line.size()) != ssize_t(line.size())) {
        ::_exit(3);
    }
    ::_exit(0); // the teardown is not part of a start
}

// Runs the event loop until done() holds; gives up after kChildSeconds.
template <typename Done> void processEventsUntil(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (timer.elapsed() > kChildSeconds * 1000) {
            std::fprintf(stderr, "start-up child: goal not reached\n");
            ::_exit(2);
        }
    }
}

// As the program's main starts without a path: the font configuration and the sample pair are
// read on threads of their own while Qt sets up.
int viewerChild(int argc, char** argv, const std::string& programFolder, int fd) {
    const FontSystemWarmUp fontSystemWarmUp;
    ProgramState state = readProgramState(programFolder);
    PairNavigator navigator;
    navigator.startWith(std::nullopt, ViewerSides::Parallel);
    QApplication app(argc, argv);
    TViewForm form(state, navigator);
    form.show();
    processEventsUntil([&] { return probe(form).drawCount() > 0; });
    reportAndLeave(fd);
}

class PaintedWidget : public QWidget {
public:
    explicit PaintedWidget(bool withText) : withText_(withText) {
        if (withText_) {
            setFont(dialogFont());
        }
    }
    bool painted = false;

protected:
    void paintEvent(QPaintEvent* event) override {
        QWidget::paintEvent(event);
        if (withText_) {
            QPainter(this).drawText(8, 20, QStringLiteral("R"));
        }
        painted = true;
    }

private:
    bool withText_;
};

void decodeSample(const char* resource) {
    QFile file(QString::fromLatin1(resource));
    if (!file.open(QIODevice::ReadOnly)) {
        ::_exit(4);
    }
    const QByteArray bytes = file.readAll();
    JpegDecoder decoder;
    decoder.readMemory({bytes.begin(), bytes.end()});
    if (decoder.picture()->width() <= 0) {
        ::_exit(4);
    }
}

int emptyChild(int argc, char** argv, bool withText, int fd) {
    QApplication app(argc, argv);
    PaintedWidget window(withText);
    window.resize(553, 483);
    window.show();
    processEventsUntil([&] { return window.painted; });
    decodeSample(resources::kSampleLeft);
    decodeSample(resources::kSampleRight);
    reportAndLeave(fd);
}

// Starts this program in the given mode; returns the seconds from just before fork to the
// moment the child reports.
double startChild(const std::vector<std::string>& arguments) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    const double start = monotonicSeconds();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::vector<char*> argv;
        std::vector<std::string> owned = arguments;
        owned.push_back("--report-fd=" + std::to_string(pipeFds[1]));
        for (std::string& a : owned) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        ::execv("/proc/self/exe", argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    char buffer[64] = {};
    std::size_t got = 0;
    while (got < sizeof buffer - 1) {
        const ssize_t n = ::read(pipeFds[0], buffer + got, sizeof buffer - 1 - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += std::size_t(n);
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (got == 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "start-up child %s failed (status %d)\n", arguments[1].c_str(),
                     status);
        std::exit(1);
    }
    return std::strtod(buffer, nullptr) - start;
}

} // namespace

int main(int argc, char** argv) {
    std::string mode, folder;
    int fd = -1, repetitions = 21;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--child=", 0) == 0) {
            mode = a.substr(8);
        } else if (a.rfind("--folder=", 0) == 0) {
            folder = a.substr(9);
        } else if (a.rfind("--report-fd=", 0) == 0) {
            fd = std::atoi(a.c_str() + 12);
        } else if (a.rfind("--repetitions=", 0) == 0) {
            repetitions = std::max(1, std::atoi(a.c_str() + 14));
        }
    }
    if (mode == "viewer") {
        return viewerChild(argc, argv, folder, fd);
    }
    if (mode == "empty" || mode == "text") {
        return emptyChild(argc, argv, mode == "text", fd);
    }

    // The program folder holds no settings, so the window starts as on a first run; its last
    // folder is that empty folder.
    const TempFolder programFolder;
    const TempFolder runtimeFolder; // Qt wants a private runtime folder
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("XDG_RUNTIME_DIR", runtimeFolder.path().c_str(), 1);
    const std::vector<std::string> viewer = {argv[0], "--child=viewer",
                                             "--folder=" + programFolder.path() + "/"};
    const std::vector<std::string> empty = {argv[0], "--child=empty"};
    const std::vector<std::string> text = {argv[0], "--child=text"};
    for (const auto* child : {&viewer, &empty, &text}) {
        startChild(*child); // the first start of each also fills the file system cache
    }
    std::vector<double> viewerTimes, emptyTimes, textTimes;
    for (int i = 0; i < repetitions; ++i) {
        viewerTimes.push_back(startChild(viewer));
        emptyTimes.push_back(startChild(empty));
        textTimes.push_back(startChild(text));
    }
    const double measured = median(viewerTimes);
    const double reference = median(emptyTimes);
    printRow("start-up to the first composed panel", milliseconds(measured),
             "empty window + 2 decodes " + milliseconds(reference), measured / reference,
             Target{1.5});
    printRow("  the same vs a window that draws one letter", milliseconds(measured),
             "window + text + 2 decodes " + milliseconds(median(textTimes)),
             measured / median(textTimes), std::nullopt);
    return 0;
}
