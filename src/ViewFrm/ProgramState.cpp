#include "ViewFrm/ProgramState.h"

namespace duoptic {

ProgramState readProgramState(std::string programFolder) {
    ProgramState state;
    state.programFolder = programFolder.empty() ? "./" : std::move(programFolder);
    state.settingsPath = settingsFilePath(state.programFolder);
    state.settings = readSettings(state.settingsPath, state.programFolder);
    return state;
}

} // namespace duoptic
