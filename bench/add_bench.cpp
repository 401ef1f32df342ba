// Adding 10,000 small files at the root of a new zip through the "Add To Archive" dialog,
// against `7z.exe a` of the same files in the same run.
//   ./scripts/bench.sh add_bench [repetitions]
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "bench_process.h"
#include "support/test_support.h"
#include "support/window_probe.h"
#include "ui/add_to_archive_dialog.h"
#include "ui/app_globals.h"

namespace {

constexpr int kFiles = 10000;

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    bench::PrepareProcess();

    // The files: 10,000 small texts in one folder, made once and kept.
    const std::wstring source = bench::BenchFolder() + L"\\add-10k";
    std::vector<std::wstring> paths;
    CreateDirectoryW(source.c_str(), nullptr);
    for (int i = 0; i < kFiles; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"file%05d.txt", i);
        const std::wstring path = source + L"\\" + name;
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            testsupport::WriteFileBytes(path, "small file number " + std::to_string(i) + "\n");
        paths.push_back(path);
    }
    const std::wstring toolArchive = bench::BenchFolder() + L"\\add-by-7z.zip";
    const std::wstring ourArchive = source + L"\\add-10k.zip";  // the dialog's proposal

    std::vector<double> tool, ours;
    for (int r = 0; r < repetitions; ++r) {
        DeleteFileW(toolArchive.c_str());
        bench::Stopwatch toolClock;
        const auto made = testsupport::Run7z(L"a -tzip " + testsupport::Quote(toolArchive) + L" file*.txt", source);
        tool.push_back(toolClock.seconds());
        if (made.exitCode != 0) std::printf("  7z.exe a failed (%lu)\n", made.exitCode);

        DeleteFileW(ourArchive.c_str());
        testsupport::DialogResponder ok(L"Tolvane Extractor - Add", [](HWND dialog) {
            testsupport::PressButton(dialog, IDOK);
        });
        bench::Stopwatch ourClock;
        AddFromSelection(paths);
        ours.push_back(ourClock.seconds());
        ok.stop();
        const auto listed = testsupport::Run7z(L"t " + testsupport::Quote(ourArchive));
        if (listed.exitCode != 0 || listed.output.find("Files: 10000") == std::string::npos)
            std::printf("  the dialog's archive is not complete\n");
    }
    const double a = bench::Median(tool), b = bench::Median(ours);
    std::printf("add_bench: %d small files at the root of a new zip, %d repetitions, median seconds\n", kFiles,
                repetitions);
    std::printf("  7z.exe a                  %8.3f s\n", a);
    std::printf("  Add To Archive dialog     %8.3f s  (dialog shown and confirmed at once)\n", b);
    std::printf("  ratio                     %8.2f (goal <= 1.1)\n", b / a);
    DeleteFileW(ourArchive.c_str());
    return 0;
}
