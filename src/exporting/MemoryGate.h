#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace duoptic {

// Lets work that needs memory run together only while what it takes stays within a budget. A
// single claim larger than the whole budget still runs, alone.
class MemoryGate {
public:
    explicit MemoryGate(std::uint64_t budget) : budget_(budget) {}

    // Waits until the bytes fit beside what the others hold, then holds them.
    void acquire(std::uint64_t bytes) {
        std::unique_lock lock(mutex_);
        freed_.wait(lock, [&] { return held_ == 0 || held_ + bytes <= budget_; });
        held_ += bytes;
    }
    void release(std::uint64_t bytes) {
        {
            const std::lock_guard lock(mutex_);
            held_ -= bytes;
        }
        freed_.notify_all();
    }

    // Holds the bytes for its own life.
    class Claim {
    public:
        Claim(MemoryGate* gate, std::uint64_t bytes) : gate_(gate), bytes_(bytes) {
            if (gate_) {
                gate_->acquire(bytes_);
            }
        }
        ~Claim() {
            if (gate_) {
                gate_->release(bytes_);
            }
        }
        Claim(const Claim&) = delete;
        Claim& operator=(const Claim&) = delete;

    private:
        MemoryGate* gate_;
        std::uint64_t bytes_;
    };

private:
    std::mutex mutex_;
    std::condition_variable freed_;
    const std::uint64_t budget_;
    std::uint64_t held_ = 0;
};

} // namespace duoptic
