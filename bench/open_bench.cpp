// Opening an archive (list + tree + root rows) against the bare `7z.exe l` of the same archive,
// for a wide-and-deep archive and for one folder of 100,000 files; memory per entry; entering
// the 100,000-file folder. Prints its figures.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "bench_process.h"
#include "catalog/item_catalog.h"
#include "engine/archive_listing.h"
#include "ops/archive_operations.h"
#include "support/test_support.h"
#include "support/zip_writer.h"
#include "ui/app_globals.h"

using namespace testsupport;

namespace {

constexpr int kEntries = 100000;
constexpr int kRepetitions = 3;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters;
}

std::string MakeArchive(bool oneFolder) {
    std::vector<ZipEntry> entries;
    entries.reserve(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        ZipEntry entry;
        entry.name = oneFolder ? "big/file" + std::to_string(i) + ".txt"
                               : "folder" + std::to_string(i % 1000) + "/file" + std::to_string(i) + ".txt";
        entry.data = "x";
        entry.dosTime = static_cast<uint16_t>((i % 24) << 11);
        entries.push_back(std::move(entry));
    }
    return MakeZip(entries);
}

void Run(const wchar_t* label, bool oneFolder) {
    TempDir work(L"bench");
    const std::wstring archive = work / L"bench.zip";
    WriteFileBytes(archive, MakeArchive(oneFolder));

    std::vector<double> tool, open;
    for (int i = 0; i < kRepetitions; ++i) {
        LARGE_INTEGER start = Now();
        const ProcessResult listed = Run7z(L"l " + Quote(archive));
        tool.push_back(Seconds(start, Now()));
        if (listed.exitCode != 0) std::printf("7z.exe l failed: %lu\n", listed.exitCode);

        const SIZE_T before = Memory().WorkingSetSize;
        ItemCatalog* catalog = GetCatalog();
        start = Now();
        const bool opened = OpenArchive(*catalog, archive).result == OperationResult::Done;
        open.push_back(Seconds(start, Now()));
        const SIZE_T after = Memory().WorkingSetSize;
        if (!opened) std::printf("open failed\n");
        if (i == kRepetitions - 1) {
            std::printf("%ls: rows at the root %d, catalogue held %.0f bytes per entry (working set %.1f MB -> %.1f MB)\n",
                        label, catalog->RowCount(), static_cast<double>(after - before) / kEntries, before / 1048576.0,
                        after / 1048576.0);
            if (oneFolder) {
                std::vector<double> enter;
                for (int k = 0; k < kRepetitions; ++k) {
                    start = Now();
                    catalog->EnterFolder("big");
                    enter.push_back(Seconds(start, Now()));
                }
                std::printf("%ls: EnterFolder of the 100,000-file folder: median %.3f s (rows %d)\n", label,
                            bench::Median(enter), catalog->RowCount());
            }
        }
        DestroyCatalog();
    }
    // Where an open's time goes.
    {
        ItemCatalog catalog;
        LARGE_INTEGER start = Now();
        ListingResult listing;
        listArchive(archive, archiveKindOf(archive), listing);
        const LARGE_INTEGER listed = Now();
        catalog.BuildTree(listing);
        const LARGE_INTEGER built = Now();
        catalog.EnterFolder("");
        const LARGE_INTEGER entered = Now();
        std::printf("%ls: of which listing %.3f s, tree %.3f s, root rows %.3f s\n", label, Seconds(start, listed),
                    Seconds(listed, built), Seconds(built, entered));
    }
    const double toolMedian = bench::Median(tool), openMedian = bench::Median(open);
    std::printf("%ls: 7z.exe l median %.3f s, open median %.3f s, ratio %.2f (goal <= 1.30)\n", label, toolMedian,
                openMedian, openMedian / toolMedian);
    std::fflush(stdout);
}

}  // namespace

int main() {
    bench::PrepareProcess();

    Run(L"(a) 100,000 entries in 1,000 folders", false);
    Run(L"(b) 100,000 files in one folder", true);
    std::printf("peak working set of the process: %.1f MB\n", Memory().PeakWorkingSetSize / 1048576.0);
    CoUninitialize();
    return 0;
}
