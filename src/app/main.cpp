#include "ViewFrm/SettingsLoadChoices.h"
#include "ViewFrm/ViewForm.h"
#include "app/CommandLine.h"
#include "app/ExitWithoutDisplay.h"
#include "app/FontSystemWarmUp.h"
#include "app/ProgramFolder.h"
#include "app/QuitOnSignals.h"
#include "base/Trace.h"
#include "loading/PairNavigator.h"

#include <QApplication>
#include <QSessionManager>

#include <algorithm>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>

int main(int argc, char* argv[]) {
    duoptic::trace("main");
    const duoptic::CommandLine commandLine = duoptic::parseCommandLine(argc, argv);
    if (const auto status = duoptic::answerOnTerminal(commandLine, std::cout, std::cerr))
        return *status;
    // Qt sees only the program name: every option has been answered above, and a PATH that
    // begins with "-" must not be taken for one of Qt's own options.
    int qtArgc = std::min(argc, 1);
    const duoptic::FontSystemWarmUp fontSystemWarmUp;
    // The settings are read once, and the start path opened, before Qt's set-up, which then
    // overlaps the decode of its pair (or of the sample pair).
    duoptic::ProgramState state = duoptic::readProgramState(duoptic::programFolder());
    duoptic::PairNavigator navigator;
    navigator.setLoadChoices(duoptic::loadChoices(state.settings));
    navigator.startWith(commandLine.path, state.settings.viewerMode.sides());
    std::optional<duoptic::ExitWithoutDisplay> exitWithoutDisplay(std::in_place);
    QApplication app(qtArgc, argv);
    exitWithoutDisplay.reset();
    duoptic::trace("Qt set up");
    // Made before the window, so that the signals are still caught while its end writes the
    // settings.
    duoptic::QuitOnSignals quitOnSignals;
    duoptic::TViewForm form(state, navigator);
    // Ends the run as the close box does; nested event loops of open dialogs end with it.
    QObject::connect(&quitOnSignals, &duoptic::QuitOnSignals::quitRequested, &form, [&form] {
        form.close();
        QCoreApplication::quit();
    });
    // A checkpoint, or a logout that another program may still cancel: the settings are made
    // safe and the viewer goes on. A session that really ends quits the application itself, and
    // the window's end writes them again. A failure here is left to that last write to report:
    // a message box would hold up the session.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form] {
        try {
            form.writeSettingsNow();
        } catch (const std::exception&) {
        }
    });
    duoptic::trace("window made");
    form.show();
    return app.exec();
}
