#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace duoptic {

// Runs a save on a thread of its own once a quiet moment has passed since the last request, so
// that a burst of changes costs one save and the thread making them never waits for the disk.
// Saves never overlap, whichever thread runs them. request() and now() are for one thread; the
// save must not throw.
class DeferredSave {
public:
    DeferredSave(std::function<void()> save, std::chrono::milliseconds quiet);
    // Stops the thread, after the save it may be running; what is still requested is not saved.
    ~DeferredSave();
    DeferredSave(const DeferredSave&) = delete;
    DeferredSave& operator=(const DeferredSave&) = delete;

    // Asks for a save after the quiet moment, which starts again.
    void request();
    // Saves on the caller's thread, after a save that is running, and drops the request.
    void now();

private:
    using Clock = std::chrono::steady_clock;

    void run();

    const std::function<void()> save_;
    const std::chrono::milliseconds quiet_;
    std::mutex saving_; // held through each save
    std::mutex mutex_;  // guards the two below
    std::condition_variable wake_;
    std::optional<Clock::time_point> due_;
    bool stopping_ = false;
    std::thread thread_; // started by the first request
};

} // namespace duoptic
