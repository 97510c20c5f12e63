#pragma once

#include <string>

namespace duoptic::bench {

// A fresh folder under the system's temporary folder, removed with its content when the object
// goes. Exits the program when it cannot be made: a benchmark without its files has no result.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; } // without a trailing "/"
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace duoptic::bench
