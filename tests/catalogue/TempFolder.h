#pragma once

#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace duoptic::testing {

enum class NodeType { File, Folder, Fifo, Link };

struct Node {
    NodeType type;
    std::string name;   // bytes, need not be UTF-8
    std::string target; // links only; relative to the folder
};

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "duoptic-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; } // without a trailing "/"
    std::string slashed() const { return path_ + "/"; }

    void add(const Node& node) const {
        const std::string full = slashed() + node.name;
        bool made = true;
        switch (node.type) {
        case NodeType::File:
            made = static_cast<bool>(std::ofstream(full));
            break;
        case NodeType::Folder:
            made = mkdir(full.c_str(), 0755) == 0;
            break;
        case NodeType::Fifo:
            made = mkfifo(full.c_str(), 0644) == 0;
            break;
        case NodeType::Link:
            made = symlink(node.target.c_str(), full.c_str()) == 0;
            break;
        }
        if (!made) {
            throw std::runtime_error("cannot create " + full);
        }
    }
    void add(const std::vector<Node>& nodes) const {
        for (const Node& node : nodes) {
            add(node);
        }
    }

private:
    std::string path_;
};

inline Node file(std::string name) {
    return {NodeType::File, std::move(name), {}};
}

// The names in the order the file system delivers them, for tests of listing order.
inline std::vector<std::string> readdirOrder(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            names.emplace_back(entry->d_name);
        }
        closedir(dir);
    }
    return names;
}

} // namespace duoptic::testing
