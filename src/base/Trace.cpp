#include "base/Trace.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace duoptic {

namespace {

bool tracing() {
    static const bool on = [] {
        const char* value = std::getenv("DUOPTIC_TRACE");
        return value != nullptr && value[0] != '\0';
    }();
    return on;
}

} // namespace

void trace(std::string_view what) noexcept {
    if (!tracing()) {
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char line[160];
    const int n = std::snprintf(
        line, sizeof line, "duoptic-trace %lld.%06ld %.*s\n", static_cast<long long>(now.tv_sec),
        now.tv_nsec / 1000, static_cast<int>(what.size() > 100 ? 100 : what.size()), what.data());
    if (n > 0) {
        // Nothing to be done if standard error is gone.
        [[maybe_unused]] const ssize_t written =
            write(STDERR_FILENO, line,
                  static_cast<std::size_t>(n < int(sizeof line) ? n : int(sizeof line) - 1));
    }
}

} // namespace duoptic
