// Any file names, classified against one real folder: the pair rules by the letter, and the
// folded-name index against a plain walk through the listing, for single names and for the file
// of a pair by base name and ending.
#include "catalogue/AsciiCase.h"
#include "catalogue/Classify.h"
#include "catalogue/FolderListing.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace duoptic;

[[noreturn]] void fail(const char* what, std::string_view name) {
    std::fprintf(stderr, "property violated: %s for \"%.*s\"\n", what,
                 static_cast<int>(name.size()), name.data());
    std::abort();
}

// Right-eye files in every shape the listing must tell apart: spelled in another case, twice
// with different case, behind links, not regular, hidden, not UTF-8, with an empty base name.
struct Folder {
    Folder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "duoptic-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        path = pattern + "/";
        for (const char* name : {"a_DUR.jpg", "B_dur.JPG", "b_DUR.jpg", "_DUR.jpg", ".h_DUR.jpg",
                                 "\xff\xfe_DUR.jpg", "x_DUL.jpg", "x_dup.jpg", "X_DUR.jpg",
                                 "x_Dur.JPG", "a.mpo", "A.MPO", "a_duc.jpg", "A.jps"}) {
            std::ofstream(path + name) << "x";
        }
        std::filesystem::create_directory(path + "c_DUR.jpg");
        std::filesystem::create_symlink(path + "a_DUR.jpg", path + "e_DUR.jpg");
        std::filesystem::create_symlink(path + "missing", path + "d_DUR.jpg");
        ::mkfifo((path + "f_DUR.jpg").c_str(), 0600);
        listing = FolderListing::read(path);
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
    FolderListing listing;
};

Folder& folder() {
    static Folder instance;
    return instance;
}

// The regular file that equals name ignoring ASCII case: the exact spelling first, else the
// first in listing order.
std::optional<std::string> walk(const FolderListing& listing, std::string_view name) {
    std::optional<std::string> found;
    for (const FolderEntry& entry : listing.entries()) {
        if (!entry.isFile || !equalIgnoringAsciiCase(entry.name, name)) {
            continue;
        }
        if (entry.name == name) {
            return entry.name;
        }
        if (!found) {
            found = entry.name;
        }
    }
    return found;
}

// The file of base name + one of the endings: exact spelling, then the base name spelled exactly,
// then any case; at each step the earlier ending, then the earlier file in the listing.
std::optional<std::string> walkPairFile(const FolderListing& listing, std::string_view base,
                                        const std::vector<std::string_view>& endings) {
    for (int step = 0; step < 3; ++step) {
        for (const std::string_view ending : endings) {
            const std::string wanted = std::string(base) + std::string(ending);
            for (const FolderEntry& entry : listing.entries()) {
                const bool match = step == 0   ? entry.name == wanted
                                   : step == 1 ? equalIgnoringAsciiCase(entry.name, wanted) &&
                                                     entry.name.starts_with(base)
                                               : equalIgnoringAsciiCase(entry.name, wanted);
                if (entry.isFile && match) {
                    return entry.name;
                }
            }
        }
    }
    return std::nullopt;
}

struct Expected {
    PairKind kind;
    std::size_t suffixLength;
    std::optional<std::string> rightEye;
};

std::optional<Expected> expectedEntry(std::string_view name, const FolderListing& listing) {
    const auto endsWith = [&](std::string_view upper) {
        return name.size() >= upper.size() &&
               asciiUpper(name.substr(name.size() - upper.size())) == upper;
    };
    if (endsWith(".MPO")) {
        return Expected{PairKind::Multi, 4, {}};
    }
    if (endsWith(".JPS")) {
        return Expected{PairKind::Crossing, 4, {}};
    }
    if (endsWith("_DUP.JPG")) {
        return Expected{PairKind::Parallel, 8, {}};
    }
    if (endsWith("_DUC.JPG")) {
        return Expected{PairKind::Crossing, 8, {}};
    }
    if (endsWith("_DUL.JPG")) {
        const auto right = walkPairFile(listing, name.substr(0, name.size() - 8), {"_DUR.jpg"});
        if (right) {
            return Expected{PairKind::TwoFiles, 8, right};
        }
    }
    return std::nullopt;
}

void checkName(const std::string& dir, const std::string& name, const FolderListing& listing) {
    const std::optional<Expected> expected = expectedEntry(name, listing);
    const std::optional<PairEntry> got = classifyFileName(dir, name, listing);
    if (got.has_value() != expected.has_value()) {
        fail("pair or not", name);
    }
    if (got) {
        const std::string base = name.substr(0, name.size() - expected->suffixLength);
        const std::string rightEye = expected->rightEye ? dir + *expected->rightEye : "";
        if (got->kind != expected->kind || got->baseName != base || got->basePath != dir + base ||
            got->filePath != dir + name || got->rightEyeFilePath != rightEye) {
            fail("entry", name);
        }
    }
    if (listing.findFile(name) != walk(listing, name)) {
        fail("index lookup", name);
    }
    // The name read as a base name, and its first half too, against the endings a load tries.
    for (const std::string_view base :
         {std::string_view(name), std::string_view(name).substr(0, name.size() / 2)}) {
        for (const std::vector<std::string_view>& endings :
             {std::vector<std::string_view>{"_DUR.jpg"},
              std::vector<std::string_view>{"_DUC.jpg", ".jps"},
              std::vector<std::string_view>{".mpo"}}) {
            if (listing.findPairFile(base, endings) != walkPairFile(listing, base, endings)) {
                fail("pair file lookup", name);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Folder& f = folder();
    std::string_view input(reinterpret_cast<const char*>(data), size);
    // One name a line; file names hold no "/" and no NUL, but classification must not care.
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        const std::string name(input.substr(0, end));
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
        checkName(f.path, name, f.listing);
        checkName("", name, f.listing);
    }
    return 0;
}
