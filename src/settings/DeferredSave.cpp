#include "settings/DeferredSave.h"

#include <system_error>

namespace duoptic {

DeferredSave::DeferredSave(std::function<void()> save, std::chrono::milliseconds quiet)
    : save_(std::move(save)), quiet_(quiet) {}

DeferredSave::~DeferredSave() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void DeferredSave::request() {
    {
        const std::lock_guard lock(mutex_);
        due_ = Clock::now() + quiet_;
    }
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread([this] { run(); });
        } catch (const std::system_error&) {
            now(); // no thread to spare: the caller waits instead
            return;
        }
    }
    wake_.notify_one();
}

void DeferredSave::now() {
    const std::lock_guard saving(saving_);
    {
        const std::lock_guard lock(mutex_);
        due_.reset();
    }
    save_();
}

void DeferredSave::run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!due_) {
            wake_.wait(lock);
        } else if (Clock::now() < *due_) {
            wake_.wait_until(lock, *due_);
        } else {
            due_.reset();
            lock.unlock();
            {
                const std::lock_guard saving(saving_);
                save_();
            }
            lock.lock();
        }
    }
}

} // namespace duoptic
