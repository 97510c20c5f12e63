#pragma once

#include "ViewFrm/ProgramState.h"

#include <functional>
#include <string>

class QWidget;

namespace duoptic {

// Runs the Filer modally over parent for the Open command and returns QDialog::Accepted (Open) or
// QDialog::Rejected. Opens at the last folder: when that cannot be made current it throws Error
// before anything is shown and the pair list stays as it was. On Open it stores the options and
// the folder shown into the settings, sets the pair cursor and kind from the selected row and
// sets `name` to the row's base name (emptied, cursor 0, when no row is selected). Whatever the
// result, the pair list and the current directory stay with the folder shown last.
int runFiler(QWidget* parent, ProgramState& state, std::string& name,
             std::function<void()> showTips);

} // namespace duoptic
