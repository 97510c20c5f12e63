#include "imaging/BackgroundPriority.h"

#include <algorithm>
#include <cerrno>

#include <sys/resource.h>
#include <unistd.h>

namespace duoptic {

// On Linux a thread's niceness is its own: the thread's id addresses it alone, so the rest of the
// process keeps its priority.
bool lowerCallingThreadPriority() {
    const auto thread = static_cast<id_t>(::gettid());
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, thread);
    if (current == -1 && errno != 0) {
        return false;
    }
    constexpr int kNicest = 19;
    return ::setpriority(PRIO_PROCESS, thread, std::min(current + kBackgroundNiceness, kNicest)) ==
           0;
}

} // namespace duoptic
