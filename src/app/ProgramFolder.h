#pragma once

#include <string>

namespace duoptic {

// The program folder: the folder of the running executable, ending in "/", as native bytes, as
// the kernel names it; empty when it cannot be told. Needs no application object, so the settings
// can be read before Qt is set up.
std::string programFolder();

} // namespace duoptic
