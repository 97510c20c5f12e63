#pragma once

#include <QString>

#include <string>

namespace duoptic {

// The caption of the error report: the executable's file name up to its first ".", every
// character after the first in lower case ("duoptic").
QString applicationTitle(const QString& executableFileName);

// The program folder: the folder of the running executable, ending in "/", as native bytes.
std::string programFolder();

} // namespace duoptic
