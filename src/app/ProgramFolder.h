#pragma once

#include <string>

namespace duoptic {

// The program folder: the folder of the running executable, ending in "/", as native bytes.
std::string programFolder();

} // namespace duoptic
