// Changes of an archive in the window, each beside the archiver's command for the same change:
// from the press that starts it (Yes, Enter, the drop) to the rows drawn again with the change,
// with the stages between (see update_stages.h). Each run, the program's and the archiver's,
// works on a fresh copy of the same archive; the program's copy is checked with `7z.exe l -slt`.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "big_7z.h"
#include "big_zip.h"
#include "figures.h"
#include "program_timing.h"
#include "support/remote_list.h"
#include "support/test_support.h"
#include "support/window_probe.h"
#include "update_stages.h"

namespace bench {

namespace {

using testsupport::Quote;

constexpr int kDeleteCommand = 32777, kRenameCommand = 32784;
constexpr int kNameEdit = 1160;
constexpr wchar_t kMessageCaption[] = L"Tolvane Extractor";

// A change: how the window is brought to it, how it is started, how the rows show it done,
// the archiver's command for it, and what the archive must hold afterwards.
struct Change {
    const char* figure;
    const char* goal;
    const char* press;  // what starts it, for the notes
    std::wstring archive;  // never changed itself
    std::wstring archiverFolder;
    std::function<std::wstring(const std::wstring& copy)> archiverArguments;
    // Before the watch: the folder reached, the row selected. False when the window is not as expected.
    std::function<bool(ProgramUnderTest&)> prepare;
    // Everything up to the press, then watch.pressed() and the press itself.
    std::function<bool(ProgramUnderTest&, UpdateWatch&)> start;
    std::function<bool(HWND list)> shown;  // the rows show the change
    std::function<std::string(const std::wstring& copy)> wrong;  // "" when the archive holds the change
    double budget = 150;  // seconds the figure may take before it takes fewer pairs
};

std::string Narrow(const std::wstring& text) { return testsupport::Narrow(text); }

int FindRow(HWND list, const std::wstring& name, int guess) {
    if (guess >= 0 && testsupport::RemoteListItemText(list, guess, 0) == name) return guess;
    const int count = testsupport::RemoteListCount(list);
    for (int row = 0; row < count; ++row)
        if (testsupport::RemoteListItemText(list, row, 0) == name) return row;
    return -1;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 60000) {
    const DWORD begin = GetTickCount();
    while (GetTickCount() - begin < timeoutMs) {
        if (condition()) return true;
        Sleep(1);
    }
    return false;
}

// The files the archiver counts in the archive (its listing's last line), or -1.
long long FileCount(const std::wstring& archive) {
    if (RunArchiver(L"l " + Quote(archive)).exitCode != 0) return -1;
    // RunArchiver writes to archiver-output.txt; its end holds the totals.
    const std::string all = testsupport::ReadFileBytes(BenchFolder() + L"\\archiver-output.txt");
    const size_t files = all.rfind(" files");
    if (files == std::string::npos) return -1;
    size_t digits = files;
    while (digits > 0 && all[digits - 1] >= '0' && all[digits - 1] <= '9') --digits;
    return digits == files ? -1 : std::stoll(all.substr(digits, files - digits));
}

// What `7z.exe l -slt` says of the archive: whether it lists `present` and not `absent` (either may
// be empty), with `files` files in all. "" when so.
std::string ArchiveHolds(const std::wstring& archive, const std::wstring& present, const std::wstring& absent,
                         long long files) {
    const std::wstring filter = !present.empty() ? present : absent;
    const testsupport::ProcessResult listed = testsupport::Run7z(L"l -slt " + Quote(archive) + L" " + Quote(filter));
    if (listed.exitCode != 0) return "7z.exe l -slt ended with " + std::to_string(listed.exitCode);
    std::string wrong;
    if (!present.empty() && listed.output.find("Path = " + Narrow(present) + "\r") == std::string::npos)
        wrong += Narrow(present) + " is not in it; ";
    if (!absent.empty()) {
        const testsupport::ProcessResult old = testsupport::Run7z(L"l -slt " + Quote(archive) + L" " + Quote(absent));
        if (old.output.find("Path = " + Narrow(absent) + "\r") != std::string::npos) wrong += Narrow(absent) + " is still in it; ";
    }
    const long long count = FileCount(archive);
    if (count != files) wrong += std::to_string(count) + " files, not " + std::to_string(files);
    return wrong;
}

struct ProgramResult {
    bool done = false;
    UpdateStages stages;
    std::string wrong;
};

ProgramResult ChangeInWindow(const Program& program, const Change& change, const std::wstring& copy) {
    ProgramResult result;
    ProgramUnderTest window(program.path, Quote(copy));
    if (!window.WaitForRowsDrawn().drawn) {
        result.wrong = "the archive was not shown";
        return result;
    }
    if (!change.prepare(window)) {
        result.wrong = "the window did not come to the row to change";
        return result;
    }
    const DWORD pid = GetProcessId(window.process());
    HWND list = window.list();
    {
        UpdateWatch watch(pid, copy);
        if (!change.start(window, watch)) {
            result.wrong = "the change could not be started";
            return result;
        }
        // The rows drawn with the change; a message of the program ends the wait.
        const DWORD begin = GetTickCount();
        for (int look = 0; GetTickCount() - begin < 1800000; ++look) {
            if (WaitForSingleObject(window.process(), 0) == WAIT_OBJECT_0) break;
            if (change.shown(list) && NothingToPaint(list)) {
                watch.drawn();
                result.done = true;
                break;
            }
            if (look % 200 == 199) {
                if (HWND box = testsupport::FindTopWindow(kMessageCaption, pid)) {
                    result.wrong = "the program said: " + Narrow(testsupport::MessageBoxText(box));
                    testsupport::PressButton(box, IDOK);
                    break;
                }
            }
            // A look at the list wakes the program's window: seldom enough to cost it nothing
            // (a two-hundredth of the time so far), often enough to be that precise.
            Sleep(std::clamp<DWORD>((GetTickCount() - begin) / 200, 1, 20));
        }
        result.stages = watch.stages();
    }
    window.Close();
    if (result.done) result.wrong = change.wrong(copy);
    else if (result.wrong.empty()) result.wrong = "the rows did not show the change";
    return result;
}

void TimeChange(const Options& options, const Change& change, const std::wstring& folder) {
    const std::wstring archiverCopy = folder + L"\\by-7z\\" + change.archive.substr(change.archive.find_last_of(L'\\') + 1);
    const std::wstring programCopy = folder + L"\\by-program\\" + change.archive.substr(change.archive.find_last_of(L'\\') + 1);
    std::vector<double> archiver, archiverLife;
    struct PerProgram {
        std::vector<double> total, toArchiver, life, toReplaced, toDrawn;
        int complete = 0, byNotice = 0, runs = 0, moreArchivers = 0;
    };
    std::vector<PerProgram> per(options.programs.size());
    const auto runArchiver = [&] {
        if (!FreshCopy(change.archive, archiverCopy)) return Note("could not copy %s", Narrow(change.archive).c_str());
        const ToolRun run = RunArchiver(change.archiverArguments(archiverCopy), change.archiverFolder);
        if (run.exitCode != 0) return Note("7z.exe ended with %lu", run.exitCode);
        archiver.push_back(run.seconds);
        archiverLife.push_back(run.life);
    };
    const auto runPrograms = [&] {
        for (size_t p = 0; p < options.programs.size(); ++p) {
            if (!FreshCopy(change.archive, programCopy)) return Note("could not copy %s", Narrow(change.archive).c_str());
            const ProgramResult result = ChangeInWindow(options.programs[p], change, programCopy);
            ++per[p].runs;
            if (!result.wrong.empty()) Note("%s: %s", options.programs[p].label.c_str(), result.wrong.c_str());
            if (!result.done) continue;
            const UpdateStages& s = result.stages;
            per[p].total.push_back(s.total);
            if (s.archiverRuns > 1) ++per[p].moreArchivers;
            if (!s.complete) continue;
            ++per[p].complete;
            if (s.replacedByNotice) ++per[p].byNotice;
            per[p].toArchiver.push_back(s.toArchiver);
            per[p].life.push_back(s.archiver);
            per[p].toReplaced.push_back(s.toReplaced);
            per[p].toDrawn.push_back(s.toDrawn);
        }
    };
    // The first pair tells what a pair costs, and so how many the figure takes.
    const Stopwatch first;
    int pairs = 1;
    for (int r = 0; r < pairs; ++r) {
        if (ArchiverFirst(r)) runArchiver();
        runPrograms();
        if (!ArchiverFirst(r)) runArchiver();
        if (r == 0) pairs = options.pairsFor(first.seconds(), change.budget);
    }
    DeleteFileW(archiverCopy.c_str());
    DeleteFileW(programCopy.c_str());
    for (size_t p = 0; p < options.programs.size(); ++p) {
        const PerProgram& s = per[p];
        Row(change.figure, Median(archiver), Median(s.total), change.goal, options.programs[p].label);
        Note("%s: stages: %s -> archiver started %.3f s; the archiver %.3f s (alone %.3f s); its end -> archive "
             "replaced %.3f s; replaced -> rows drawn %.3f s",
             options.programs[p].label.c_str(), change.press, Median(s.toArchiver), Median(s.life),
             Median(archiverLife), Median(s.toReplaced), Median(s.toDrawn));
        if (s.complete < s.runs || s.moreArchivers > 0)
            Note("%s: stages seen whole in %d of %d runs; the replace seen by the folder's notice in %d (else by the "
                 "file's identity); runs with more than one archiver process: %d",
                 options.programs[p].label.c_str(), s.complete, s.runs, s.byNotice, s.moreArchivers);
    }
    NoteFewerPairs(options, pairs, "a pair takes long");
}

// --- the changes ---------------------------------------------------------------------------------

// Selects row `row` (which must be `name`) of the list shown.
bool Select(ProgramUnderTest& window, const std::wstring& name, int guess) {
    const int row = FindRow(window.list(), name, guess);
    if (row < 0) return false;
    testsupport::RemoteListSelect(window.list(), {row});
    return true;
}

// The Delete command on the selection, then Yes in the question once it shows.
bool DeleteAndAnswerYes(ProgramUnderTest& window, UpdateWatch& watch) {
    PostMessageW(window.frame(), WM_COMMAND, kDeleteCommand, 0);
    const DWORD pid = GetProcessId(window.process());
    HWND box = nullptr;
    std::wstring text;
    if (!WaitFor([&] {
            box = testsupport::FindTopWindow(kMessageCaption, pid);
            return box && !(text = testsupport::MessageBoxText(box)).empty();
        }))
        return false;
    if (text != L"Are you sure you want to delete a selected file?") Note("the question was: %s", Narrow(text).c_str());
    watch.pressed();
    testsupport::PressButton(box, IDYES);
    return true;
}

int Count(HWND list) { return testsupport::RemoteListCount(list); }

void FlatZipChanges(const Options& options, const std::wstring& folder) {
    constexpr int kFiles = 20000;
    const std::wstring archive = folder + L"\\files-20k-flat.zip";
    BenchZipLayout layout;
    layout.filesPerFolder = kFiles;
    layout.fileBytes = 100;
    if (MakeBenchZip(archive, layout) == 0) return Note("could not make %s", Narrow(archive).c_str());
    const std::wstring target = L"file010000.txt";
    constexpr int kTargetRow = 10001;  // below ".." in the name order
    const int rows = kFiles + 1;

    if (options.wants(L"delete")) {
        Change change;
        change.figure = "Delete one entry, 20,000-entry zip (Yes -> rows)";
        change.goal = "<= 1.3";
        change.press = "Yes";
        change.archive = archive;
        change.archiverArguments = [&](const std::wstring& copy) { return L"d " + Quote(copy) + L" " + target; };
        change.prepare = [&](ProgramUnderTest& window) { return Select(window, target, kTargetRow); };
        change.start = DeleteAndAnswerYes;
        change.shown = [&](HWND list) {
            return Count(list) == rows - 1 && testsupport::RemoteListItemText(list, kTargetRow, 0) != target;
        };
        change.wrong = [&](const std::wstring& copy) { return ArchiveHolds(copy, L"", target, kFiles - 1); };
        TimeChange(options, change, folder);
    }
    if (options.wants(L"rename")) {
        const std::wstring renamed = L"zz renamed.txt";  // last in the name order
        Change change;
        change.figure = "Rename one entry, same zip (Enter -> rows)";
        change.goal = "<= 1.3";
        change.press = "Enter";
        change.archive = archive;
        change.archiverArguments = [&](const std::wstring& copy) {
            return L"rn " + Quote(copy) + L" " + target + L" " + Quote(renamed);
        };
        change.prepare = [&](ProgramUnderTest& window) { return Select(window, target, kTargetRow); };
        change.start = [&](ProgramUnderTest& window, UpdateWatch& watch) {
            PostMessageW(window.frame(), WM_COMMAND, kRenameCommand, 0);
            HWND prompt = nullptr;
            const DWORD pid = GetProcessId(window.process());
            if (!WaitFor([&] { return (prompt = testsupport::FindTopWindow(L"Rename", pid)) != nullptr; })) return false;
            testsupport::SetControlText(prompt, kNameEdit, renamed);
            // Enter in the name field: the dialog's default button.
            watch.pressed();
            PostMessageW(GetDlgItem(prompt, kNameEdit), WM_KEYDOWN, VK_RETURN, 1);
            PostMessageW(GetDlgItem(prompt, kNameEdit), WM_KEYUP, VK_RETURN, 0xC0000001);
            return true;
        };
        change.shown = [&](HWND list) {
            return Count(list) == rows && testsupport::RemoteListItemText(list, rows - 1, 0) == renamed &&
                   testsupport::RemoteListItemText(list, kTargetRow, 0) != target;
        };
        change.wrong = [&](const std::wstring& copy) { return ArchiveHolds(copy, renamed, target, kFiles); };
        TimeChange(options, change, folder);
    }
    if (options.wants(L"addone")) {
        const std::wstring source = folder + L"\\add-one";
        const std::wstring added = L"added one.txt";
        testsupport::WriteFileBytes(source + L"\\" + added, "one small file\r\n");
        Change change;
        change.figure = "Add one file (dropped), same zip (drop -> rows)";
        change.goal = "<= 1.3";
        change.press = "the drop";
        change.archive = archive;
        change.archiverFolder = source;
        change.archiverArguments = [&](const std::wstring& copy) { return L"a " + Quote(copy) + L" " + Quote(added); };
        change.prepare = [](ProgramUnderTest&) { return true; };
        change.start = [&](ProgramUnderTest& window, UpdateWatch& watch) {
            watch.pressed();
            testsupport::RemoteDropFiles(window.view(), {source + L"\\" + added});
            return true;
        };
        change.shown = [&](HWND list) { return Count(list) == rows + 1; };
        change.wrong = [&](const std::wstring& copy) { return ArchiveHolds(copy, added, L"", kFiles + 1); };
        TimeChange(options, change, folder);
    }
}

void SolidChange(const Options& options, const std::wstring& folder) {
    constexpr int kFolders = 10000, kFilesPerFolder = 99;
    const std::wstring archive = folder + L"\\solid-1m.7z";
    if (!testsupport::PathExists(archive)) {
        // Stored by this writer with one file more, which the archiver then deletes: what is left is
        // the archiver's own solid archive (LZMA2, compressed header), as users have them.
        const std::wstring stored = folder + L"\\solid-1m-stored.7z";
        const char* extra = "made by the bench.txt";
        const bool made = MakeSolid7z(stored, kFolders, kFilesPerFolder, extra) != 0 &&
                          RunArchiver(L"d " + Quote(stored) + L" " + Quote(testsupport::Widen(extra))).exitCode == 0 &&
                          MoveFileExW(stored.c_str(), archive.c_str(), MOVEFILE_REPLACE_EXISTING);
        DeleteFileW(stored.c_str());
        if (!made) return Note("could not make %s", Narrow(archive).c_str());
    }
    const std::wstring inFolder = L"folder05000";
    const std::wstring target = L"file0050.txt";
    const std::wstring targetPath = inFolder + L"\\" + target;
    constexpr int kFolderRow = 5001, kTargetRow = 51;
    const int rows = kFilesPerFolder + 1;
    Change change;
    change.figure = "Delete one entry, 1,000,000 solid 7z (Yes -> rows)";
    change.goal = "<= 1.2";
    change.budget = 600;  // the archiver alone takes minutes: one pair unless --repetitions asks for more
    change.press = "Yes";
    change.archive = archive;
    change.archiverArguments = [&](const std::wstring& copy) { return L"d " + Quote(copy) + L" " + Quote(targetPath); };
    change.prepare = [&](ProgramUnderTest& window) {
        const int row = FindRow(window.list(), inFolder, kFolderRow);
        if (row < 0) return false;
        SendMessageW(window.list(), LVM_ENSUREVISIBLE, row, FALSE);
        testsupport::RemoteListDoubleClick(window.list(), row);
        const std::wstring shown = testsupport::WindowText(window.pathField());
        const std::wstring inside = shown + L"\\" + inFolder;
        if (!WaitFor([&] {
                return testsupport::WindowText(window.pathField()) == inside && Count(window.list()) == rows &&
                       NothingToPaint(window.list());
            }))
            return false;
        return Select(window, target, kTargetRow);
    };
    change.start = DeleteAndAnswerYes;
    change.shown = [&](HWND list) {
        return Count(list) == rows - 1 && testsupport::RemoteListItemText(list, kTargetRow, 0) != target;
    };
    change.wrong = [&](const std::wstring& copy) {
        return ArchiveHolds(copy, L"", targetPath, static_cast<long long>(kFolders) * kFilesPerFolder - 1);
    };
    TimeChange(options, change, folder);
}

}  // namespace

void WindowChangeFigures(const Options& options, const std::wstring& folder) {
    if (options.wants(L"delete") || options.wants(L"rename") || options.wants(L"addone")) FlatZipChanges(options, folder);
    if (options.wants(L"solid")) SolidChange(options, folder);
}

}  // namespace bench
