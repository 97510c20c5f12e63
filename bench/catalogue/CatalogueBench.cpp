// Scanning a folder against the floor set by merely listing it: the scan and the Filer's list
// must stay a small constant factor above a plain readdir loop and grow linearly with the folder,
// also when a third of the folder is MPO files from a 3D camera.

#include "BenchTable.h"
#include "TableReporter.h"
#include "TempFolder.h"

#include "catalogue/Scan.h"

#include <array>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Patterns = std::array<const char*, 6>;

// A third left/right pairs, the rest side-by-side pairs and other photos.
constexpr Patterns kConvention = {"pair%06d_DUL.jpg", "pair%06d_DUR.jpg", "sbs%06d_DUP.jpg",
                                  "sbs%06d_DUC.JPG",  "photo%06d.jpg",    "Photo%06d.JPG"};
// A third MPO files, in both cases that cameras write, beside the convention's pairs.
constexpr Patterns kWithMpo = {"pair%06d_DUL.jpg", "pair%06d_DUR.jpg", "DSCF%06d.MPO",
                               "sbs%06d_DUP.jpg",  "photo%06d.jpg",    "trip%06d.mpo"};

// A folder of empty files named by the patterns in turn.
class BenchFolder {
public:
    BenchFolder(int files, const Patterns& patterns) {
        for (int i = 0; i < files; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, patterns[i % patterns.size()], i / 6);
            std::ofstream(folder_.file(name));
        }
    }

    const std::string& path() const { return folder_.path(); }

private:
    duoptic::bench::TempFolder folder_;
};

const std::string& folderWith(int files, const Patterns& patterns = kConvention) {
    static std::map<std::pair<int, const Patterns*>, std::unique_ptr<BenchFolder>> folders;
    auto& folder = folders[{files, &patterns}];
    if (!folder) {
        folder = std::make_unique<BenchFolder>(files, patterns);
    }
    return folder->path();
}

void listFolderNames(benchmark::State& state, const std::string& folder) {
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

void scanFolderForPairs(benchmark::State& state, const std::string& folder) {
    duoptic::PairList list;
    for (auto _ : state) {
        duoptic::scanFolderForPairs(folder, list);
        benchmark::DoNotOptimize(list.count());
    }
    state.counters["pairs"] = list.count();
    state.SetComplexityN(state.range(0));
}

void buildFilerList(benchmark::State& state, const std::string& folder) {
    duoptic::PairList list;
    for (auto _ : state) {
        const duoptic::FilerListing filer = duoptic::buildFilerList(folder, list);
        benchmark::DoNotOptimize(filer.rows.data());
    }
    state.counters["pairs"] = list.count();
    state.SetComplexityN(state.range(0));
}

int files(const benchmark::State& state) {
    return static_cast<int>(state.range(0));
}

void BM_ListFolderNames(benchmark::State& state) {
    listFolderNames(state, folderWith(files(state)));
}
void BM_ScanFolderForPairs(benchmark::State& state) {
    scanFolderForPairs(state, folderWith(files(state)));
}
void BM_BuildFilerList(benchmark::State& state) {
    buildFilerList(state, folderWith(files(state)));
}
void BM_ListMpoFolderNames(benchmark::State& state) {
    listFolderNames(state, folderWith(files(state), kWithMpo));
}
void BM_ScanMpoFolderForPairs(benchmark::State& state) {
    scanFolderForPairs(state, folderWith(files(state), kWithMpo));
}
void BM_BuildMpoFilerList(benchmark::State& state) {
    buildFilerList(state, folderWith(files(state), kWithMpo));
}

void folderSizes(benchmark::internal::Benchmark* bench) {
    bench->Arg(1'000)->Arg(10'000)->Arg(30'000)->Unit(benchmark::kMicrosecond);
    bench->Complexity(benchmark::oN);
    duoptic::bench::bestOf(bench->MinTime(0.1), 5);
}

BENCHMARK(BM_ListFolderNames)->Apply(folderSizes);
BENCHMARK(BM_ScanFolderForPairs)->Apply(folderSizes);
BENCHMARK(BM_BuildFilerList)->Apply(folderSizes);

void tenThousandFiles(benchmark::internal::Benchmark* bench) {
    bench->Arg(10'000)->Unit(benchmark::kMicrosecond);
    duoptic::bench::bestOf(bench->MinTime(0.1), 5);
}

BENCHMARK(BM_ListMpoFolderNames)->Apply(tenThousandFiles);
BENCHMARK(BM_ScanMpoFolderForPairs)->Apply(tenThousandFiles);
BENCHMARK(BM_BuildMpoFilerList)->Apply(tenThousandFiles);

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

    const double mpoList = results.seconds("BM_ListMpoFolderNames/10000");
    const std::string mpoReference = "readdir " + milliseconds(mpoList);
    const double mpoScan = results.seconds("BM_ScanMpoFolderForPairs/10000");
    duoptic::bench::printRow("scan folder for pairs, 10,000 files, a third .mpo",
                             milliseconds(mpoScan), mpoReference, mpoScan / mpoList,
                             duoptic::bench::Target{3.0});
    const double mpoFiler = results.seconds("BM_BuildMpoFilerList/10000");
    duoptic::bench::printRow("build filer list, 10,000 files, a third .mpo", milliseconds(mpoFiler),
                             mpoReference, mpoFiler / mpoList, duoptic::bench::Target{3.0});
}

} // namespace

int main(int argc, char** argv) {
    duoptic::bench::TableReporter results;
    duoptic::bench::runBenchmarks(argc, argv, results);
    printRows(results);
    return 0;
}
