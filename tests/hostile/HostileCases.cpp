#include "HostileCases.h"

#include "JpegWriter.h"
#include "support/TestFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace duoptic::test {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using testing::fileBytes;
using testing::testData;
using testing::writeFile;

namespace {

constexpr std::size_t kReadLimit = std::size_t{1} << 30; // what the loader reads at most

Bytes baseline() {
    return fileBytes(testData("jpeg/testorig.jpg"));
}
Bytes progressive() {
    return fileBytes(testData("jpeg/testimgp.jpg"));
}

Bytes solidJpeg(int width, int height) {
    return duoptic::testing::writeSolidJpeg(
        {width, height, duoptic::testing::JpegKind::Colour, 75, false}, {40, 90, 200});
}

// The same small file with other dimensions in its frame header, and not the data to fill them.
Bytes claimingSize(int width, int height) {
    return duoptic::testing::withFrameSize(solidJpeg(16, 16), width, height);
}

enum class Layout {
    SideBySide, // x_DUP.jpg is hostile
    RightEye    // x_DUL.jpg is fine, x_DUR.jpg is hostile; viewed crossed, it is copied first
};

const char* suffixOf(Layout layout) {
    return layout == Layout::SideBySide ? "" : "_RightEye";
}

// The pair around its hostile file: the side-by-side file, or the right-eye file beside a good
// left-eye file. What the hostile file is, the case decides.
HostilePair lay(const std::string& folder, Layout layout) {
    HostilePair pair;
    if (layout == Layout::SideBySide) {
        pair.kind = PairKind::Parallel;
        pair.hostileName = "x_DUP.jpg";
    } else {
        pair.kind = PairKind::TwoFiles;
        pair.hostileName = "x_DUR.jpg";
        writeFile(folder + "x_DUL.jpg", goodPairFile());
    }
    return pair;
}

HostileCase content(const std::string& name, std::function<Bytes()> bytes, Layout layout) {
    return {name + suffixOf(layout), [bytes, layout](const std::string& folder) {
                HostilePair pair = lay(folder, layout);
                pair.bytes = bytes();
                writeFile(folder + pair.hostileName, pair.bytes);
                return pair;
            }};
}

std::string identifier(std::string text) {
    std::replace_if(
        text.begin(), text.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return text;
}

void addTestDataFiles(std::vector<HostileCase>& cases) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(testData("jpeg"))) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        for (const Layout layout : {Layout::SideBySide, Layout::RightEye}) {
            cases.push_back(content(
                "TestData_" + identifier(file.stem().string()),
                [file] { return fileBytes(file.string()); }, layout));
        }
    }
}

void addTruncations(std::vector<HostileCase>& cases) {
    struct Cut {
        const char* name;
        std::size_t (*length)(std::size_t size);
    };
    static constexpr Cut kCuts[] = {
        {"OneByte", [](std::size_t) -> std::size_t { return 1; }},
        {"TwoBytes", [](std::size_t) -> std::size_t { return 2; }},
        {"FivePercent", [](std::size_t n) { return n / 20; }},
        {"TenPercent", [](std::size_t n) { return n / 10; }},
        {"Quarter", [](std::size_t n) { return n / 4; }},
        {"Half", [](std::size_t n) { return n / 2; }},
        {"ThreeQuarters", [](std::size_t n) { return n * 3 / 4; }},
        {"NinetyPercent", [](std::size_t n) { return n * 9 / 10; }},
        {"AllButTwo", [](std::size_t n) { return n - 2; }},
        {"AllButOne", [](std::size_t n) { return n - 1; }},
    };
    for (const auto& [kind, whole] :
         {std::pair{"Baseline", &baseline}, std::pair{"Progressive", &progressive}}) {
        for (const Cut& cut : kCuts) {
            cases.push_back(content(
                std::string("Truncated") + kind + "_" + cut.name,
                [whole, cut] {
                    Bytes bytes = whole();
                    bytes.resize(cut.length(bytes.size()));
                    return bytes;
                },
                Layout::SideBySide));
        }
    }
}

