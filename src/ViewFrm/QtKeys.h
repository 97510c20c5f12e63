#pragma once

#include "ViewFrm/logic/InputMaps.h"

#include <Qt>

namespace duoptic {

// The key of the main window's key map that a Qt key press stands for; the keypad's + and - only
// from the keypad.
MainKey mainKey(int key, Qt::KeyboardModifiers modifiers);

} // namespace duoptic
