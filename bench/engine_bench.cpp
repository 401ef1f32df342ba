// Listing and extracting a large archive: the engine client against the bare 7z.exe on the same
// work. Prints each figure (best of the repetitions, in milliseconds), the ratios, and the peak
// working set of a process that does nothing but list the archive.
//
//   ./scripts/bench.sh engine_bench [repetitions]     (default 3)
//
// The archive (100,000 small entries in 1,000 folders, made by 7z.exe) is kept between runs in
// %TEMP%\tolvane-bench.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "bench_process.h"
#include "engine/archive_listing.h"
#include "engine/extraction.h"
#include "program_timing.h"
#include "support/test_support.h"

using namespace testsupport;

namespace {

constexpr int kFolders = 1000;
constexpr int kFilesPerFolder = 100;

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Makes the archive once: small files of varied content in a scratch folder, packed by 7z.exe.
bool EnsureArchive(const std::wstring& archive) {
    if (PathExists(archive)) return true;
    const std::wstring source = bench::BenchFolder() + L"\\source";
    RemoveTree(source);
    std::printf("making %d files in %d folders...\n", kFolders * kFilesPerFolder, kFolders);
    std::fflush(stdout);
    CreateDirectoryW(source.c_str(), nullptr);
    for (int folder = 0; folder < kFolders; ++folder) {
        const std::wstring folderPath = source + L"\\folder" + std::to_wstring(folder);
        CreateDirectoryW(folderPath.c_str(), nullptr);
        for (int file = 0; file < kFilesPerFolder; ++file) {
            const std::wstring path = folderPath + L"\\file" + std::to_wstring(file) + L".txt";
            HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h == INVALID_HANDLE_VALUE) return false;
            const std::string content = "entry " + std::to_string(folder) + "/" + std::to_string(file) + " " +
                                        std::string(static_cast<size_t>(file % 50), 'x') + "\n";
            DWORD written = 0;
            WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
            CloseHandle(h);
        }
    }
    std::printf("packing with 7z.exe...\n");
    std::fflush(stdout);
    const std::wstring partial = archive + L".part.zip";
    DeleteFileW(partial.c_str());
    const ProcessResult packed = Run7z(L"a -tzip -y " + Quote(partial) + L" *", source, 3600000);
    RemoveTree(source);
    if (packed.exitCode != 0) {
        std::printf("7z.exe a failed:\n%s\n", packed.output.c_str());
        return false;
    }
    return MoveFileW(partial.c_str(), archive.c_str()) != FALSE;
}

struct Figures {
    std::vector<double> times;
    double best() const { return times.empty() ? 0 : *std::min_element(times.begin(), times.end()); }
};

// The child mode: one listing, then the process's peak working set.
int ListOnly(const std::wstring& archive) {
    const double start = Now();
    ListingResult result;
    const int code = listArchive(archive, archiveKindOf(archive), result);
    const double elapsed = Now() - start;
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    std::printf("result %d items %u ms %.0f peak-working-set %lu\n", code, static_cast<unsigned>(result.items.size()),
                elapsed, static_cast<unsigned long>(counters.PeakWorkingSetSize));
    return code;
}

size_t CountFiles(const std::wstring& folder) { return ListFilesRecursive(folder).size(); }

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    bench::PrepareProcess();

    const std::wstring archive = bench::BenchFolder() + L"\\bench-100k.zip";
    if (argc >= 3 && std::wstring(argv[1]) == L"--list-only") return ListOnly(argv[2]);
    const int repetitions = argc >= 2 ? std::max(1, _wtoi(argv[1])) : 3;

    if (!EnsureArchive(archive)) {
        std::printf("could not make the archive\n");
        return 2;
    }
    const std::wstring out = bench::BenchFolder() + L"\\out";
    // Our per-item diagnostics go where a console program's would; the text is still built.
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    const HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);

    Figures sevenList, ourList, sevenExtract, ourExtract;
    size_t listedItems = 0;
    for (int round = 0; round < repetitions; ++round) {
        // The archiver runs as a script runs it, its output going to a file.
        const bench::ToolRun listed = bench::RunArchiver(L"l " + Quote(archive));
        sevenList.times.push_back(listed.seconds * 1000);
        if (listed.exitCode != 0) std::printf("7z.exe l failed\n");

        ListingResult result;
        double start = Now();
        const int listCode = listArchive(archive, Zip, result);
        ourList.times.push_back(Now() - start);
        listedItems = result.items.size();
        if (listCode != 0) std::printf("listArchive failed\n");

        RemoveTree(out);
        CreateDirectoryW(out.c_str(), nullptr);
        const bench::ToolRun extracted = bench::RunArchiver(L"x -y -o" + Quote(out) + L" " + Quote(archive));
        sevenExtract.times.push_back(extracted.seconds * 1000);
        const size_t sevenFiles = CountFiles(out);

        RemoveTree(out);
        CreateDirectoryW(out.c_str(), nullptr);
        SetStdHandle(STD_OUTPUT_HANDLE, nul);
        start = Now();
        const int extractCode = extractAll(archive, out);
        ourExtract.times.push_back(Now() - start);
        SetStdHandle(STD_OUTPUT_HANDLE, console);
        const size_t ourFiles = CountFiles(out);
        RemoveTree(out);

        std::printf("round %d: 7z l %.0f ms, listArchive %.0f ms (%u items), 7z x %.0f ms (%u files, exit %lu), "
                    "extractAll %.0f ms (%u files, result %d)\n",
                    round + 1, sevenList.times.back(), ourList.times.back(), static_cast<unsigned>(listedItems),
                    sevenExtract.times.back(), static_cast<unsigned>(sevenFiles), extracted.exitCode,
                    ourExtract.times.back(), static_cast<unsigned>(ourFiles), extractCode);
        std::fflush(stdout);
    }
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);

    // The listing's memory, measured in a process that does nothing else.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const ProcessResult child = RunProcess(Quote(self) + L" --list-only " + Quote(archive), L"", 600000);

    std::printf("\nentries: %u (%d folders x %d files)\n", static_cast<unsigned>(listedItems), kFolders, kFilesPerFolder);
    std::printf("(a) 7z.exe l     best %8.0f ms\n", sevenList.best());
    std::printf("(b) listArchive  best %8.0f ms\n", ourList.best());
    std::printf("(c) 7z.exe x     best %8.0f ms\n", sevenExtract.best());
    std::printf("(d) extractAll   best %8.0f ms\n", ourExtract.best());
    std::printf("ratio b/a %.2f\n", sevenList.best() > 0 ? ourList.best() / sevenList.best() : 0.0);
    std::printf("ratio d/c %.2f\n", sevenExtract.best() > 0 ? ourExtract.best() / sevenExtract.best() : 0.0);
    std::printf("listing alone: %s", child.output.c_str());
    CoUninitialize();
    return 0;
}
