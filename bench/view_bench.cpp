// The main window on big archives: from the start of the open to the rows drawn, against
// `7z.exe l` of the same archive in the same run; re-sorting 100,000 rows; peak memory.
//   view_bench [repetitions]
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "bench_process.h"
#include "big_zip.h"
#include "catalog/item_catalog.h"
#include "support/test_support.h"
#include "ui/app_globals.h"
#include "ui/framework/message_loop.h"
#include "ui/main_frame.h"

namespace {

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Starts the main window on `archive` (or a folder) the way a start on it does and returns the
// seconds until its rows are drawn.
double OpenAndDraw(const std::wstring& archive, int* rows, bool keepOpen, CMainFrame** frameOut) {
    ui::MessageLoop* loop = ui::g_module.GetMessageLoop();
    (void)loop;
    wcsncpy(g_app.settings.lastPath, archive.c_str(), MAX_PATH - 1);
    auto* frame = new CMainFrame;
    bench::Stopwatch clock;
    frame->CreateEx();
    ShowWindow(frame->m_hWnd, SW_SHOW);
    UpdateWindow(frame->m_hWnd);
    UpdateWindow(GetDlgItem(frame->m_hWndClient, 1002));
    const double seconds = clock.seconds();
    *rows = frame->view().model().RowCount();
    if (keepOpen) {
        *frameOut = frame;
    } else {
        DestroyWindow(frame->m_hWnd);
        Pump();
        delete frame;
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    bench::PrepareProcess();
    ui::MessageLoop loop;
    ui::g_module.AddMessageLoop(&loop);

    const std::wstring folder = bench::BenchFolder();
    struct Case {
        const char* label;
        std::wstring path;
        int folders;
        int files;
    } cases[] = {
        {"100,000 files in one folder", folder + L"\\wide-100k.zip", 0, 100000},
        {"1,000,000 entries in 10,000 folders", folder + L"\\deep-1m.zip", 10000, 99},
    };
    std::printf("view_bench: %d repetitions, median seconds\n", repetitions);
    for (const Case& c : cases) {
        const uint64_t entries = bench::MakeBenchZip(c.path, c.folders, c.files);
        std::vector<double> tool, open;
        int rows = 0;
        for (int r = 0; r < repetitions; ++r) {
            bench::Stopwatch clock;
            const testsupport::ProcessResult listed = testsupport::Run7z(L"l " + testsupport::Quote(c.path));
            tool.push_back(clock.seconds());
            if (listed.exitCode != 0) std::printf("  7z.exe l failed (%lu)\n", listed.exitCode);
            open.push_back(OpenAndDraw(c.path, &rows, false, nullptr));
        }
        const double a = bench::Median(tool), b = bench::Median(open);
        std::printf("%s (%llu entries, %d rows at the root):\n", c.label, static_cast<unsigned long long>(entries),
                    rows);
        std::printf("  7z.exe l            %8.3f s\n", a);
        std::printf("  open to rows drawn  %8.3f s\n", b);
        std::printf("  ratio               %8.2f (goal <= 1.5)\n", b / a);
    }

    // A folder of the file system with 20,000 files, from the start to its rows drawn.
    {
        const std::wstring folder = bench::BenchFolder() + L"\\fs-20k";
        CreateDirectoryW(folder.c_str(), nullptr);
        for (int i = 0; i < 20000; ++i) {
            wchar_t name[40];
            swprintf(name, 40, L"\\doc%05d.txt", i);
            if (GetFileAttributesW((folder + name).c_str()) == INVALID_FILE_ATTRIBUTES)
                testsupport::WriteFileBytes(folder + name, "x");
        }
        std::vector<double> times;
        int rows = 0;
        for (int r = 0; r < repetitions; ++r) times.push_back(OpenAndDraw(folder, &rows, false, nullptr));
        std::printf("folder of 20,000 files (%d rows): start to rows drawn %.3f s\n", rows, bench::Median(times));
    }

    // Re-sorting the 100,000 rows of one folder, by each sortable column in turn.
    {
        int rows = 0;
        CMainFrame* frame = nullptr;
        OpenAndDraw(cases[0].path, &rows, true, &frame);
        std::vector<double> sorts;
        const int columns[] = {1, 2, 4, 0, 0};
        for (int r = 0; r < repetitions; ++r)
            for (int column : columns) {
                bench::Stopwatch clock;
                frame->view().model().SetSortColumn(column);
                frame->view().RefreshList();
                UpdateWindow(GetDlgItem(frame->m_hWndClient, 1002));
                sorts.push_back(clock.seconds());
            }
        std::printf("re-sort %d rows and redraw: median %.3f s, worst %.3f s\n", rows, bench::Median(sorts),
                    *std::max_element(sorts.begin(), sorts.end()));
        DestroyWindow(frame->m_hWnd);
        Pump();
        delete frame;
    }

    // Memory with the 1,000,000-entry archive open.
    {
        int rows = 0;
        CMainFrame* frame = nullptr;
        OpenAndDraw(cases[1].path, &rows, true, &frame);
        const double peak = static_cast<double>(bench::PeakWorkingSetBytes()) / (1024.0 * 1024.0);
        const double now = static_cast<double>(bench::WorkingSetBytes()) / (1024.0 * 1024.0);
        std::printf("1,000,000 entries open: working set %.0f MB, peak %.0f MB, headroom to 2 GB %.0f MB\n", now, peak,
                    2048.0 - peak);
        DestroyWindow(frame->m_hWnd);
        Pump();
        delete frame;
    }
    ui::g_module.RemoveMessageLoop();
    return 0;
}
