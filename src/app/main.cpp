#include "ViewFrm/ViewForm.h"
#include "app/ProgramFolder.h"
#include "app/QuitOnSignals.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    duoptic::ProgramState state;
    state.programFolder = duoptic::programFolder();
    duoptic::TViewForm form(state);
    // Ends the run as the close box does; nested event loops of open dialogs end with it.
    duoptic::QuitOnSignals quitOnSignals([&form] {
        form.close();
        QCoreApplication::quit();
    });
    form.show();
    return app.exec();
}
