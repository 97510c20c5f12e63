#include "JpegWriter.h"

#include "imaging/BackgroundPriority.h"
#include "imaging/JpegDecoder.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

namespace duoptic {
namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

struct CancelCase {
    const char* name;
    bool progressive; // most of a progressive decode happens before the first row comes out

    friend void PrintTo(const CancelCase& c, std::ostream* os) { *os << c.name; }
};

// Large enough that a decode takes a good while, so that "well before its end" is measurable.
constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

const Bytes& bigPicture(bool progressive) {
    static std::map<bool, Bytes> made;
    auto it = made.find(progressive);
    if (it == made.end()) {
        it = made.emplace(progressive, testing::patternJpeg(kWidth, kHeight, progressive)).first;
    }
    return it->second;
}

bool samePixels(const Picture& a, const Picture& b) {
    if (a.width() != b.width() || a.height() != b.height() || a.format() != b.format()) {
        return false;
    }
    const auto rowBytes = static_cast<std::size_t>(Picture::strideFor(a.format(), a.width()));
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.row(y), b.row(y), rowBytes) != 0) {
            return false;
        }
    }
    return true;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class CancelledDecode : public ::testing::TestWithParam<CancelCase> {
protected:
    const Bytes& bytes() const { return bigPicture(GetParam().progressive); }

    // The picture as an uncancelled decode gives it, and how long that took at best.
    std::shared_ptr<const Picture> decodeWhole(double& seconds) const {
        std::shared_ptr<const Picture> picture;
        seconds = 1e9;
        for (int i = 0; i < 2; ++i) {
            JpegDecoder decoder;
            decoder.readMemory(bytes());
            const Clock::time_point start = Clock::now();
            picture = decoder.picture();
            seconds = std::min(seconds, secondsSince(start));
        }
        return picture;
    }
};

TEST_P(CancelledDecode, BeforeItStartsThrowsAndTheDecoderDecodesOnceCleared) {
    double seconds = 0;
    const auto expected = decodeWhole(seconds);
    std::atomic<bool> cancel{true};
    JpegDecoder decoder;
    decoder.setCancel(&cancel);
    decoder.readMemory(bytes());
    EXPECT_THROW(decoder.picture(), DecodeCancelled);
    EXPECT_THROW(decoder.picture(), DecodeCancelled);
    cancel = false;
    EXPECT_TRUE(samePixels(*decoder.picture(), *expected));
}

// Cancelled once under way, the decode stops at once: how far it came (the progress it reports)
// is hardly more than where it was when the flag was set. No clock: busy machines stay green.
TEST_P(CancelledDecode, WhileItRunsStopsItWellBeforeItsEnd) {
    double whole = 0;
    const auto expected = decodeWhole(whole);
    std::atomic<bool> cancel{false};
    JpegDecoder decoder;
    decoder.setCancel(&cancel);
    decoder.readMemory(bytes());
    bool stopped = false;
    std::thread background([&] {
        try {
            decoder.picture();
        } catch (const DecodeCancelled&) {
            stopped = true;
        }
    });
    while (decoder.progress() == 0) {
        std::this_thread::yield();
    }
    cancel = true;
    const int atCancel = decoder.progress();
    background.join();
    ASSERT_TRUE(stopped) << "the decode ran to its end";
    EXPECT_LE(decoder.progress() - atCancel, 20) << "thousandths decoded after the cancel";

    cancel = false;
    EXPECT_TRUE(samePixels(*decoder.picture(), *expected));
}

INSTANTIATE_TEST_SUITE_P(Pictures, CancelledDecode,
                         ::testing::Values(CancelCase{"Baseline", false},
                                           CancelCase{"Progressive", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BackgroundPriority, LowersTheCallingThreadOnly) {
    const auto niceness = [] { return ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())); };
    const int before = niceness();
    int inThread = before;
    bool lowered = false;
    std::thread([&] {
        lowered = lowerCallingThreadPriority();
        inThread = niceness();
    }).join();
    ASSERT_TRUE(lowered);
    EXPECT_EQ(inThread, std::min(before + kBackgroundNiceness, 19));
    EXPECT_EQ(niceness(), before);
}

} // namespace
} // namespace duoptic
