// The figures a user meets, each beside what the archiver takes for the same work in the same
// run: the archiver `7z.exe` runs as a script runs it, with its output going to a file; the
// program runs as a user starts it, timed from its process start to its rows drawn (or to its
// end, for the shell's "Extract Here" and "Add to archive..."). Medians of the repetitions.
//
//   ./scripts/bench.sh                      every figure
//   ./scripts/bench.sh speed_bench [--repetitions N] [--only start,open,sort,big,extract,add,cancel]
//                                  [--also C:\path\to\another\tolvane.exe] [--capacity]
//
// --also times another build of the program beside this one (for before/after tables); it needs
// its core\ folder beside it. --capacity opens ever larger archives to find the largest that opens.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "bench_clock.h"
#include "big_zip.h"
#include "program_timing.h"
#include "support/test_support.h"
#include "support/window_probe.h"
#include "support/zip_writer.h"

using bench::Median;

namespace {

struct Program {
    std::wstring path;
    std::string label;
};

// A program beside this one is named after the folder that holds it ("before" for ...\\before\\tolvane.exe).
std::string LabelOf(const std::wstring& program) {
    const size_t end = program.find_last_of(L"\\/");
    const std::wstring folder = end == std::wstring::npos ? std::wstring() : program.substr(0, end);
    const size_t slash = folder.find_last_of(L"\\/");
    const std::wstring name = folder.substr(slash == std::wstring::npos ? 0 : slash + 1, 9);
    std::string label(name.begin(), name.end());
    for (char& c : label)
        if (static_cast<unsigned char>(c) > 0x7E) c = '?';
    return label.empty() ? "other" : label;
}

struct Options {
    int repetitions = 3;
    std::set<std::wstring> only;
    std::vector<Program> programs;
    bool capacity = false;
    bool wants(const wchar_t* name) const { return only.empty() || only.count(name) != 0; }
};

std::string Narrow(const std::wstring& text) { return testsupport::Narrow(text); }

void Row(const char* figure, double archiver, double program, const char* goal, const std::string& label) {
    std::printf("| %-44s | %-9s | %8.3f s | %8.3f s | %5.2f | %-8s |\n", figure, label.c_str(), archiver, program,
                archiver > 0 ? program / archiver : 0.0, goal);
    std::fflush(stdout);
}

void Note(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::printf("  ");
    std::vprintf(format, args);
    std::printf("\n");
    va_end(args);
    std::fflush(stdout);
}

// --- opening archives: process start -> rows drawn ----------------------------------------------

struct OpenFigures {
    std::vector<double> archiver;
    std::vector<std::vector<double>> program;  // per program
    std::vector<bench::ProgramRun> last;       // per program, the last run
};

// Opens `archive` with each program `repetitions` times, beside `7z.exe l` to a file.
// `afterLast`, when given, runs on the last run of each program while its window is still open.
OpenFigures TimeOpen(const Options& options, const std::wstring& archive,
                     const std::function<void(size_t, bench::ProgramUnderTest&, double)>& afterLast = {}) {
    OpenFigures figures;
    figures.program.resize(options.programs.size());
    figures.last.resize(options.programs.size());
    for (int r = 0; r < options.repetitions; ++r) {
        const bench::ToolRun listed = bench::RunArchiver(L"l " + testsupport::Quote(archive));
        if (listed.exitCode != 0) Note("7z.exe l ended with %lu", listed.exitCode);
        figures.archiver.push_back(listed.seconds);
        for (size_t p = 0; p < options.programs.size(); ++p) {
            bench::ProgramUnderTest program(options.programs[p].path, testsupport::Quote(archive));
            const bench::ProgramRun run = program.WaitForRowsDrawn();
            if (!run.drawn) Note("%s: the rows were not drawn", options.programs[p].label.c_str());
            figures.program[p].push_back(run.seconds);
            figures.last[p] = run;
            if (r == options.repetitions - 1 && afterLast) afterLast(p, program, Median(figures.program[p]));
            program.Close();
        }
    }
    return figures;
}

void StartUp(const Options& options, const std::wstring& folder) {
    const std::wstring archive = folder + L"\\tiny.zip";
    if (!testsupport::PathExists(archive)) {
        std::vector<testsupport::ZipEntry> entries(3);
        entries[0].name = "readme.txt";
        entries[1].name = "docs/a.txt";
        entries[2].name = "docs/b.txt";
        for (auto& entry : entries) entry.data = "tiny";
        testsupport::WriteFileBytes(archive, testsupport::MakeZip(entries));
    }
    // One start of each, not counted: the first start after the Wine server began costs more.
    bench::RunArchiver(L"l " + testsupport::Quote(archive));
    for (const Program& program : options.programs) {
        bench::ProgramUnderTest warming(program.path, testsupport::Quote(archive));
        warming.WaitForRowsDrawn();
        warming.Close();
    }
    const OpenFigures figures = TimeOpen(options, archive);
    // Where the start-up goes, from outside: a run that ends after the registration (the process,
    // its libraries, COM and the settings), the window on a folder of three files (no engine),
    // and what the archive adds to that.
    const std::wstring plain = folder + L"\\tiny-folder";
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) testsupport::WriteFileBytes(plain + L"\\" + name, "tiny");
    for (size_t p = 0; p < options.programs.size(); ++p) {
        std::vector<double> registering, onFolder;
        for (int r = 0; r < options.repetitions; ++r) {
            const std::wstring line = testsupport::Quote(options.programs[p].path) + L" /Register";
            registering.push_back(bench::RunToFile(line, bench::BenchFolder() + L"\\program-output.txt").seconds);
            bench::ProgramUnderTest program(options.programs[p].path, testsupport::Quote(plain));
            onFolder.push_back(program.WaitForRowsDrawn().seconds);
            program.Close();
        }
        Row("Start-up: tiny archive (3 entries)", Median(figures.archiver), Median(figures.program[p]), "<= 0.35 s",
            options.programs[p].label);
        Note("%s: start-up parts: process to its end with /Register %.3f s; window with the rows of a folder "
             "%.3f s; the archive adds %.3f s",
             options.programs[p].label.c_str(), Median(registering), Median(onFolder),
             Median(figures.program[p]) - Median(onFolder));
    }
}

