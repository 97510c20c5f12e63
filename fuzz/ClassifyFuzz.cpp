// Any file names, classified against one real folder: the pair rules by the letter, and the
// folded-name index against a plain walk through the listing.
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
                                 "\xff\xfe_DUR.jpg", "x_DUL.jpg", "x_dup.jpg"}) {
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

std::optional<PairKind> expectedKind(std::string_view name, const FolderListing& listing) {
    if (name.size() < 8) {
        return std::nullopt;
    }
    const std::string_view base = name.substr(0, name.size() - 8);
    const std::string suffix = asciiUpper(name.substr(name.size() - 8));
    if (suffix == "_DUP.JPG") {
        return PairKind::Parallel;
    }
    if (suffix == "_DUC.JPG") {
        return PairKind::Crossing;
    }
    if (suffix == "_DUL.JPG" && walk(listing, std::string(base) + "_dur.jpg")) {
        return PairKind::TwoFiles;
    }
    return std::nullopt;
}

void checkName(const std::string& dir, const std::string& name, const FolderListing& listing) {
    const std::optional<PairKind> expected = expectedKind(name, listing);
    const std::optional<ClassifiedName> got = classifyFileName(dir, name, listing);
    if (got.has_value() != expected.has_value()) {
        fail("pair or not", name);
    }
    if (got) {
        const std::string base = name.substr(0, name.size() - 8);
        if (got->entry.kind != *expected || got->entry.baseName != base ||
            got->entry.basePath != dir + base || got->matchedPath != dir + name) {
            fail("entry", name);
        }
    }
    if (listing.findFile(name) != walk(listing, name)) {
        fail("index lookup", name);
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
