#pragma once

#include <QFont>

namespace duoptic {

// The face every window and dialog is laid out for: a 12-pixel proportional Gothic with Japanese
// glyphs. The Windows family is asked for first; IPAPGothic stands in for it on Linux.
QFont dialogFont();

} // namespace duoptic