void OpenWide(const Options& options, const std::wstring& folder) {
    const std::wstring archive = folder + L"\\files-100k.zip";
    bench::BenchZipLayout layout;
    layout.filesPerFolder = 100000;
    layout.variedFiles = true;
    bench::MakeBenchZip(archive, layout);
    struct Sorts {
        std::vector<double> times;
        double open = 0;
    };
    std::vector<Sorts> sorts(options.programs.size());
    const OpenFigures figures = TimeOpen(options, archive, [&](size_t p, bench::ProgramUnderTest& program, double open) {
        if (!options.wants(L"sort")) return;
        sorts[p].open = open;
        // Every sortable column, each both ways (Name, Size, Packed, Type, Modified), as many rounds
        // as repetitions: each click of a round leaves the same order as in the round before.
        for (int round = 0; round < options.repetitions; ++round)
            for (int column : {0, 1, 1, 2, 2, 3, 3, 4, 4, 0}) sorts[p].times.push_back(program.ClickColumn(column));
    });
    if (options.wants(L"open"))
        for (size_t p = 0; p < options.programs.size(); ++p)
            Row("Open: 100,000 files in one folder", Median(figures.archiver), Median(figures.program[p]), "<= 1.3",
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
            std::printf("| %-44s | %-9s | %8.3f s | %8.3f s | %4.1f%% | %-8s |\n",
                        "Re-sort 100,000 rows (worst column) vs open", options.programs[p].label.c_str(),
                        sorts[p].open, worst, sorts[p].open > 0 ? 100.0 * worst / sorts[p].open : 0.0, "<= 5 %");
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

void OpenBig(const Options& options, const std::wstring& folder) {
    const std::wstring archive = folder + L"\\deep-1m.zip";
    bench::BenchZipLayout layout;
    layout.folders = 10000;
    layout.filesPerFolder = 99;
    const uint64_t entries = bench::MakeBenchZip(archive, layout);
    // What stays resident with the archive open: the working set once it has stopped falling (the
    // engine's own list is given back on a thread of its own just after the rows are drawn).
    std::vector<uint64_t> settled(options.programs.size());
    const OpenFigures figures = TimeOpen(options, archive, [&](size_t p, bench::ProgramUnderTest& program, double) {
        uint64_t workingSet = 0, peak = 0, last = UINT64_MAX;
        for (int sample = 0; sample < 50; ++sample) {
            bench::ProcessMemory(program.process(), workingSet, peak);
            if (workingSet + 1048576 > last) break;
            last = workingSet;
            Sleep(100);
        }
        settled[p] = workingSet;
    });
    for (size_t p = 0; p < options.programs.size(); ++p) {
        Row("Open: 1,000,000 entries in 10,000 folders", Median(figures.archiver), Median(figures.program[p]),
            "<= 1.0", options.programs[p].label);
        const bench::ProgramRun& run = figures.last[p];
        std::printf("| %-44s | %-9s | %10s | %6.0f MB | %3.0f B | %-8s |\n", "  memory: resident with it open",
                    options.programs[p].label.c_str(), "", settled[p] / 1048576.0,
                    static_cast<double>(settled[p]) / static_cast<double>(entries), "<= 250 B");
        Note("%s: resident when the rows were drawn %.0f MB (%.0f B)", options.programs[p].label.c_str(),
             run.workingSet / 1048576.0, static_cast<double>(run.workingSet) / static_cast<double>(entries));
        std::printf("| %-44s | %-9s | %10s | %6.0f MB | %3.0f B | %-8s |\n", "  memory: peak", options.programs[p].label.c_str(),
                    "", run.peakWorkingSet / 1048576.0, static_cast<double>(run.peakWorkingSet) / static_cast<double>(entries),
                    "<= 400 B");
    }
}

// --- extraction and adding: process start -> process end ----------------------------------------

// Everything in `folder` but `keep` goes.
void EmptyFolderBut(const std::wstring& folder, const std::wstring& keep) {
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    std::vector<std::wstring> names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L".." && lstrcmpiW(name.c_str(), keep.c_str()) != 0) names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    for (const std::wstring& name : names) {
        const std::wstring path = folder + L"\\" + name;
        if (testsupport::IsFolder(path)) testsupport::RemoveTree(path);
        else DeleteFileW(path.c_str());
    }
}

void Extract(const Options& options, const char* figure, const std::wstring& place, const std::wstring& archiveName,
             const std::function<bool(const std::wstring&)>& make) {
    CreateDirectoryW(place.c_str(), nullptr);
    const std::wstring archive = place + L"\\" + archiveName;
    if (!make(archive)) {
        Note("could not make %s", Narrow(archive).c_str());
        return;
    }
    const std::wstring byArchiver = place + L"-7z";
    std::vector<double> archiver;
    std::vector<std::vector<double>> program(options.programs.size());
    for (int r = 0; r < options.repetitions; ++r) {
        testsupport::RemoveTree(byArchiver);
        const bench::ToolRun x =
            bench::RunArchiver(L"x -y -o" + testsupport::Quote(byArchiver) + L" " + testsupport::Quote(archive));
        if (x.exitCode != 0) Note("7z.exe x ended with %lu", x.exitCode);
        archiver.push_back(x.seconds);
        const size_t expected = testsupport::ListFilesRecursive(byArchiver).size();
        testsupport::RemoveTree(byArchiver);
        for (size_t p = 0; p < options.programs.size(); ++p) {
            EmptyFolderBut(place, archiveName);
            // The shell's "Extract Here" (which quotes the path): the program's run, from its start to its end.
            const bench::ToolRun here = bench::RunToFile(
                testsupport::Quote(options.programs[p].path) + L" /e \"" + archive + L"\"",
                bench::BenchFolder() + L"\\program-output.txt");
            program[p].push_back(here.seconds);
            const size_t written = testsupport::ListFilesRecursive(place).size() - 1;
            if (here.exitCode != 0 || written != expected)
                Note("%s: /e ended with %lu, %u files (7z.exe: %u)", options.programs[p].label.c_str(), here.exitCode,
                     static_cast<unsigned>(written), static_cast<unsigned>(expected));
        }
        EmptyFolderBut(place, archiveName);
    }
    for (size_t p = 0; p < options.programs.size(); ++p)
        Row(figure, Median(archiver), Median(program[p]), "<= 0.8", options.programs[p].label);
}

// Presses OK in the "Add To Archive" dialog of process `pid` as soon as it shows, then keeps a
// handle to the archiver the program starts, so that its own life can be read afterwards. The
// dialog is looked for by its class and caption, which costs the Wine server far less than
// asking every window for its text a thousand times a second while the program makes its own.
class AddDialogConfirmer {
public:
    explicit AddDialogConfirmer(DWORD pid)
        : thread_([this, pid] {
              while (!stop_) {
                  HWND dialog = FindWindowW(L"#32770", L"Tolvane Extractor - Add");
                  DWORD owner = 0;
                  if (dialog) GetWindowThreadProcessId(dialog, &owner);
                  if (owner == pid && IsWindowVisible(dialog)) {
                      testsupport::PressButton(dialog, IDOK);
                      break;
                  }
                  Sleep(1);
              }
              while (!stop_ && !archiver_) {
                  archiver_ = ChildNamed(pid, L"7z.exe");
                  if (!archiver_) Sleep(5);
              }
          }) {}
    ~AddDialogConfirmer() {
        if (HANDLE child = archiver()) CloseHandle(child);
    }
    // Call once the program has ended.
    HANDLE archiver() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return archiver_;
    }

private:
    static HANDLE ChildNamed(DWORD parent, const wchar_t* name) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
        HANDLE child = nullptr;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32FirstW(snapshot, &entry); more && !child; more = Process32NextW(snapshot, &entry))
            if (entry.th32ParentProcessID == parent && lstrcmpiW(entry.szExeFile, name) == 0)
                child = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        CloseHandle(snapshot);
        return child;
    }

    std::atomic<bool> stop_{false};
    HANDLE archiver_ = nullptr;
    std::thread thread_;
};