void addBitFlips(std::vector<HostileCase>& cases) {
    // Spread over markers, tables and entropy-coded data of the baseline file (5770 bytes).
    constexpr std::size_t kOffsets[] = {2, 3, 20, 100, 163, 300, 600, 1500, 4000, 5767};
    constexpr std::uint8_t kMasks[] = {0x01, 0x10, 0x80};
    for (std::size_t i = 0; i < std::size(kOffsets); ++i) {
        const std::size_t offset = kOffsets[i];
        const std::uint8_t mask = kMasks[i % std::size(kMasks)];
        cases.push_back(content(
            "FlippedBit_At" + std::to_string(offset),
            [offset, mask] {
                Bytes bytes = baseline();
                bytes.at(offset) ^= mask;
                return bytes;
            },
            Layout::SideBySide));
    }
}

void addShapes(std::vector<HostileCase>& cases) {
    for (const Layout layout : {Layout::SideBySide, Layout::RightEye}) {
        cases.push_back(content(
            "ZeroBytes", [] { return Bytes{}; }, layout));
        cases.push_back(content(
            "AllBytesZero", [] { return Bytes(4096, 0); }, layout));
        cases.push_back(content(
            "Claims65000x65000", [] { return claimingSize(65000, 65000); }, layout));
        cases.push_back(content(
            "Strip1x65000", [] { return solidJpeg(1, 65000); }, layout));
        cases.push_back(content(
            "Strip65000x1", [] { return solidJpeg(65000, 1); }, layout));
    }
    // A few hundred bytes that make the decoder fill 64 megapixels of what it does not have.
    cases.push_back(content(
        "Claims8192x8192", [] { return claimingSize(8192, 8192); }, Layout::SideBySide));
}

// Appends `data` to the file `chunk` bytes at a time, until all is written or the load is over.
void appendWhileLoading(const std::string& path, std::stop_token stop, const Bytes& data,
                        std::size_t chunk, std::chrono::microseconds pause) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    for (std::size_t at = 0; at < data.size() && !stop.stop_requested(); at += chunk) {
        const std::size_t n = std::min(chunk, data.size() - at);
        out.write(reinterpret_cast<const char*>(data.data() + at), static_cast<std::streamsize>(n));
        out.flush();
        std::this_thread::sleep_for(pause);
    }
}

void addGrowingFiles(std::vector<HostileCase>& cases) {
    // The whole picture first; what grows behind its end marker is never looked at.
    cases.push_back({"GrowsWhileRead", [](const std::string& folder) {
                         HostilePair pair = lay(folder, Layout::SideBySide);
                         pair.bytes = baseline();
                         const std::string path = folder + pair.hostileName;
                         writeFile(path, pair.bytes);
                         pair.duringLoad = [path](std::stop_token stop) {
                             appendWhileLoading(path, stop, Bytes(32u << 20, 0x5A), 65536,
                                                std::chrono::microseconds(200));
                         };
                         return pair;
                     }});
    // Written while it is read: the load sees some prefix of the picture.
    cases.push_back(
        {"WrittenWhileRead", [](const std::string& folder) {
             HostilePair pair = lay(folder, Layout::SideBySide);
             pair.expect = Expect::PictureOrJpegError;
             pair.bytes = baseline();
             const std::string path = folder + pair.hostileName;
             const auto cut = pair.bytes.begin() + 200;
             writeFile(path, Bytes(pair.bytes.begin(), cut));
             pair.duringLoad = [path, rest = Bytes(cut, pair.bytes.end())](std::stop_token stop) {
                 appendWhileLoading(path, stop, rest, 256, std::chrono::milliseconds(1));
             };
             return pair;
         }});
}

// A pair that the scan saw as a regular file and that is something else when it is loaded.
HostileCase swappedAfterScan(const std::string& name, Layout layout,
                             std::function<void(const std::string& path)> swap) {
    return {name + suffixOf(layout), [layout, swap](const std::string& folder) {
                HostilePair pair = lay(folder, layout);
                pair.expect = Expect::CannotOpen;
                const std::string path = folder + pair.hostileName;
                writeFile(path, baseline());
                pair.afterScan = [path, swap] {
                    fs::remove(path);
                    swap(path);
                };
                return pair;
            }};
}

void makeFifo(const std::string& path) {
    if (::mkfifo(path.c_str(), 0600) != 0) {
        throw std::runtime_error("mkfifo " + path);
    }
}

