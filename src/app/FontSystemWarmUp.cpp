#include "app/FontSystemWarmUp.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace duoptic {

FontSystemWarmUp::FontSystemWarmUp() {
    try {
        thread_ = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to be had: Qt loads the configuration when it first needs it.
    }
}

FontSystemWarmUp::~FontSystemWarmUp() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

} // namespace duoptic