// Where a program's add goes, from the system's records of the processes: its start until the
// archiver's, the archiver's own life, and the archiver's end until the program's.
struct AddParts {
    std::vector<double> before, archiver, after;
};

void RecordParts(HANDLE program, HANDLE archiver, AddParts& parts) {
    FILETIME programMade{}, programEnded{}, archiverMade{}, archiverEnded{}, kernel{}, user{};
    if (!archiver || !GetProcessTimes(program, &programMade, &programEnded, &kernel, &user) ||
        !GetProcessTimes(archiver, &archiverMade, &archiverEnded, &kernel, &user))
        return;
    parts.before.push_back(bench::SecondsBetween(programMade, archiverMade));
    parts.archiver.push_back(bench::SecondsBetween(archiverMade, archiverEnded));
    parts.after.push_back(bench::SecondsBetween(archiverEnded, programEnded));
}

void Add(const Options& options, const std::wstring& folder) {
    constexpr int kFiles = 10000;
    const std::wstring source = folder + L"\\add-10k";
    CreateDirectoryW(source.c_str(), nullptr);
    for (int i = 0; i < kFiles; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\file%05d.txt", i);
        if (!testsupport::PathExists(source + name))
            testsupport::WriteFileBytes(source + name, "small file number " + std::to_string(i) + "\n");
    }
    const std::wstring byArchiver = folder + L"\\add-by-7z.zip";
    const std::wstring byProgram = folder + L"\\add-10k.zip";  // the dialog's proposal
    std::vector<double> archiver, archiverLife;
    std::vector<std::vector<double>> program(options.programs.size());
    std::vector<AddParts> parts(options.programs.size());
    const auto runArchiver = [&] {
        DeleteFileW(byArchiver.c_str());
        const bench::ToolRun a = bench::RunArchiver(L"a -tzip " + testsupport::Quote(byArchiver) + L" add-10k", folder);
        if (a.exitCode != 0) {
            Note("7z.exe a ended with %lu", a.exitCode);
            return;
        }
        archiver.push_back(a.seconds);
        archiverLife.push_back(a.life);
    };
    for (int r = 0; r < options.repetitions; ++r) {
        // The archiver goes first and last in turn: neither side always runs just after the other.
        if (r % 2 == 0) runArchiver();
        for (size_t p = 0; p < options.programs.size(); ++p) {
            DeleteFileW(byProgram.c_str());
            // The shell's "Add to archive..." on the folder, confirmed at once.
            const LARGE_INTEGER start = bench::CounterNow();
            DWORD pid = 0;
            HANDLE process = testsupport::StartProcess(
                testsupport::Quote(options.programs[p].path) + L" /a \"" + source + L"\"", &pid);
            AddDialogConfirmer confirm(pid);
            WaitForSingleObject(process, 600000);
            program[p].push_back(bench::SecondsBetween(start, bench::CounterNow()));
            RecordParts(process, confirm.archiver(), parts[p]);
            CloseHandle(process);
            const testsupport::ProcessResult check = testsupport::Run7z(L"t " + testsupport::Quote(byProgram));
            if (check.output.find("Files: 10000") == std::string::npos)
                Note("%s: the archive is not complete", options.programs[p].label.c_str());
        }
        if (r % 2 == 1) runArchiver();
    }
    DeleteFileW(byArchiver.c_str());
    DeleteFileW(byProgram.c_str());
    for (size_t p = 0; p < options.programs.size(); ++p) {
        Row("Add: 10,000 small files (Add to archive...)", Median(archiver), Median(program[p]), "<= 1.05",
            options.programs[p].label);
        Note("%s: add parts: its start to the archiver's %.3f s; the archiver %.3f s (alone %.3f s); "
             "the archiver's end to its own %.3f s",
             options.programs[p].label.c_str(), Median(parts[p].before), Median(parts[p].archiver),
             Median(archiverLife), Median(parts[p].after));
    }
}

