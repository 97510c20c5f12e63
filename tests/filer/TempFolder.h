#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace duoptic::testing {

// A fresh folder under the system's temporary directory, removed with everything in it. Its path
// is the one the platform reports as current directory once it is entered (no links in it).
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "duoptic-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        char* real = realpath(pattern.c_str(), nullptr);
        path_ = real != nullptr ? real : pattern;
        std::free(real);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; } // no trailing "/"
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Names are bytes and need not be UTF-8.
    std::string folder(const std::string& relative) const {
        const std::string full = *this / relative;
        if (mkdir(full.c_str(), 0755) != 0) {
            throw std::runtime_error("cannot create " + full);
        }
        return full;
    }
    std::string file(const std::string& relative, const std::string& bytes = {}) const {
        const std::string full = *this / relative;
        std::ofstream out(full, std::ios::binary);
        out << bytes;
        if (!out) {
            throw std::runtime_error("cannot write " + full);
        }
        return full;
    }

private:
    std::string path_;
};

// Restores the process's current directory, which the code under test moves.
class CurrentDirectoryGuard {
public:
    CurrentDirectoryGuard() : saved_(std::filesystem::current_path()) {}
    ~CurrentDirectoryGuard() {
        std::error_code ignored;
        std::filesystem::current_path(saved_, ignored);
    }
    CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
    CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

private:
    std::filesystem::path saved_;
};

} // namespace duoptic::testing
