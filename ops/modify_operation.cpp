// Adding files to the archive and deleting entries from it, through the archiver 7z.exe. The
// archiver never writes the archive itself (see ArchiveGuard): its runs build a work file, which
// takes the archive's place only once the engine opens it and finds exactly what it should.
#include <windows.h>

#include <optional>

#include "base/handles.h"
#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "catalog/path_text.h"
#include "engine/archive_kind.h"
#include "engine/archive_listing.h"
#include "ops/archive_guard.h"
#include "ops/archive_operations.h"
#include "ops/operation_support.h"
#include "ops/progress.h"
#include "ops/temp_workspace.h"
#include "ops/tool_command_line.h"
#include "ops/tool_runner.h"
#include "ops/update_check.h"
#include "ops/update_failure.h"
#include "ops/update_runs.h"

namespace {

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring LeafPart(const std::wstring& path) { return FileNameOf(WithoutTrailingSeparator(path)); }

// The names of every item in a folder (hidden ones included).
std::vector<std::wstring> FolderItems(const std::wstring& folder) {
    std::vector<std::wstring> items;
    const std::wstring pattern = JoinPath(ExtendedPath(folder), L"*");
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
    const DWORD attributes = GetFileAttributesW(ExtendedPath(WithoutTrailingSeparator(path)).c_str());
    const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return folder ? static_cast<uint64_t>(CountFiles(path, true)) : 1;
}

// Inside a folder of the archive: mirrors that folder in a fresh temporary folder, copies the
// files into it, and adds its top folder from there so the paths come out right. Returns the
// message when the folder cannot be mirrored on disk.
std::wstring AddInsideFolder(ItemCatalog& catalog, const ArchiveGuard& guard, UpdateRuns& runs,
                             std::vector<std::wstring>& added) {
    catalog.RemoveTempFolder();
    catalog.tempFolder = CreateFreshTempFolder(L"Tolvar");
    const std::wstring& folder = catalog.currentFolder;
    const StageResult staged =
        catalog.tempFolder.empty() ? StageResult{0, 1, {}} : StageFiles(catalog.tempFolder, folder, catalog.pending);
    g_progress.total = static_cast<uint64_t>(staged.copied);
    if (!staged.unmadeFolder.empty())
        return UpdateFailureMessage(FileNameOf(catalog.archivePath),
                                    L"no folder on disk can be named \"" + staged.unmadeFolder +
                                        L"\", and files are added to the archive from such a folder",
                                    guard.existedBefore());
    if (staged.failed) runs.failure = UpdateFailure::UnreadableFiles;
    for (const std::wstring& path : catalog.pending) added.push_back(folder + L"\\" + LeafPart(path));
    if (!runs.going()) return {};
    ToolCommandLine command = runs.NextCommand();
    command.setWorkingFolder(catalog.tempFolder);
    command.askForPassword(!catalog.password.empty());
    command.addName(folder.substr(0, folder.find(L'\\')));
    runs.Run(command);
    return {};
}

// At the root: the paths as they are, in as few runs as their names allow.
void AddAtRoot(ItemCatalog& catalog, const ArchiveGuard& guard, UpdateRuns& runs, std::vector<std::wstring>& added) {
    uint64_t total = 0;
    std::vector<std::wstring> names;
    for (const std::wstring& path : catalog.pending) {
        total += FilesIn(path);
        names.push_back(WithoutTrailingSeparator(path));
        added.push_back(LeafPart(path));
    }
    g_progress.total = total;
    const bool encrypt = !catalog.password.empty();
    const std::wstring shared = SharedParentFolder(names);
    if (!shared.empty()) {
        // Files of one folder are named from that folder.
        names = added;
        // A whole folder's content (Select All) goes in one pass: the archiver is much slower
        // with ten thousand names than with the folder's own listing. The archive and its work
        // file, when they lie there, are not part of it.
        std::vector<std::wstring> skipped;
        if (SameFolder(FolderOf(catalog.archivePath), shared))
            skipped = {LeafPart(catalog.archivePath), LeafPart(guard.workPath())};
        if (NamesCoverFolder(names, FolderItems(shared), skipped)) {
            ToolCommandLine command = runs.NextCommand();
            command.setWorkingFolder(shared);
            command.askForPassword(encrypt);
            command.addWholeWorkingFolder(skipped);
            runs.Run(command);
            return;
        }
    }
    // One run per group of names; a later name of the same leaf goes to a later run, which
    // replaces what the earlier one added.
    for (const std::vector<std::wstring>& group : GroupByDistinctLeafNames(names)) {
        if (!runs.going()) break;
        ToolCommandLine command = runs.NextCommand();
        command.setWorkingFolder(shared);
        command.askForPassword(encrypt);
        for (const std::wstring& name : group) command.addName(name);
        runs.Run(command);
    }
}

// The add worker's body.
ModifyResult AddPending(ItemCatalog& catalog) {
    catalog.state = OperationState::Adding;
    ArchiveGuard guard(catalog.archivePath);
    UpdateRuns runs(catalog, guard, L"a");
    std::vector<std::wstring> added;  // entry paths that the archive must hold afterwards
    runs.failure = guard.CheckReplaceable();
    std::wstring refused;
    if (runs.going()) {
        if (catalog.currentFolder.empty())
            AddAtRoot(catalog, guard, runs, added);
        else
            refused = AddInsideFolder(catalog, guard, runs, added);
    }
    if (refused.empty())
        refused = Conclude(catalog, guard, runs, [&](const auto& before, const auto& after) {
            return AddResultProblem(before, after, added);
        });
    ModifyResult result{runs.stopped, refused};
    catalog.state = OperationState::Idle;
    return result;
}

// The delete worker's body.
ModifyResult DeletePending(ItemCatalog& catalog, const std::vector<std::wstring>& entries) {
    catalog.state = OperationState::Deleting;
    ArchiveGuard guard(catalog.archivePath);
    UpdateRuns runs(catalog, guard, L"d");
    runs.failure = guard.CheckReplaceable();
    if (runs.going()) {
        ToolCommandLine command = runs.NextCommand();
        command.reportPercent(true);
        for (const std::wstring& entry : entries) command.addName(entry);
        runs.Run(command);
    }
    ModifyResult result{runs.stopped, Conclude(catalog, guard, runs, [&](const auto& before, const auto& after) {
                                           return DeleteResultProblem(before, after, entries);
                                       })};
    catalog.state = OperationState::Idle;
    return result;
}

}  // namespace

