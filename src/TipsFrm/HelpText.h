#pragma once

#include <QString>

namespace duoptic {

// The Tips dialog's help text: 49 lines, each ended by CR LF (the last one too), so that the memo
// scrolls down to an empty last line.
const QString& tipsHelpText();

} // namespace duoptic
