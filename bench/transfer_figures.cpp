// Extraction and adding from the shell's verbs, each beside the archiver's command for the same
// work: the program from its process start to its end.
#include <windows.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <thread>
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
    size_t expected = 0;
    const auto runArchiver = [&] {
        testsupport::RemoveTree(byArchiver);
        const ToolRun x = RunArchiver(L"x -y -o" + testsupport::Quote(byArchiver) + L" " + testsupport::Quote(archive));
        if (x.exitCode != 0) Note("7z.exe x ended with %lu", x.exitCode);
        archiver.push_back(x.seconds);
        expected = testsupport::ListFilesRecursive(byArchiver).size();
        testsupport::RemoveTree(byArchiver);
    };
    // The first pair runs the archiver first: what it writes is what the program's files are compared with.
    const Stopwatch firstPair;
    int pairs = 1;
    for (int r = 0; r < pairs; ++r) {
        if (ArchiverFirst(r)) runArchiver();
        for (size_t p = 0; p < options.programs.size(); ++p) {
            EmptyFolderBut(place, archiveName);
            // The shell's "Extract Here" (which quotes the path): the program's run, from its start to its end.
            const ToolRun here = RunToFile(
                testsupport::Quote(options.programs[p].path) + L" /e \"" + archive + L"\"",
                BenchFolder() + L"\\program-output.txt");
            program[p].push_back(here.seconds);
            const size_t written = testsupport::ListFilesRecursive(place).size() - 1;
            if (here.exitCode != 0 || written != expected)
                Note("%s: /e ended with %lu, %u files (7z.exe: %u)", options.programs[p].label.c_str(), here.exitCode,
                     static_cast<unsigned>(written), static_cast<unsigned>(expected));
        }
        EmptyFolderBut(place, archiveName);
        if (!ArchiverFirst(r)) runArchiver();
        if (r == 0) pairs = options.pairsFor(firstPair.seconds());
    }
    for (size_t p = 0; p < options.programs.size(); ++p)
        Row(figure, Median(archiver), Median(program[p]), "<= 0.8", options.programs[p].label);
    NoteFewerPairs(options, pairs, "a pair takes long");
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
    parts.before.push_back(SecondsBetween(programMade, archiverMade));
    parts.archiver.push_back(SecondsBetween(archiverMade, archiverEnded));
    parts.after.push_back(SecondsBetween(archiverEnded, programEnded));
}

void AddMany(const Options& options, const std::wstring& folder) {
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
        const ToolRun a = RunArchiver(L"a -tzip " + testsupport::Quote(byArchiver) + L" add-10k", folder);
        if (a.exitCode != 0) {
            Note("7z.exe a ended with %lu", a.exitCode);
            return;
        }
        archiver.push_back(a.seconds);
        archiverLife.push_back(a.life);
    };
    const Stopwatch firstPair;
    int pairs = 1;
    for (int r = 0; r < pairs; ++r) {
        if (ArchiverFirst(r)) runArchiver();
        for (size_t p = 0; p < options.programs.size(); ++p) {
            DeleteFileW(byProgram.c_str());
            // The shell's "Add to archive..." on the folder, confirmed at once.
            const LARGE_INTEGER start = CounterNow();
            DWORD pid = 0;
            HANDLE process = testsupport::StartProcess(
                testsupport::Quote(options.programs[p].path) + L" /a \"" + source + L"\"", &pid);
            AddDialogConfirmer confirm(pid);
            WaitForSingleObject(process, 600000);
            program[p].push_back(SecondsBetween(start, CounterNow()));
            RecordParts(process, confirm.archiver(), parts[p]);
            CloseHandle(process);
            const testsupport::ProcessResult check = testsupport::Run7z(L"t " + testsupport::Quote(byProgram));
            if (check.output.find("Files: 10000") == std::string::npos)
                Note("%s: the archive is not complete", options.programs[p].label.c_str());
        }
        if (!ArchiverFirst(r)) runArchiver();
        if (r == 0) pairs = options.pairsFor(firstPair.seconds());
    }
    DeleteFileW(byArchiver.c_str());
    DeleteFileW(byProgram.c_str());
    for (size_t p = 0; p < options.programs.size(); ++p) {
        Row("Add: 10,000 small files (Add to archive...)", Median(archiver), Median(program[p]), "<= 1.0",
            options.programs[p].label);
        Note("%s: add parts: its start to the archiver's %.3f s; the archiver %.3f s (alone %.3f s); "
             "the archiver's end to its own %.3f s",
             options.programs[p].label.c_str(), Median(parts[p].before), Median(parts[p].archiver),
             Median(archiverLife), Median(parts[p].after));
    }
    NoteFewerPairs(options, pairs, "a pair takes long");
}

}  // namespace

void ExtractFigures(const Options& options, const std::wstring& folder) {
    Extract(options, "Extract: 20,000 small files in 200 folders", folder + L"\\extract-20k", L"files-20k.zip",
            [](const std::wstring& archive) {
                BenchZipLayout layout;
                layout.folders = 200;
                layout.filesPerFolder = 100;
                layout.fileBytes = 200;
                return MakeBenchZip(archive, layout) != 0;
            });
    Extract(options, "Extract: one 1 GB file", folder + L"\\extract-1g", L"one-1g.zip",
            [](const std::wstring& archive) { return MakeOneFileZip(archive, 1ull << 30); });
}

void AddManyFigure(const Options& options, const std::wstring& folder) { AddMany(options, folder); }

}  // namespace bench
