// The start-up: the program started on a tiny archive, from its process start to its rows drawn,
// beside a program that does nothing but show a window (bench/minimal), and where the program's
// start-up goes, from outside: a run that ends after the registration, the window on a folder,
// and what the archive adds.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "figures.h"
#include "program_timing.h"
#include "support/test_support.h"
#include "support/zip_writer.h"

namespace bench {

namespace {

struct ShownWindow {
    DWORD thread = 0;
    HWND window = nullptr;
};

BOOL CALLBACK FindShown(HWND window, LPARAM data) {
    if (!IsWindowVisible(window)) return TRUE;
    reinterpret_cast<ShownWindow*>(data)->window = window;
    return FALSE;
}

// The minimal window program: process start -> its window shown and painted; negative when not.
double MinimalWindowShown(const std::wstring& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    std::wstring line = testsupport::Quote(exe);
    const LARGE_INTEGER start = CounterNow();
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return -1;
    CloseHandle(info.hThread);
    double seconds = -1;
    ShownWindow shown;
    const DWORD begin = GetTickCount();
    while (GetTickCount() - begin < 60000 && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
        if (!shown.window) EnumThreadWindows(info.dwThreadId, FindShown, reinterpret_cast<LPARAM>(&shown));
        if (shown.window && NothingToPaint(shown.window)) {
            seconds = SecondsBetween(start, CounterNow());
            break;
        }
        Sleep(1);
    }
    if (shown.window) PostMessageW(shown.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 30000) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 99);
    CloseHandle(info.hProcess);
    return seconds;
}

}  // namespace

void StartFigures(const Options& options, const std::wstring& folder) {
    const std::wstring archive = folder + L"\\tiny.zip";
    if (!testsupport::PathExists(archive)) {
        std::vector<testsupport::ZipEntry> entries(3);
        entries[0].name = "readme.txt";
        entries[1].name = "docs/a.txt";
        entries[2].name = "docs/b.txt";
        for (auto& entry : entries) entry.data = "tiny";
        testsupport::WriteFileBytes(archive, testsupport::MakeZip(entries));
    }
    const std::wstring minimal = testsupport::BinDir() + L"\\minimal_window.exe";
    const std::wstring plain = folder + L"\\tiny-folder";
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) testsupport::WriteFileBytes(plain + L"\\" + name, "tiny");
    // One start of each, not counted: the first start after the Wine server began costs more.
    MinimalWindowShown(minimal);
    for (const Program& program : options.programs) {
        ProgramUnderTest warming(program.path, testsupport::Quote(archive));
        warming.WaitForRowsDrawn();
        warming.Close();
    }
    // Each pair: the minimal window and the program on the archive, first one then the other in
    // turn; then the parts of the start-up, each as its own run.
    std::vector<double> baseline;
    struct Parts {
        std::vector<double> archive, registering, onFolder;
    };
    std::vector<Parts> parts(options.programs.size());
    const auto runMinimal = [&] {
        const double shown = MinimalWindowShown(minimal);
        if (shown < 0) Note("the minimal window was not shown");
        else baseline.push_back(shown);
    };
    for (int r = 0; r < options.repetitions; ++r) {
        if (ArchiverFirst(r)) runMinimal();
        for (size_t p = 0; p < options.programs.size(); ++p) {
            ProgramUnderTest program(options.programs[p].path, testsupport::Quote(archive));
            const ProgramRun run = program.WaitForRowsDrawn();
            if (!run.drawn) Note("%s: the rows were not drawn", options.programs[p].label.c_str());
            else parts[p].archive.push_back(run.seconds);
            program.Close();
        }
        if (!ArchiverFirst(r)) runMinimal();
        for (size_t p = 0; p < options.programs.size(); ++p) {
            const std::wstring line = testsupport::Quote(options.programs[p].path) + L" /Register";
            parts[p].registering.push_back(RunToFile(line, BenchFolder() + L"\\program-output.txt").seconds);
            ProgramUnderTest program(options.programs[p].path, testsupport::Quote(plain));
            parts[p].onFolder.push_back(program.WaitForRowsDrawn().seconds);
            program.Close();
        }
    }
    for (size_t p = 0; p < options.programs.size(); ++p) {
        Row("Start -> rows, tiny archive / the minimal window", Median(baseline), Median(parts[p].archive), "<= 1.8",
            options.programs[p].label);
        Note("%s: start-up parts against the minimal window's %.3f s: process to its end with /Register %.3f s; "
             "window with the rows of a folder %.3f s; the archive adds %.3f s",
             options.programs[p].label.c_str(), Median(baseline), Median(parts[p].registering),
             Median(parts[p].onFolder), Median(parts[p].archive) - Median(parts[p].onFolder));
    }
}

}  // namespace bench
