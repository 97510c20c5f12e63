#include "JpegWriter.h"

#include "base/Error.h"
#include "base/FileRead.h"
#include "base/Messages.h"
#include "imaging/JpegDecoder.h"
#include "imaging/MpoViews.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace duoptic {
namespace {

namespace fs = std::filesystem;

class FileRead : public ::testing::Test {
protected:
    std::string write(const std::string& name, std::size_t size) {
        return dir_.write(name, std::string(size, 'x'));
    }

    testing::TempFolder dir_;
};

std::string errorOf(const std::function<void()>& act) {
    try {
        act();
        return "no error";
    } catch (const Error& e) {
        return e.what();
    }
}

// Runs readFile, and the open alone, on their own thread so that a blocking open shows as a
// failure, not a hang.
void expectCannotOpenQuickly(const std::string& path) {
    auto task = std::make_shared<std::packaged_task<std::string()>>([path] {
        JpegDecoder decoder;
        const std::string read = errorOf([&] { decoder.readFile(path); });
        const std::string open = errorOf([&] { openedFileIdentity(path); });
        return read == open ? read : read + " / " + open;
    });
    auto result = task->get_future();
    std::thread([task] { (*task)(); }).detach();
    if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "reading " << path << " hangs";
        std::_Exit(1); // the reader can neither finish nor be stopped
    }
    EXPECT_EQ(result.get(), messages::cannotOpenFile(path));
}

TEST_F(FileRead, MissingFileNamesThePathAsGiven) {
    expectCannotOpenQuickly(dir_.file("nothing_DUL.jpg"));
    expectCannotOpenQuickly("relative/../nothing_DUR.jpg");
}

TEST_F(FileRead, FifoIsRefusedWithoutWaitingForAWriter) {
    const std::string fifo = dir_.file("pipe_DUP.jpg");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    expectCannotOpenQuickly(fifo);
}

TEST_F(FileRead, DeviceBehindASymlinkIsRefused) {
    const fs::path link = dir_.file("x_DUP.jpg");
    fs::create_symlink("/dev/zero", link);
    expectCannotOpenQuickly(link.string());
}

TEST_F(FileRead, FolderIsRefused) {
    fs::create_directory(dir_.file("folder_DUC.jpg"));
    expectCannotOpenQuickly(dir_.file("folder_DUC.jpg"));
}

TEST_F(FileRead, SymlinkToAFileReadsTheFile) {
    const std::string target = write("target.jpg", 1234);
    fs::create_symlink(target, dir_.file("link_DUL.jpg"));
    EXPECT_EQ(readFileBytes(dir_.file("link_DUL.jpg")).size(), 1234u);
}

TEST_F(FileRead, ReadingIntoABufferKeepsItForTheNextFile) {
    std::vector<std::uint8_t> bytes;
    readFileBytes(write("a.jpg", 5000), bytes);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(5000, 'x'));
    const std::uint8_t* buffer = bytes.data();
    readFileBytes(write("b.jpg", 4000), bytes);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(4000, 'x'));
    EXPECT_EQ(bytes.data(), buffer);
}

TEST_F(FileRead, ReadingIntoABufferGivesUpOneFarTooLarge) {
    std::vector<std::uint8_t> bytes;
    readFileBytes(write("big.jpg", 100000), bytes);
    readFileBytes(write("small.jpg", 10), bytes);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(10, 'x'));
    EXPECT_LT(bytes.capacity(), 100000u);
}

TEST_F(FileRead, AFailedReadIntoABufferLeavesItEmpty) {
    std::vector<std::uint8_t> bytes;
    readFileBytes(write("a.jpg", 5000), bytes);
    EXPECT_THROW(readFileBytes(dir_.file("nothing.jpg"), bytes), Error);
    EXPECT_TRUE(bytes.empty());
    EXPECT_THROW(readFileBytes(write("c.jpg", 101), bytes, 100), Error);
    EXPECT_TRUE(bytes.empty());
}

struct CapCase {
    const char* name;
    std::size_t size;
    std::size_t cap;
    bool reads;

    friend void PrintTo(const CapCase& c, std::ostream* os) { *os << c.name; }
};

class FileCap : public FileRead, public ::testing::WithParamInterface<CapCase> {};

TEST_P(FileCap, RefusesFilesBeyondTheCap) {
    const CapCase& c = GetParam();
    const std::string path = write("file.jpg", c.size);
    if (c.reads) {
        EXPECT_EQ(readFileBytes(path, c.cap), std::vector<std::uint8_t>(c.size, 'x'));
    } else {
        EXPECT_THROW(readFileBytes(path, c.cap), Error);
    }
}

