// Scanning a folder against the floor set by merely listing it: the scan and the Filer's list
// must stay a small constant factor above a plain readdir loop and grow linearly with the folder.

#include "catalogue/Scan.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A folder of empty files: a third left/right pairs, the rest side-by-side pairs and other photos.
class BenchFolder {
public:
    explicit BenchFolder(int files) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "duoptic-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
        for (int i = 0; i < files; ++i) {
            std::ofstream(path_ + "/" + nameOf(i));
        }
    }
    ~BenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    static std::string nameOf(int i) {
        static const char* const kPatterns[] = {"pair%06d_DUL.jpg", "pair%06d_DUR.jpg",
                                                "sbs%06d_DUP.jpg",  "sbs%06d_DUC.JPG",
                                                "photo%06d.jpg",    "Photo%06d.JPG"};
        char name[32];
        std::snprintf(name, sizeof name, kPatterns[i % 6], i / 6);
        return name;
    }

    std::string path_;
};

const std::string& folderWith(int files) {
    static std::map<int, std::unique_ptr<BenchFolder>> folders;
    auto& folder = folders[files];
    if (!folder) {
        folder = std::make_unique<BenchFolder>(files);
    }
    return folder->path();
}

void BM_ListFolderNames(benchmark::State& state) {
    const std::string& folder = folderWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::vector<std::string> names;
        DIR* dir = opendir(folder.c_str());
        while (const dirent* entry = readdir(dir)) {
            names.emplace_back(entry->d_name);
        }
        closedir(dir);
        benchmark::DoNotOptimize(names.data());
    }
    state.SetComplexityN(state.range(0));
}

void BM_ScanFolderForPairs(benchmark::State& state) {
    const std::string& folder = folderWith(static_cast<int>(state.range(0)));
    duoptic::PairList list;
    for (auto _ : state) {
        duoptic::scanFolderForPairs(folder, list);
        benchmark::DoNotOptimize(list.count());
    }
    state.counters["pairs"] = list.count();
    state.SetComplexityN(state.range(0));
}

void BM_BuildFilerList(benchmark::State& state) {
    const std::string& folder = folderWith(static_cast<int>(state.range(0)));
    duoptic::PairList list;
    for (auto _ : state) {
        const duoptic::FilerListing filer = duoptic::buildFilerList(folder, list);
        benchmark::DoNotOptimize(filer.rows.data());
    }
    state.counters["pairs"] = list.count();
    state.SetComplexityN(state.range(0));
}

void folderSizes(benchmark::internal::Benchmark* bench) {
    bench->Arg(1'000)->Arg(10'000)->Arg(30'000)->Unit(benchmark::kMicrosecond);
    bench->Complexity(benchmark::oN);
}

BENCHMARK(BM_ListFolderNames)->Apply(folderSizes);
BENCHMARK(BM_ScanFolderForPairs)->Apply(folderSizes);
BENCHMARK(BM_BuildFilerList)->Apply(folderSizes);

} // namespace

BENCHMARK_MAIN();