// --- a huge open shows progress and gives control back at once on Cancel --------------------------

HWND ProgressWindowOf(DWORD pid) { return testsupport::FindTopWindow(L"Open File", pid); }

void Cancel(const Options& options, const std::wstring& folder) {
    const std::wstring archive = folder + L"\\deep-1m.zip";
    bench::BenchZipLayout layout;
    layout.folders = 10000;
    layout.filesPerFolder = 99;
    bench::MakeBenchZip(archive, layout);
    for (size_t p = 0; p < options.programs.size(); ++p) {
        std::vector<double> shown, gone, back;
        // Cancel at several moments of the open: while the engine reads the archive, while the
        // items are listed, while the tree is finished.
        for (int waitMs : {0, 300, 700, 1100, 1500, 1900}) {
            bench::ProgramUnderTest program(options.programs[p].path, testsupport::Quote(archive));
            const DWORD pid = GetProcessId(program.process());
            HWND progress = nullptr;
            const LARGE_INTEGER start = bench::CounterNow();
            const DWORD begin = GetTickCount();
            while (!progress && GetTickCount() - begin < 20000) {
                progress = ProgressWindowOf(pid);
                if (!progress) Sleep(1);
            }
            if (!progress) {
                Note("%s: no progress window", options.programs[p].label.c_str());
                continue;
            }
            shown.push_back(bench::SecondsBetween(start, bench::CounterNow()));
            Sleep(static_cast<DWORD>(waitMs));
            if (!IsWindow(progress)) continue;  // the open ended first
            const LARGE_INTEGER cancel = bench::CounterNow();
            PostMessageW(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(progress, IDCANCEL)));
            while (IsWindow(progress) && GetTickCount() - begin < 60000) Sleep(1);
            gone.push_back(bench::SecondsBetween(cancel, bench::CounterNow()));
            // Control is back once the window shows the folder that holds the archive.
            const bench::ProgramRun run = program.WaitForRowsDrawn(60000);
            if (run.drawn) back.push_back(bench::SecondsBetween(cancel, bench::CounterNow()));
            program.Close();
        }
        if (shown.empty()) continue;
        const auto worst = [](const std::vector<double>& v) { return v.empty() ? -1.0 : *std::max_element(v.begin(), v.end()); };
        std::printf("| %-44s | %-9s | %10s | %8.3f s | %5s | %-8s |\n", "Huge open: progress shown (from process start)",
                    options.programs[p].label.c_str(), "", worst(shown), "", "<= 0.5 s");
        std::printf("| %-44s | %-9s | %10s | %8.3f s | %5s | %-8s |\n", "Huge open: Cancel -> window usable (worst)",
                    options.programs[p].label.c_str(), "", worst(back), "", "<= 0.2 s");
        Note("%s: Cancel -> progress window gone, worst %.3f s; cancels that came in time: %u of 6",
             options.programs[p].label.c_str(), worst(gone), static_cast<unsigned>(gone.size()));
    }
}

