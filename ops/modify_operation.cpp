// Adding files to the archive and deleting entries from it, through the archiver 7z.exe.
#include <windows.h>

#include "app/handles.h"
#include "app/path_tests.h"
#include "app/text.h"
#include "catalog/item_catalog.h"
#include "catalog/path_text.h"
#include "engine/archive_kind.h"
#include "ops/archive_guard.h"
#include "ops/operation_support.h"
#include "ops/progress.h"
#include "ops/temp_workspace.h"
#include "ops/tool_command_line.h"
#include "ops/tool_runner.h"

namespace {

constexpr wchar_t kToolName[] = L"7z.exe";

// How the runs of one add or delete went.
struct ModifyOutcome {
    bool failed = false;   // a run failed, or a file could not be staged
    bool stopped = false;  // Cancel, or the user declined a prompt
};

// Runs one command; an early end restores the archive, a failure removes the work files.
void RunGuarded(ItemCatalog& catalog, const ToolCommandLine& command, std::string& runPassword,
                ModifyOutcome& outcome) {
    ArchiveGuard guard(command.archivePath());
    ToolRunResult run = RunTool(command, ToolRunSettingsFor(catalog, runPassword));
    if (run.stopped) {
        guard.RestoreAfterStop();
        outcome.stopped = true;
        return;
    }
    if (!run.succeeded()) {
        guard.RemoveLeftovers();
        outcome.failed = true;
        return;
    }
    // A password typed for this operation answers the prompts of its later runs too.
    if (run.typedPassword) runPassword = *run.typedPassword;
}

std::wstring FolderPart(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring LeafPart(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

bool SameFolder(std::wstring a, std::wstring b) {
    while (a.size() > 3 && a.back() == L'\\') a.pop_back();
    while (b.size() > 3 && b.back() == L'\\') b.pop_back();
    return !a.empty() && lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

// The names of every item in a folder (hidden ones included).
std::vector<std::wstring> FolderItems(const std::wstring& folder) {
    std::vector<std::wstring> items;
    std::wstring pattern = folder;
    if (pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW(pattern.c_str(), &data));
    if (!find) return items;
    do {
        items.push_back(data.cFileName);
    } while (FindNextFileW(find.get(), &data));
    return items;
}

// The number of files a path adds: one for a file, all files below it for a folder.
uint64_t FilesIn(const std::wstring& path) {
    return IsDirectory(path) ? static_cast<uint64_t>(CountFiles(path, true)) : 1;
}

}  // namespace

int ItemCatalog::AddFiles(const std::vector<std::wstring>& paths) {
    if (!archiveKindIsWritable(archiveKindOf(archivePath))) {
        ShowOperationMessage(L"Operation is not supported.");
        return -1;
    }
    g_progress.reset();
    pending = paths;
    BeginOperation();
    bool failed = false;
    bool stopped = false;
    const ProgressOutcome outcome = RunWithProgress(L"Add Files", L"Adding Files ", [&] {
        const ModifyResult result = AddPending();
        failed = result.failed;
        stopped = result.stopped;
    });
    const bool cancelled = outcome == ProgressOutcome::Cancelled || stopped || cancel.load() != 0;
    if (outcome == ProgressOutcome::NoThread) failed = true;
    if (failed && !cancelled) ShowOperationMessage(L"Could not update " + ArchiveFileName(archivePath));
    EndOperation(cancelled);
    return 0;
}

ItemCatalog::ModifyResult ItemCatalog::AddPending() {
    state = OperationState::Adding;
    ModifyOutcome outcome;
    std::string runPassword = WideToUtf8Lossy(password);
    const bool encrypt = !password.empty();
    if (!currentFolder.empty()) {
        // Inside a folder of the archive: mirror that folder in a fresh temporary folder, copy
        // the files into it, and add its top folder from there so the paths come out right.
        RemoveTempFolder();
        tempFolder = CreateFreshTempFolder(L"Tolvar");
        const std::wstring folder = Utf8ToWideLossy(currentFolder);
        const StageResult staged = tempFolder.empty() ? StageResult{0, 1} : StageFiles(tempFolder, folder, pending);
        g_progress.total = static_cast<uint64_t>(staged.copied);
        if (staged.failed) outcome.failed = true;
        if (staged.copied > 0 && cancel.load() == 0) {
            ToolCommandLine command(ToolPath(kToolName), L"a", archivePath);
            command.setWorkingFolder(tempFolder);
            command.askForPassword(encrypt);
            command.addName(folder.substr(0, folder.find(L'\\')));
            RunGuarded(*this, command, runPassword, outcome);
        }
    } else {
        uint64_t total = 0;
        for (const std::wstring& path : pending) total += FilesIn(path);
        g_progress.total = total;
        // As few archiver runs as the command line allows: one per path would start the
        // archiver ten thousand times for ten thousand files.
        ToolCommandLine base(ToolPath(kToolName), L"a", archivePath);
        base.askForPassword(encrypt);
        std::vector<std::wstring> names = pending;
        const std::wstring shared = SharedParentFolder(pending);
        if (!shared.empty()) {
            base.setWorkingFolder(shared);
            for (std::wstring& name : names) name = name.substr(name.find_last_of(L'\\') + 1);
            // A whole folder's content (Select All) goes in one pass: the archiver is much
            // slower with ten thousand names than with the folder's own listing.
            const std::wstring excluded = SameFolder(FolderPart(archivePath), shared) ? LeafPart(archivePath) : L"";
            if (NamesCoverFolder(names, FolderItems(shared), excluded)) {
                ToolCommandLine command = base;
                command.addWholeWorkingFolder(excluded);
                RunGuarded(*this, command, runPassword, outcome);
                names.clear();
            }
        }
        for (const std::vector<std::wstring>& group : GroupNamesForRuns(base, names, true)) {
            if (cancel.load() != 0 || outcome.stopped) break;
            ToolCommandLine command = base;
            for (const std::wstring& path : group) command.addName(path);
            RunGuarded(*this, command, runPassword, outcome);
        }
    }
    state = OperationState::Idle;
    pending.clear();
    return {outcome.failed, outcome.stopped};
}

int ItemCatalog::AddFilesToArchive(const std::wstring& archive, const std::vector<std::wstring>& paths,
                                   const std::wstring& archivePassword) {
    archivePath = archive;
    currentFolder.clear();
    password = archivePassword;
    AddFiles(paths);
    return 0;
}

int ItemCatalog::DeleteEntries(const std::vector<std::wstring>& names) {
    if (!archiveKindIsWritable(archiveKindOf(archivePath))) {
        ShowOperationMessage(L"Operation is not supported.");
        return -1;
    }
    BeginOperation();
    state = OperationState::Deleting;
    ModifyOutcome outcome;
    std::string runPassword = WideToUtf8Lossy(password);
    const std::wstring folder = Utf8ToWideLossy(currentFolder);
    std::vector<std::wstring> entries;
    for (const std::wstring& name : names) entries.push_back(folder.empty() ? name : folder + L"\\" + name);
    const ToolCommandLine base(ToolPath(kToolName), L"d", archivePath);
    for (const std::vector<std::wstring>& group : GroupNamesForRuns(base, entries, false)) {
        if (outcome.stopped) break;
        ToolCommandLine command = base;
        for (const std::wstring& entry : group) command.addName(entry);
        RunGuarded(*this, command, runPassword, outcome);
    }
    state = OperationState::Idle;
    if (outcome.failed && !outcome.stopped) ShowOperationMessage(L"Could not update " + ArchiveFileName(archivePath));
    EndOperation(outcome.stopped);
    ReloadArchive();
    return 0;
}