OperationOutcome AddFiles(ItemCatalog& catalog, const std::vector<std::wstring>& paths) {
    const ArchiveKind kind = archiveKindOf(catalog.archivePath);
    if (!archiveKindIsWritable(kind)) return Outcome(OperationResult::Unsupported, L"Operation is not supported.");
    if (paths.empty()) return Outcome(OperationResult::Done);
    g_progress.reset();
    BeginOperation();
    // A password the format cannot take is refused before anything runs.
    const std::wstring refused = PasswordProblem(kind, catalog.password);
    if (!refused.empty()) {
        const std::wstring name = FileNameOf(catalog.archivePath);
        return Concluded(catalog, ProgressOutcome::Completed,
                         {false, UpdateFailureMessage(name, refused, FileExists(catalog.archivePath))});
    }
    catalog.pending = paths;
    ModifyResult result;
    const ProgressOutcome shown =
        RunWithProgress(L"Add Files", L"Adding Files ", [&] { result = AddPending(catalog); });
    catalog.pending.clear();
    return Concluded(catalog, shown, result);
}

OperationOutcome AddFilesToArchive(ItemCatalog& catalog, const std::wstring& archive,
                                   const std::vector<std::wstring>& paths, const std::wstring& archivePassword) {
    catalog.archivePath = archive;
    catalog.currentFolder.clear();
    catalog.password = archivePassword;
    return AddFiles(catalog, paths);
}

OperationOutcome DeleteEntries(ItemCatalog& catalog, const std::vector<std::wstring>& names) {
    if (!archiveKindIsWritable(archiveKindOf(catalog.archivePath)))
        return Outcome(OperationResult::Unsupported, L"Operation is not supported.");
    if (names.empty()) return Outcome(OperationResult::Done);
    g_progress.reset();
    BeginOperation();
    const std::wstring folder = catalog.currentFolder;
    std::vector<std::wstring> entries;
    ModifyResult refused;
    for (const std::wstring& name : names) {
        entries.push_back(JoinPath(folder, name));
        // A name the archiver would take for another: nothing runs.
        const std::wstring problem = EntryNameProblem(entries.back());
        if (!problem.empty() && refused.message.empty())
            refused.message = UpdateFailureMessage(FileNameOf(catalog.archivePath),
                                                   L"the archiver cannot be told the entry \"" + entries.back() +
                                                       L"\" exactly (" + problem + L")",
                                                   true);
    }
    ModifyResult result;
    ProgressOutcome shown = ProgressOutcome::Completed;
    if (refused.message.empty()) {
        g_progress.total = 100;
        shown = RunWithProgress(L"Delete Files", L"Deleting Files ",
                                [&] { result = DeletePending(catalog, entries); });
    }
    OperationOutcome outcome = Concluded(catalog, shown, refused.message.empty() ? result : refused);
    // The reload tells of its own findings (a damaged archive) after the delete's.
    const OperationOutcome reloaded = ReloadArchive(catalog);
    outcome.messages.insert(outcome.messages.end(), reloaded.messages.begin(), reloaded.messages.end());
    return outcome;
}
