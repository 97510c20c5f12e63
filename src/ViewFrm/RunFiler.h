#pragma once

#include "ViewFrm/ProgramState.h"
#include "loading/PairNavigator.h"

#include <functional>
#include <optional>

class QWidget;

namespace duoptic {

// Runs the Filer modally over parent for the Open command, on a copy of the Pair list `pairs`.
// Opens at the last folder: when that cannot be made current it throws Error before anything is
// shown. Whatever the result, it hands back the list of the folder shown last (the current
// directory stays there too). On Open it stores the options and the folder shown into the
// settings, and the listing names the chosen row's entry (0 when no row is chosen); on Cancel, no
// entry.
PairNavigator::Listing runFiler(QWidget* parent, ProgramState& state, const PairList& pairs,
                                std::function<void()> showTips);

} // namespace duoptic
