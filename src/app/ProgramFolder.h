#pragma once

#include <string>

namespace duoptic {

// The program folder: the folder of the running executable, ending in "/", as native bytes.
std::string programFolder();

// The same, as the kernel names it, for use before the application object exists: empty when it
// cannot be told. programFolder() stays what counts once Qt runs.
std::string earlyProgramFolder();

} // namespace duoptic
