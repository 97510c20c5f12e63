#include "base/Error.h"
#include "base/Messages.h"
#include "imaging/FileBytes.h"
#include "imaging/JpegDecoder.h"

#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include <sys/stat.h>

namespace duoptic {
namespace {

namespace fs = std::filesystem;

class FileRead : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "duoptic-imaging-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const std::string& name, std::size_t size) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << std::string(size, 'x');
        return path.string();
    }

    fs::path dir_;
};

// Runs readFile on its own thread so that a blocking open shows as a failure, not a hang.
void expectCannotOpenQuickly(const std::string& path) {
    auto task = std::make_shared<std::packaged_task<std::string()>>([path] {
        try {
            JpegDecoder decoder;
            decoder.readFile(path);
            return std::string("no error");
        } catch (const Error& e) {
            return std::string(e.what());
        }
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
    expectCannotOpenQuickly((dir_ / "nothing_DUL.jpg").string());
    expectCannotOpenQuickly("relative/../nothing_DUR.jpg");
}

TEST_F(FileRead, FifoIsRefusedWithoutWaitingForAWriter) {
    const std::string fifo = (dir_ / "pipe_DUP.jpg").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    expectCannotOpenQuickly(fifo);
}

TEST_F(FileRead, DeviceBehindASymlinkIsRefused) {
    const fs::path link = dir_ / "x_DUP.jpg";
    fs::create_symlink("/dev/zero", link);
    expectCannotOpenQuickly(link.string());
}

TEST_F(FileRead, FolderIsRefused) {
    fs::create_directory(dir_ / "folder_DUC.jpg");
    expectCannotOpenQuickly((dir_ / "folder_DUC.jpg").string());
}

TEST_F(FileRead, SymlinkToAFileReadsTheFile) {
    const std::string target = write("target.jpg", 1234);
    fs::create_symlink(target, dir_ / "link_DUL.jpg");
    EXPECT_EQ(readFileBytes((dir_ / "link_DUL.jpg").string()).size(), 1234u);
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
    EXPECT_THROW(readFileBytes((dir_ / "nothing.jpg").string(), bytes), Error);
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

INSTANTIATE_TEST_SUITE_P(Sizes, FileCap,
                         ::testing::Values(CapCase{"Empty", 0, 10, true},
                                           CapCase{"AtTheCap", 100, 100, true},
                                           CapCase{"OneByteOver", 101, 100, false},
                                           CapCase{"LargerThanOneRead", 300000, 400000, true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace duoptic