constexpr std::size_t kChunk = kReadChunkBytes;
INSTANTIATE_TEST_SUITE_P(Sizes, FileCap,
                         ::testing::Values(CapCase{"Empty", 0, 10, true},
                                           CapCase{"AtTheCap", 100, 100, true},
                                           CapCase{"OneByteOver", 101, 100, false},
                                           CapCase{"LargerThanOneRead", 300000, 400000, true},
                                           CapCase{"ChunkLessOne", kChunk - 1, kChunk, true},
                                           CapCase{"ChunkAndOne", kChunk + 1, 3 * kChunk, true},
                                           CapCase{"PastCap", 2 * kChunk + 1, 2 * kChunk, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A gigabyte of holes: the first read is cancelled once under way, the others before they start.
TEST_F(FileRead, CancelFlagStopsTheReadOfALargeFile) {
    const std::string path = dir_.write("huge_DUP.jpg", "\xFF\xD8");
    fs::resize_file(path, kMaxFileBytes);
    std::atomic<bool> cancel{false};
    std::thread setter([&cancel] {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        cancel = true;
    });
    FileBytes bytes;
    EXPECT_THROW(readFileBytes(path, bytes, kMaxFileBytes, nullptr, &cancel), ReadCancelled);
    setter.join();
    JpegDecoder decoder;
    decoder.setCancel(&cancel);
    EXPECT_THROW(decoder.readFile(path), DecodeCancelled);
    EXPECT_THROW(readMpoFile(path, &cancel), DecodeCancelled);
}

// --- Whether a file is still the one read -----------------------------------------------------

struct ChangeCase {
    const char* name;
    void (*change)(const fs::path& file); // what happens to the file after it was read
    bool same;                            // whether it still counts as the file read

    friend void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }
};

void leaveAlone(const fs::path&) {}

void replaceByRename(const fs::path& file) {
    const fs::path other = file.string() + ".new";
    std::ofstream(other, std::ios::binary) << std::string(1000, 'x'); // the same size and bytes
    fs::rename(other, file);
}

// The same content, the same size: only the time moves, by one nanosecond.
void touch(const fs::path& file) {
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    timespec times[2] = {info.st_atim, info.st_mtim};
    times[1].tv_nsec = (times[1].tv_nsec + 1) % 1000000000;
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

// One byte more, or the first byte rewritten, with the time set back to what it was.
template <std::ios::openmode kWhere> void writeKeepingTheTime(const fs::path& file) {
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // the change time moves on
    std::fstream(file, std::ios::binary | std::ios::in | std::ios::out | kWhere) << 'y';
    const timespec times[2] = {info.st_atim, info.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

class FileChange : public FileRead, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(FileChange, ShowsInTheIdentityTakenWhenTheFileWasRead) {
    const ChangeCase& c = GetParam();
    const std::string path = write("file.jpg", 1000);
    std::vector<std::uint8_t> bytes;
    FileIdentity read;
    readFileBytes(path, bytes, kMaxFileBytes, &read);
    c.change(path);
    const std::optional<FileIdentity> now = identityOf(path);
    ASSERT_TRUE(now.has_value());
    EXPECT_EQ(*now == read, c.same);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, FileChange,
    ::testing::Values(
        ChangeCase{"Untouched", &leaveAlone, true},
        ChangeCase{"ReplacedByAnotherFile", &replaceByRename, false},
        ChangeCase{"TouchedByOneNanosecond", &touch, false},
        ChangeCase{"GrownWithItsTimeKept", &writeKeepingTheTime<std::ios::app>, false},
        ChangeCase{"RewrittenWithItsTimeKept", &writeKeepingTheTime<std::ios::openmode{}>, false}),
    [](const auto& info) { return std::string(info.param.name); });

std::size_t residentBytes() {
    std::size_t pages = 0;
    std::size_t resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// A decoder that refuses a file at its header holds none of its bytes any more.
TEST_F(FileRead, RefusedFileIsLetGoOf) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator holds freed memory back";
#endif
    constexpr std::size_t kSize = std::size_t{64} << 20;
    const std::string path = dir_.write("x_DUP.jpg", std::string(kSize, 'x'));
    JpegDecoder decoder;
    const std::size_t before = residentBytes();
    EXPECT_THROW(decoder.readFile(path), Error);
    EXPECT_LT(residentBytes(), before + kSize / 2);
}

TEST_F(FileRead, IdentityOfAMissingFileIsNothing) {
    EXPECT_FALSE(identityOf(dir_.file("nothing.jpg")).has_value());
}

TEST_F(FileRead, DecoderKeepsTheIdentityOfTheFileItReadOnly) {
    const std::vector<std::uint8_t> jpeg = testing::patternJpeg(16, 16);
    const std::string path = dir_.write("pair_DUL.jpg", jpeg);
    JpegDecoder decoder;
    decoder.readFile(path);
    EXPECT_EQ(decoder.fileIdentity(), identityOf(path));
    EXPECT_EQ(decoder.fileIdentity(), openedFileIdentity(path));
    decoder.readMemory(jpeg);
    EXPECT_FALSE(decoder.fileIdentity().has_value());
    decoder.readFile(path);
    EXPECT_THROW(decoder.readFile(dir_.file("nothing.jpg")), Error);
    EXPECT_FALSE(decoder.fileIdentity().has_value());
}

} // namespace
} // namespace duoptic
