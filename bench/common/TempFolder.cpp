#include "TempFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace duoptic::bench {

TempFolder::TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "duoptic-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace duoptic::bench
