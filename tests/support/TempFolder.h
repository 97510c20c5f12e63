#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace duoptic::testing {

enum class NodeType { File, Folder, Fifo, Link };

// One thing to make inside a folder, so that tests can list folder contents as table rows.
struct Node {
    NodeType type;
    std::string name;   // bytes, need not be UTF-8
    std::string target; // links only; relative to the folder
};

inline Node file(std::string name) {
    return {NodeType::File, std::move(name), {}};
}

// A fresh folder under the system's temporary directory, removed with everything in it, also
// what a test left without permissions. Its path is the one the platform reports as current
// directory once it is entered (no links in it), and it never ends in "/": file() and slashed()
// add the separator, so that no caller has to know which convention a helper follows.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // With a trailing "/", the form in which the program keeps its own folders.
    std::string slashed() const { return path_ + "/"; }
    // Where `relative` is inside the folder; nothing is made.
    std::string file(const std::string& relative) const { return slashed() + relative; }

    // Each makes something inside the folder, returns its full path and throws when it cannot.
    std::string write(const std::string& relative, std::string_view bytes = {}) const;
    std::string write(const std::string& relative, const std::vector<std::uint8_t>& bytes) const;
    std::string copyIn(const std::string& source, const std::string& relative) const;
    std::string makeFolder(const std::string& relative) const;
    void add(const Node& node) const;
    void add(const std::vector<Node>& nodes) const;

private:
    std::string path_;
};

} // namespace duoptic::testing
