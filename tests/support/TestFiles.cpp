#include "support/TestFiles.h"

#include <dirent.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace duoptic::testing {

namespace {

std::ifstream openForReading(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return in;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

} // namespace

std::string testData(const std::string& relative) {
    return std::string(DUOPTIC_TESTDATA) + "/" + relative;
}

std::vector<std::uint8_t> fileBytes(const std::string& path) {
    std::ifstream in = openForReading(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readFile(const std::string& path) {
    std::ifstream in = openForReading(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    writeFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::vector<std::string> readdirOrder(const std::string& folder) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        throw std::runtime_error("cannot list " + folder);
    }
    while (const dirent* entry = readdir(dir.get())) {
        names.emplace_back(entry->d_name);
    }
    return names;
}

} // namespace duoptic::testing
