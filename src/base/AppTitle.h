#pragma once

#include <QString>

namespace duoptic {

// The caption of the error report: the executable's file name up to its first ".", every
// character after the first in lower case ("duoptic").
QString applicationTitle(const QString& executableFileName);

} // namespace duoptic