// --- the largest archive that opens -----------------------------------------------------------

void Capacity(const Options& options, const std::wstring& folder) {
    for (int millions : {2, 3, 4, 5, 6, 7, 8}) {
        const std::wstring archive = folder + L"\\deep-" + std::to_wstring(millions) + L"m.zip";
        bench::BenchZipLayout layout;
        layout.folders = millions * 10000;
        layout.filesPerFolder = 99;
        const uint64_t entries = bench::MakeBenchZip(archive, layout);
        for (const Program& program : options.programs) {
            bench::ProgramUnderTest run(program.path, testsupport::Quote(archive));
            std::wstring message;
            bench::ProgramRun shown;
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

Options ParseOptions() {
    Options options;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    options.programs.push_back({testsupport::ProgramExe(), "this"});
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--repetitions" && i + 1 < argc) options.repetitions = std::max(1, _wtoi(argv[++i]));
        else if (arg == L"--also" && i + 1 < argc) options.programs.push_back({argv[i + 1], LabelOf(argv[i + 1])}), ++i;
        else if (arg == L"--capacity") options.capacity = true;
        else if (arg == L"--only" && i + 1 < argc) {
            std::wstring list = argv[++i];
            for (size_t start = 0; start <= list.size();) {
                const size_t comma = std::min(list.find(L',', start), list.size());
                options.only.insert(list.substr(start, comma - start));
                start = comma + 1;
            }
        }
    }
    LocalFree(argv);
    if (options.programs.size() == 2) options.programs[0].label = "after";
    return options;
}

}  // namespace

int main() {
    const Options options = ParseOptions();
    const std::wstring folder = bench::BenchFolder();
    if (options.capacity) {
        Capacity(options, folder);
        return 0;
    }
    std::printf("speed_bench: medians of %d; 7z.exe runs with its output to a file\n", options.repetitions);
    for (const Program& program : options.programs)
        std::printf("  %s = %s\n", program.label.c_str(), Narrow(program.path).c_str());
    std::printf("| %-44s | %-9s | %10s | %10s | %5s | %-8s |\n", "figure", "program", "7z.exe", "program", "ratio",
                "goal");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(11, '-').c_str(),
                std::string(12, '-').c_str(), std::string(12, '-').c_str(), std::string(7, '-').c_str(),
                std::string(10, '-').c_str());
    if (options.wants(L"start")) StartUp(options, folder);
    if (options.wants(L"open") || options.wants(L"sort")) OpenWide(options, folder);
    if (options.wants(L"big")) OpenBig(options, folder);
    if (options.wants(L"extract")) {
        Extract(options, "Extract: 20,000 small files in 200 folders", folder + L"\\extract-20k", L"files-20k.zip",
                [](const std::wstring& archive) {
                    bench::BenchZipLayout layout;
                    layout.folders = 200;
                    layout.filesPerFolder = 100;
                    layout.fileBytes = 200;
                    return bench::MakeBenchZip(archive, layout) != 0;
                });
        Extract(options, "Extract: one 1 GB file", folder + L"\\extract-1g", L"one-1g.zip",
                [](const std::wstring& archive) { return bench::MakeOneFileZip(archive, 1ull << 30); });
    }
    if (options.wants(L"add")) Add(options, folder);
    if (options.wants(L"cancel")) Cancel(options, folder);
    return 0;
}
