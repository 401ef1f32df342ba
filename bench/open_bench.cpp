// Where an open's time and memory go, stage by stage, inside one process: the engine's listing
// straight into the folder tree, the root's rows, the name order; the tree's bytes per entry.
// The user's figures (process start to rows drawn, beside `7z.exe l` to a file) are speed_bench's.
//   ./scripts/bench.sh open_bench [repetitions]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "bench_process.h"
#include "big_zip.h"
#include "catalog/item_catalog.h"
#include "engine/archive_listing.h"
#include "program_timing.h"

namespace {

double WorkingSetMb() { return static_cast<double>(bench::WorkingSetBytes()) / 1048576.0; }

void Stages(const char* label, const std::wstring& archive, int repetitions) {
    std::vector<double> listing, rows, order;
    size_t treeBytes = 0, nodes = 0;
    double before = 0, open = 0;
    for (int r = 0; r < repetitions; ++r) {
        ItemCatalog catalog;
        catalog.archivePath = archive;
        before = WorkingSetMb();
        LARGE_INTEGER start = bench::CounterNow();
        ListingRun run;
        if (listArchive(archive, Zip, run, catalog.TreeBuilder()) != 0) std::printf("%s: the listing failed\n", label);
        LARGE_INTEGER listed = bench::CounterNow();
        catalog.EnterFolder(L"");
        LARGE_INTEGER entered = bench::CounterNow();
        catalog.NameRanks();
        LARGE_INTEGER ranked = bench::CounterNow();
        listing.push_back(bench::SecondsBetween(start, listed));
        rows.push_back(bench::SecondsBetween(listed, entered));
        order.push_back(bench::SecondsBetween(entered, ranked));
        treeBytes = catalog.tree.MemoryBytes();
        nodes = catalog.tree.NodeCount();
        open = WorkingSetMb();
    }
    std::printf("%s: %zu nodes\n", label, nodes);
    std::printf("  engine listing into the tree  %7.3f s\n", bench::Median(listing));
    std::printf("  rows of the root              %7.3f s\n", bench::Median(rows));
    std::printf("  name order of the root        %7.3f s\n", bench::Median(order));
    std::printf("  tree %.1f MB = %.0f bytes per node; working set %.0f MB -> %.0f MB with it open\n",
                static_cast<double>(treeBytes) / 1048576.0, static_cast<double>(treeBytes) / static_cast<double>(nodes),
                before, open);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    bench::PrepareProcess();
    const std::wstring folder = bench::BenchFolder();
    bench::BenchZipLayout wide;
    wide.filesPerFolder = 100000;
    wide.variedFiles = true;
    bench::MakeBenchZip(folder + L"\\files-100k.zip", wide);
    bench::BenchZipLayout deep;
    deep.folders = 10000;
    deep.filesPerFolder = 99;
    bench::MakeBenchZip(folder + L"\\deep-1m.zip", deep);
    Stages("100,000 files in one folder", folder + L"\\files-100k.zip", repetitions);
    Stages("1,000,000 entries in 10,000 folders", folder + L"\\deep-1m.zip", repetitions);
    std::printf("peak working set of the process: %.0f MB\n",
                static_cast<double>(bench::PeakWorkingSetBytes()) / 1048576.0);
    return 0;
}
