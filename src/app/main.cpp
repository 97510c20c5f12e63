#include "ViewFrm/ViewForm.h"
#include "app/ProgramFolder.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    duoptic::ProgramState state;
    state.programFolder = duoptic::programFolder();
    duoptic::TViewForm form(state);
    form.show();
    return app.exec();
}
