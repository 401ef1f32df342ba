// Opening archives, from the process start to the rows drawn, each beside `7z.exe l` of the same
// archive; the re-sort of a large folder; the memory of a huge one; a huge open's progress and
// Cancel; and the largest archive that opens.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "big_zip.h"
#include "figures.h"
#include "program_timing.h"
#include "support/test_support.h"
#include "support/window_probe.h"

namespace bench {

namespace {

std::string Narrow(const std::wstring& text) { return testsupport::Narrow(text); }

// 1,000,000 files as 10,000 folders of 100 at the root (each folder an entry of its own too).
std::wstring FoldersArchive(const std::wstring& folder) {
    const std::wstring archive = folder + L"\\folders-10k-1m.zip";
    BenchZipLayout layout;
    layout.folders = 10000;
    layout.filesPerFolder = 100;
    MakeBenchZip(archive, layout);
    return archive;
}

}  // namespace

OpenFigures TimeOpen(const Options& options, const std::wstring& archive,
                     const std::function<void(size_t, ProgramUnderTest&, double)>& afterLast) {
    OpenFigures figures;
    figures.program.resize(options.programs.size());
    figures.last.resize(options.programs.size());
    const auto runArchiver = [&] {
        const ToolRun listed = RunArchiver(L"l " + testsupport::Quote(archive));
        if (listed.exitCode != 0) Note("7z.exe l ended with %lu", listed.exitCode);
        figures.archiver.push_back(listed.seconds);
    };
    for (int r = 0; r < options.repetitions; ++r) {
        if (ArchiverFirst(r)) runArchiver();
        for (size_t p = 0; p < options.programs.size(); ++p) {
            ProgramUnderTest program(options.programs[p].path, testsupport::Quote(archive));
            const ProgramRun run = program.WaitForRowsDrawn();
            if (!run.drawn) Note("%s: the rows were not drawn", options.programs[p].label.c_str());
            figures.program[p].push_back(run.seconds);
            figures.last[p] = run;
            if (r == options.repetitions - 1 && afterLast) afterLast(p, program, Median(figures.program[p]));
            program.Close();
        }
        if (!ArchiverFirst(r)) runArchiver();
    }
    return figures;
}

void OpenWideFigures(const Options& options, const std::wstring& folder) {
    const std::wstring archive = folder + L"\\files-100k.zip";
    BenchZipLayout layout;
    layout.filesPerFolder = 100000;
    layout.variedFiles = true;
    MakeBenchZip(archive, layout);
    struct Sorts {
        std::vector<double> times;
        double open = 0;
    };
    std::vector<Sorts> sorts(options.programs.size());
    const OpenFigures figures = TimeOpen(options, archive, [&](size_t p, ProgramUnderTest& program, double open) {
        if (!options.wants(L"sort")) return;
        sorts[p].open = open;
        // Every sortable column, each both ways (Name, Size, Packed, Type, Modified), as many rounds
        // as repetitions: each click of a round leaves the same order as in the round before.
        for (int round = 0; round < options.repetitions; ++round)
            for (int column : {0, 1, 1, 2, 2, 3, 3, 4, 4, 0}) sorts[p].times.push_back(program.ClickColumn(column));
    });
    if (options.wants(L"open"))
        for (size_t p = 0; p < options.programs.size(); ++p)
            Row("Open: 100,000 files in one folder", Median(figures.archiver), Median(figures.program[p]), "<= 1.0",
                options.programs[p].label);
    if (options.wants(L"sort"))
        for (size_t p = 0; p < options.programs.size(); ++p) {
            const auto& times = sorts[p].times;
            if (times.empty()) continue;
            // Each column and way by the median of its rounds, as every other figure; the worst of those.
            constexpr size_t kClicksPerRound = 10;
            double worst = 0;
            for (size_t click = 0; click < kClicksPerRound && click < times.size(); ++click) {
                std::vector<double> rounds;
                for (size_t at = click; at < times.size(); at += kClicksPerRound) rounds.push_back(times[at]);
                worst = std::max(worst, Median(rounds));
            }
            const bool failed = *std::min_element(times.begin(), times.end()) < 0;
            std::printf("| %-50s | %-9s | %8.3f s | %8.3f s | %4.1f%% | %-9s |\n",
                        "Re-sort 100,000 rows (worst column) vs open", options.programs[p].label.c_str(),
                        sorts[p].open, worst, sorts[p].open > 0 ? 100.0 * worst / sorts[p].open : 0.0, "<= 4 %");
            if (failed) Note("%s: a click was not answered", options.programs[p].label.c_str());
            std::string each;
            for (double t : times) {
                each += ' ';
                each += std::to_string(static_cast<int>(t * 1000 + 0.5));
            }
            Note("%s: each click, ms:%s; the slowest single click %.0f ms", options.programs[p].label.c_str(),
                 each.c_str(), 1000 * *std::max_element(times.begin(), times.end()));
        }
}

void OpenBigFigures(const Options& options, const std::wstring& folder) {
    if (options.wants(L"big")) {
        const std::wstring archive = FoldersArchive(folder);
        const uint64_t entries = 10000ull * 101;
        // What stays resident with the archive open: the working set once it has stopped falling (the
        // engine's own list is given back on a thread of its own just after the rows are drawn).
        std::vector<uint64_t> settled(options.programs.size());
        const OpenFigures figures = TimeOpen(options, archive, [&](size_t p, ProgramUnderTest& program, double) {
            uint64_t workingSet = 0, peak = 0, last = UINT64_MAX;
            for (int sample = 0; sample < 50; ++sample) {
                ProcessMemory(program.process(), workingSet, peak);
                if (workingSet + 1048576 > last) break;
                last = workingSet;
                Sleep(100);
            }
            settled[p] = workingSet;
        });
        const auto perEntry = [&](uint64_t bytes) {
            char text[64];
            std::snprintf(text, sizeof(text), "%.0f B", static_cast<double>(bytes) / static_cast<double>(entries));
            return std::string(text);
        };
        const auto megabytes = [](uint64_t bytes) {
            char text[64];
            std::snprintf(text, sizeof(text), "%.0f MB", bytes / 1048576.0);
            return std::string(text);
        };
        for (size_t p = 0; p < options.programs.size(); ++p) {
            Row("Open: 1,000,000 entries, 10,000 folders at root", Median(figures.archiver),
                Median(figures.program[p]), "<= 0.8", options.programs[p].label);
            const ProgramRun& run = figures.last[p];
            RowOfProgram("  memory: peak, per entry", options.programs[p].label, megabytes(run.peakWorkingSet),
                         perEntry(run.peakWorkingSet), "<= 200 B");
            RowOfProgram("  memory: resident with it open, per entry", options.programs[p].label, megabytes(settled[p]),
                         perEntry(settled[p]), "<= 150 B");
            Note("%s: resident when the rows were drawn %s (%s)", options.programs[p].label.c_str(),
                 megabytes(run.workingSet).c_str(), perEntry(run.workingSet).c_str());
        }
    }
    if (options.wants(L"tree")) {
        const std::wstring archive = folder + L"\\tree-100x100-1m.zip";
        BenchZipLayout layout;
        layout.folders = 100;
        layout.subfolders = 100;
        layout.filesPerFolder = 100;
        if (MakeBenchZip(archive, layout) == 0) return Note("could not make %s", Narrow(archive).c_str());
        const OpenFigures figures = TimeOpen(options, archive);
        for (size_t p = 0; p < options.programs.size(); ++p)
            Row("Open: 1,000,000 entries, 100 x 100 folders", Median(figures.archiver), Median(figures.program[p]),
                "<= 0.8", options.programs[p].label);
    }
}

// --- a huge open shows progress and gives control back at once on Cancel --------------------------

static HWND ProgressWindowOf(DWORD pid) { return testsupport::FindTopWindow(L"Open File", pid); }

void CancelFigures(const Options& options, const std::wstring& folder) {
    const std::wstring archive = FoldersArchive(folder);
    for (size_t p = 0; p < options.programs.size(); ++p) {
        std::vector<double> shown, gone, back;
        // Cancel at several moments of the open: while the engine reads the archive, while the
        // items are listed, while the tree is finished.
        for (int waitMs : {0, 300, 700, 1100, 1500, 1900}) {
            ProgramUnderTest program(options.programs[p].path, testsupport::Quote(archive));
            const DWORD pid = GetProcessId(program.process());
            HWND progress = nullptr;
            const LARGE_INTEGER start = CounterNow();
            const DWORD begin = GetTickCount();
            while (!progress && GetTickCount() - begin < 20000) {
                progress = ProgressWindowOf(pid);
                if (!progress) Sleep(1);
            }
            if (!progress) {
                Note("%s: no progress window", options.programs[p].label.c_str());
                continue;
            }
            shown.push_back(SecondsBetween(start, CounterNow()));
            Sleep(static_cast<DWORD>(waitMs));
            if (!IsWindow(progress)) continue;  // the open ended first
            const LARGE_INTEGER cancel = CounterNow();
            PostMessageW(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(progress, IDCANCEL)));
            while (IsWindow(progress) && GetTickCount() - begin < 60000) Sleep(1);
            gone.push_back(SecondsBetween(cancel, CounterNow()));
            // Control is back once the window shows the folder that holds the archive.
            const ProgramRun run = program.WaitForRowsDrawn(60000);
            if (run.drawn) back.push_back(SecondsBetween(cancel, CounterNow()));
            program.Close();
        }
        if (shown.empty()) continue;
        const auto worst = [](const std::vector<double>& v) { return v.empty() ? -1.0 : *std::max_element(v.begin(), v.end()); };
        std::printf("| %-50s | %-9s | %10s | %8.3f s | %5s | %-9s |\n", "Huge open: progress shown (from process start)",
                    options.programs[p].label.c_str(), "", worst(shown), "", "<= 0.5 s");
        std::printf("| %-50s | %-9s | %10s | %8.3f s | %5s | %-9s |\n", "Huge open: Cancel -> window usable (worst)",
                    options.programs[p].label.c_str(), "", worst(back), "", "<= 0.2 s");
        Note("%s: Cancel -> progress window gone, worst %.3f s; cancels that came in time: %u of 6",
             options.programs[p].label.c_str(), worst(gone), static_cast<unsigned>(gone.size()));
    }
}

