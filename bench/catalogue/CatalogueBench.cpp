// Scanning a folder against the floor set by merely listing it: the scan and the Filer's list
// must stay a small constant factor above a plain readdir loop and grow linearly with the folder.

#include "BenchTable.h"
#include "TableReporter.h"
#include "TempFolder.h"

#include "catalogue/Scan.h"

#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// A folder of empty files: a third left/right pairs, the rest side-by-side pairs and other photos.
class BenchFolder {
public:
    explicit BenchFolder(int files) {
        for (int i = 0; i < files; ++i) {
            std::ofstream(folder_.file(nameOf(i)));
        }
    }

    const std::string& path() const { return folder_.path(); }

private:
    static std::string nameOf(int i) {
        static const char* const kPatterns[] = {"pair%06d_DUL.jpg", "pair%06d_DUR.jpg",
                                                "sbs%06d_DUP.jpg",  "sbs%06d_DUC.JPG",
                                                "photo%06d.jpg",    "Photo%06d.JPG"};
        char name[32];
        std::snprintf(name, sizeof name, kPatterns[i % 6], i / 6);
        return name;
    }

    duoptic::bench::TempFolder folder_;
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
    duoptic::bench::bestOf(bench->MinTime(0.1), 5);
}

BENCHMARK(BM_ListFolderNames)->Apply(folderSizes);
BENCHMARK(BM_ScanFolderForPairs)->Apply(folderSizes);
BENCHMARK(BM_BuildFilerList)->Apply(folderSizes);

void printRows(const duoptic::bench::TableReporter& results) {
    using duoptic::bench::milliseconds;
    const double list = results.seconds("BM_ListFolderNames/10000");
    const std::string reference = "readdir " + milliseconds(list);
    const double scan = results.seconds("BM_ScanFolderForPairs/10000");
    duoptic::bench::printRow("scan folder for pairs, 10,000 files", milliseconds(scan), reference,
                             scan / list, duoptic::bench::Target{3.0});
    const double filer = results.seconds("BM_BuildFilerList/10000");
    duoptic::bench::printRow("build filer list, 10,000 files", milliseconds(filer), reference,
                             filer / list, duoptic::bench::Target{3.0});
}

} // namespace

int main(int argc, char** argv) {
    duoptic::bench::TableReporter results;
    duoptic::bench::runBenchmarks(argc, argv, results);
    printRows(results);
    return 0;
}
