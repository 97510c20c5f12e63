#pragma once

#include <string>

namespace duoptic {

// The user's folders of the XDG base directory rules, without a trailing "/": the variable's
// value when it is an absolute path, otherwise the fallback below $HOME; empty when neither is
// set. A relative value is ignored, as the rules ask, so that what the viewer keeps never depends
// on the folder it was started from.
std::string userConfigFolder(); // $XDG_CONFIG_HOME, or $HOME/.config
std::string userDataFolder();   // $XDG_DATA_HOME, or $HOME/.local/share

} // namespace duoptic
