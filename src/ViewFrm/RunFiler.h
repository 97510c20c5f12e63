#pragma once

#include "ViewFrm/ProgramState.h"

#include <functional>
#include <optional>

class QWidget;

namespace duoptic {

// Runs the Filer modally over parent for the Open command. Opens at the last folder: when that
// cannot be made current it throws Error before anything is shown and the pair list stays as it
// was. On Open it stores the options and the folder shown into the settings and returns the number
// of the chosen row's entry in the pair list (0 when no row is chosen); on Cancel, nothing.
// Whatever the result, the pair list and the current directory stay with the folder shown last.
std::optional<int> runFiler(QWidget* parent, ProgramState& state, std::function<void()> showTips);

} // namespace duoptic
