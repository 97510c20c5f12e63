#include "Watchdog.h"

#include <cstdio>
#include <cstdlib>

namespace duoptic::test {

Watchdog::Watchdog(std::string what, std::chrono::seconds limit)
    : thread_([this, what = std::move(what), limit] {
          std::unique_lock lock(mutex_);
          if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
              std::fprintf(stderr, "%s: still running after %lld s, giving up\n", what.c_str(),
                           static_cast<long long>(limit.count()));
              std::abort();
          }
      }) {}

Watchdog::~Watchdog() {
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
    }
    done_.notify_one();
    thread_.join();
}

} // namespace duoptic::test
