#pragma once

#include <thread>

namespace duoptic {

// Reads the font configuration on a thread of its own from the program's first moments. The
// first text that the window draws would otherwise wait for it (the configuration files and
// the font list take several milliseconds) on the way to the first frame. Qt's own first use
// then finds the configuration loaded. Joined when it goes.
class FontSystemWarmUp {
public:
    FontSystemWarmUp();
    ~FontSystemWarmUp();
    FontSystemWarmUp(const FontSystemWarmUp&) = delete;
    FontSystemWarmUp& operator=(const FontSystemWarmUp&) = delete;

private:
    std::thread thread_;
};

} // namespace duoptic
