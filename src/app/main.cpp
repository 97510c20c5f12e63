#include "ViewFrm/ViewForm.h"
#include "app/CommandLine.h"
#include "app/ProgramFolder.h"
#include "app/QuitOnSignals.h"

#include <QApplication>

#include <algorithm>
#include <iostream>

int main(int argc, char* argv[]) {
    const duoptic::CommandLine commandLine = duoptic::parseCommandLine(argc, argv);
    if (const auto status = duoptic::answerOnTerminal(commandLine, std::cout, std::cerr))
        return *status;
    // Qt sees only the program name: every option has been answered above, and a PATH that
    // begins with "-" must not be taken for one of Qt's own options.
    int qtArgc = std::min(argc, 1);
    QApplication app(qtArgc, argv);
    duoptic::ProgramState state;
    state.programFolder = duoptic::programFolder();
    duoptic::TViewForm form(state);
    if (commandLine.path) {
        form.openAtStart(*commandLine.path);
    }
    // Ends the run as the close box does; nested event loops of open dialogs end with it.
    duoptic::QuitOnSignals quitOnSignals([&form] {
        form.close();
        QCoreApplication::quit();
    });
    form.show();
    return app.exec();
}