void fifoBehindLink(const std::string& path) {
    makeFifo(path + ".fifo");
    fs::create_symlink(path + ".fifo", path);
}

void devZeroBehindLink(const std::string& path) {
    fs::create_symlink("/dev/zero", path);
}

bool runsAsRoot() {
    return ::geteuid() == 0;
}

void addFileSystemCases(std::vector<HostileCase>& cases) {
    for (const Layout layout : {Layout::SideBySide, Layout::RightEye}) {
        cases.push_back(swappedAfterScan("FifoBehindLinkAfterScan", layout, fifoBehindLink));
        cases.push_back(swappedAfterScan("DevZeroBehindLinkAfterScan", layout, devZeroBehindLink));
        cases.push_back(swappedAfterScan("RemovedAfterScan", layout, [](const std::string&) {}));
        cases.push_back(swappedAfterScan("FolderAfterScan", layout, [](const std::string& path) {
            fs::create_directory(path);
        }));
        cases.push_back(swappedAfterScan("LinkLoopAfterScan", layout, [](const std::string& path) {
            fs::create_symlink(fs::path(path).filename(), path);
        }));
    }
    // Named like a pair file from the start: not a regular file, so never listed.
    cases.push_back({"FifoBehindLinkIsNotListed", [](const std::string& folder) {
                         HostilePair pair = lay(folder, Layout::SideBySide);
                         pair.listed = false;
                         fifoBehindLink(folder + pair.hostileName);
                         return pair;
                     }});
    cases.push_back({"DevZeroBehindLinkIsNotListed_RightEye", [](const std::string& folder) {
                         HostilePair pair = lay(folder, Layout::RightEye);
                         pair.listed = false;
                         devZeroBehindLink(folder + pair.hostileName);
                         return pair;
                     }});
    cases.push_back({"LeftEyeRemovedAfterScan", [](const std::string& folder) {
                         HostilePair pair = lay(folder, Layout::RightEye);
                         writeFile(folder + pair.hostileName, baseline());
                         pair.hostileName = "x_DUL.jpg";
                         pair.expect = Expect::CannotOpen;
                         pair.afterScan = [path = folder + pair.hostileName] { fs::remove(path); };
                         return pair;
                     }});
    // A regular file the loader refuses without reading it: sparse, so it costs no disk.
    cases.push_back({"LargerThanTheReadLimit", [](const std::string& folder) {
                         HostilePair pair = lay(folder, Layout::SideBySide);
                         pair.expect = Expect::CannotOpen;
                         const std::string path = folder + pair.hostileName;
                         writeFile(path, baseline());
                         fs::resize_file(path, kReadLimit + 1);
                         return pair;
                     }});
    // Root reads every file and searches every folder, so these two need an ordinary user.
    cases.push_back({"Unreadable", [](const std::string& folder) {
                         HostilePair pair = lay(folder, Layout::SideBySide);
                         pair.expect = Expect::CannotOpen;
                         const std::string path = folder + pair.hostileName;
                         writeFile(path, baseline());
                         fs::permissions(path, fs::perms::none);
                         if (runsAsRoot()) {
                             pair.skip = "root may read a file without read permission";
                         }
                         return pair;
                     }});
    cases.push_back({"FolderWithoutSearchPermission", [](const std::string& folder) {
                         HostilePair pair = lay(folder, Layout::SideBySide);
                         pair.expect = Expect::CannotOpen;
                         writeFile(folder + pair.hostileName, baseline());
                         pair.afterScan = [folder] {
                             fs::permissions(folder,
                                             fs::perms::owner_read | fs::perms::owner_write);
                         };
                         if (runsAsRoot()) {
                             pair.skip = "root may search a folder without search permission";
                         }
                         return pair;
                     }});
}

} // namespace

std::vector<std::uint8_t> goodPairFile() {
    return baseline();
}

std::vector<HostileCase> hostileCases() {
    std::vector<HostileCase> cases;
    addTestDataFiles(cases);
    addTruncations(cases);
    addBitFlips(cases);
    addShapes(cases);
    addGrowingFiles(cases);
    addFileSystemCases(cases);
    return cases;
}

} // namespace duoptic::test
