#include "support/TempFolder.h"

#include "support/TestFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace duoptic::testing {

namespace fs = std::filesystem;

namespace {

// A test may take the permissions away from a folder to see how the code copes; they are given
// back top down so that removal can reach everything below.
void restoreOwnerPermissions(const fs::path& folder) {
    std::error_code ignored;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (fs::directory_iterator it(folder, ignored), end; it != end; it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            restoreOwnerPermissions(it->path());
        }
    }
}

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

} // namespace

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "duoptic-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder from " + pattern);
    }
    const std::unique_ptr<char, FreeDeleter> real(::realpath(pattern.c_str(), nullptr));
    path_ = real ? real.get() : pattern;
}

TempFolder::~TempFolder() {
    restoreOwnerPermissions(path_);
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempFolder::write(const std::string& relative, std::string_view bytes) const {
    const std::string full = file(relative);
    writeFile(full, bytes);
    return full;
}

std::string TempFolder::write(const std::string& relative,
                              const std::vector<std::uint8_t>& bytes) const {
    const std::string full = file(relative);
    writeFile(full, bytes);
    return full;
}

std::string TempFolder::copyIn(const std::string& source, const std::string& relative) const {
    const std::string full = file(relative);
    fs::copy_file(source, full, fs::copy_options::overwrite_existing);
    return full;
}

std::string TempFolder::makeFolder(const std::string& relative) const {
    add({NodeType::Folder, relative, {}});
    return file(relative);
}

void TempFolder::add(const Node& node) const {
    const std::string full = file(node.name);
    switch (node.type) {
    case NodeType::File:
        writeFile(full, std::string_view());
        return;
    case NodeType::Folder:
        if (::mkdir(full.c_str(), 0755) == 0) {
            return;
        }
        break;
    case NodeType::Fifo:
        if (::mkfifo(full.c_str(), 0644) == 0) {
            return;
        }
        break;
    case NodeType::Link:
        if (::symlink(node.target.c_str(), full.c_str()) == 0) {
            return;
        }
        break;
    }
    throw std::runtime_error("cannot create " + full);
}

void TempFolder::add(const std::vector<Node>& nodes) const {
    for (const Node& node : nodes) {
        add(node);
    }
}

} // namespace duoptic::testing