// --- the largest archive that opens -----------------------------------------------------------

void CapacityRun(const Options& options, const std::wstring& folder) {
    for (int millions : {2, 3, 4, 5, 6, 7, 8}) {
        const std::wstring archive = folder + L"\\deep-" + std::to_wstring(millions) + L"m.zip";
        BenchZipLayout layout;
        layout.folders = millions * 10000;
        layout.filesPerFolder = 99;
        const uint64_t entries = MakeBenchZip(archive, layout);
        for (const Program& program : options.programs) {
            ProgramUnderTest run(program.path, testsupport::Quote(archive));
            std::wstring message;
            ProgramRun shown;
            // Either the rows, or a message that says why not.
            const DWORD begin = GetTickCount();
            while (GetTickCount() - begin < 600000 && WaitForSingleObject(run.process(), 0) == WAIT_TIMEOUT) {
                if (HWND box = testsupport::FindTopWindow(L"Tolvane Extractor", GetProcessId(run.process()))) {
                    message = testsupport::MessageBoxText(box);
                    if (!message.empty()) break;
                }
                shown = run.WaitForRowsDrawn(200);
                if (shown.drawn) break;
            }
            const bool crashed = WaitForSingleObject(run.process(), 0) == WAIT_OBJECT_0;
            std::printf("%s: %llu entries: %s", program.label.c_str(), static_cast<unsigned long long>(entries),
                        shown.drawn ? "opened" : crashed ? "the process ended" : "not opened");
            if (shown.drawn)
                std::printf(" in %.1f s, resident %.0f MB, peak %.0f MB", shown.seconds, shown.workingSet / 1048576.0,
                            shown.peakWorkingSet / 1048576.0);
            if (!message.empty()) std::printf(", message: \"%s\"", Narrow(message).c_str());
            std::printf("\n");
            std::fflush(stdout);
            run.Close();
        }
    }
}

}  // namespace bench
