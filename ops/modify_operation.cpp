// Adding files to the archive and deleting entries from it, through the archiver 7z.exe. The
// archiver never writes the archive itself (see ArchiveGuard): its runs build a work file, which
// takes the archive's place only once the engine opens it and finds exactly what it should.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <optional>

#include "base/handles.h"
#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "catalog/path_text.h"
#include "engine/archive_kind.h"
#include "engine/archive_listing.h"
#include "engine/checksums.h"
#include "ops/archive_guard.h"
#include "ops/creation_options.h"
#include "ops/archive_operations.h"
#include "ops/fault_texts.h"
#include "ops/operation_support.h"
#include "ops/progress.h"
#include "ops/source_removal.h"
#include "ops/temp_workspace.h"
#include "ops/tool_command_line.h"
#include "ops/update_check.h"
#include "ops/update_failure.h"
#include "ops/update_runs.h"
#include "ops/worker_thread.h"

namespace {

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What the work file of an add must hold, by the add's mode.
ResultCheck AddCheck(const AddChoices& choices, const std::vector<std::wstring>& added) {
    using Check = std::wstring (*)(const std::vector<std::wstring_view>&, const std::vector<std::wstring_view>&,
                                   const std::vector<std::wstring>&);
    Check check = AddResultProblem;
    if (choices.singleFile) check = SingleFileResultProblem;
    else if (choices.mode == UpdateMode::Freshen) check = FreshenResultProblem;
    else if (choices.mode == UpdateMode::Synchronize) check = SynchronizeResultProblem;
    return [check, &added](const std::vector<std::wstring_view>& before, const std::vector<std::wstring_view>& after) {
        return check(before, after, added);
    };
}

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

// The files the paths add, and their bytes: a file is one, a folder all files below it.
FileTally TallyOf(const std::vector<std::wstring>& paths, const std::atomic<int32_t>* cancel) {
    FileTally tally;
    for (const std::wstring& path : paths) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(ExtendedPath(WithoutTrailingSeparator(path)).c_str(), GetFileExInfoStandard,
                                  &data)) {
            ++tally.files;
        } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tally += TallyFiles(path, true, cancel);
        } else {
            ++tally.files;
            tally.bytes += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
    }
    return tally;
}

// Counts the files that the paths add into the progress total on a worker of its own, while
// the archiver (which scans them itself) already runs: the add does not wait for the count.
// The window shows no figure until the total is known.
class ProgressTotalBeside {
public:
    ProgressTotalBeside(std::vector<std::wstring> paths, ProgressCounters& progress)
        : paths_(std::move(paths)), progress_(progress) {
        // No thread to spare: counted before the archiver starts.
        if (!worker_.Start([this] { count(); })) count();
    }
    // The count ends before the paths it reads and the counters it fills go.
    ~ProgressTotalBeside() { worker_.Join(); }
    ProgressTotalBeside(const ProgressTotalBeside&) = delete;
    ProgressTotalBeside& operator=(const ProgressTotalBeside&) = delete;

private:
    void count() const { progress_.total = TallyOf(paths_, &progress_.cancel).files; }

    const std::vector<std::wstring> paths_;
    ProgressCounters& progress_;
    WorkerThread worker_;
};

// Inside a folder of the archive: mirrors that folder in a fresh temporary folder, copies the
// files into it, and adds its top folder from there so the paths come out right. Returns the
// message when the folder cannot be mirrored on disk.
std::wstring AddInsideFolder(ItemCatalog& catalog, const ArchiveGuard& guard, UpdateRuns& runs,
                             std::vector<std::wstring>& added) {
    catalog.RemoveTempFolder();
    catalog.tempFolder = CreateFreshTempFolder(kStagingPrefix);
    const std::wstring& folder = catalog.currentFolder;
    const StageResult staged =
        catalog.tempFolder.empty() ? StageResult{0, 1, {}} : StageFiles(catalog.tempFolder, folder, catalog.pending);
    WorkProgress().total = static_cast<uint64_t>(staged.copied);
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
void AddAtRoot(ItemCatalog& catalog, const ArchiveGuard& guard, UpdateRuns& runs, const std::wstring& format,
               const AddChoices& choices, std::vector<std::wstring>& added) {
    std::vector<std::wstring> names;
    for (const std::wstring& path : catalog.pending) {
        names.push_back(WithoutTrailingSeparator(path));
        added.push_back(LeafPart(path));
    }
    // A zip archive's threads depend on what the files hold, so they are counted first; other
    // adds do not wait for the count.
    std::optional<ProgressTotalBeside> totalBeside;
    std::wstring threads;
    if (ThreadsFollowTheFiles(format)) {
        const FileTally tally = TallyOf(catalog.pending, &WorkProgress().cancel);
        WorkProgress().total = tally.files;
        threads = ThreadSwitchFor(format, tally.files, tally.bytes);
    } else {
        totalBeside.emplace(catalog.pending, WorkProgress());
    }
    const auto nextCommand = [&] {
        ToolCommandLine command = runs.NextCommand();
        if (!threads.empty()) command.addSwitches({threads});
        return command;
    };
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
        // Not when synchronizing: the wildcard would take the archive's other entries for gone files.
        if (choices.mode != UpdateMode::Synchronize && NamesCoverFolder(names, FolderItems(shared), skipped)) {
            ToolCommandLine command = nextCommand();
            command.setWorkingFolder(shared);
            command.askForPassword(encrypt);
            command.addWholeWorkingFolder(skipped);
            runs.Run(command);
            return;
        }
    }
    // One run per group of names; a later name of the same leaf goes to a later run, which
    // replaces what the earlier one added.
    const std::vector<std::vector<std::wstring>> groups = GroupByDistinctLeafNames(names);
    if (choices.split && groups.size() > 1) {
        // A split archive is written in one run and cannot be updated afterwards.
        runs.refusal = L"a split archive cannot hold two items of the same name from different folders";
        return;
    }
    for (const std::vector<std::wstring>& group : groups) {
        if (!runs.going()) break;
        ToolCommandLine command = nextCommand();
        command.setWorkingFolder(shared);
        command.askForPassword(encrypt);
        for (const std::wstring& name : group) command.addName(name);
        runs.Run(command);
    }
}

// After an add that asked for it: the added files whose bytes the archive holds go. The added
// entries are decoded from the archive as it now is, and each file is compared with them.
std::wstring RemoveSources(ItemCatalog& catalog, const std::vector<std::wstring>& paths, const AddChoices& choices,
                           const std::string& password) {
    const std::wstring archive = choices.split ? catalog.archivePath + L".001" : catalog.archivePath;
    std::vector<std::wstring> entries;
    if (!choices.singleFile)
        for (const std::wstring& path : paths) entries.push_back(LeafPart(path));
    std::wstring known = Utf8ToWideLossy(password);
    FileDigests hasher;
    ReadFailure failure;
    const std::vector<ChecksumResult> held = checksumArchiveEntries(
        archive, archiveKindOf(catalog.archivePath), known, entries, {hasher.function()}, &failure);
    if (failure.any()) {
        const std::wstring problem = ReadFailureText(failure);
        return L"The added files were kept on disk: " + FileNameOf(archive) + L" could not be read back" +
               (problem.empty() ? L"." : L" (" + problem + L").");
    }
    return KeptSourcesNote(RemoveAddedSources(paths, HeldDigestsOf(held, choices.singleFile), hasher));
}

// The add worker's body.
ModifyResult AddPending(ItemCatalog& catalog, const std::wstring& format, const AddChoices& choices) {
    catalog.state = OperationState::Adding;
    ArchiveGuard guard(catalog.archivePath);
    guard.setSplit(choices.split);
    UpdateRuns runs(catalog, guard, L"a", format, &choices);
    std::vector<std::wstring> added;  // entry paths that the archive must hold afterwards
    runs.failure = guard.CheckReplaceable();
    std::wstring refused;
    if (runs.going()) {
        if (catalog.currentFolder.empty())
            AddAtRoot(catalog, guard, runs, format, choices, added);
        else
            refused = AddInsideFolder(catalog, guard, runs, added);
    }
    UntouchedEntries untouched;
    untouched.touched = added;
    untouched.none = choices.singleFile;
    if (refused.empty())
        refused = Conclude(catalog, guard, runs, AddCheck(choices, added), untouched, choices.deleteAfter);
    ModifyResult result{runs.stopped, refused, {}};
    if (refused.empty() && !result.stopped && !OperationCancelled() && choices.deleteAfter)
        result.note = RemoveSources(catalog, catalog.pending, choices, runs.password());
    catalog.state = OperationState::Idle;
    return result;
}

AddChoices ChoicesOf(const CreationOptions* options, bool encrypted) {
    AddChoices choices;
    if (!options) return choices;
    choices.switches = ArchiverSwitches(*options, encrypted);
    choices.mode = options->mode;
    if (options->mode != UpdateMode::AddAndReplace) choices.updateActions = UpdateActions(options->mode);
    choices.split = options->volumeSize != 0;
    choices.singleFile = IsSingleFileFormat(options->format);
    choices.deleteAfter = options->deleteAfter;
    return choices;
}

// The delete worker's body.
ModifyResult DeletePending(ItemCatalog& catalog, const std::vector<std::wstring>& entries) {
    catalog.state = OperationState::Deleting;
    ArchiveGuard guard(catalog.archivePath);
    UpdateRuns runs(catalog, guard, L"d", ToolFormat(catalog, nullptr));
    runs.failure = guard.CheckReplaceable();
    if (runs.going()) {
        ToolCommandLine command = runs.NextCommand();
        command.reportPercent(true);
        for (const std::wstring& entry : entries) command.addName(entry);
        runs.Run(command);
    }
    ModifyResult result{runs.stopped,
                        Conclude(catalog, guard, runs,
                                 [&](const std::vector<std::wstring_view>& before,
                                     const std::vector<std::wstring_view>& after) {
                                     return DeleteResultProblem(before, after, entries);
                                 },
                                 UntouchedEntries{entries, {}, {}, false}),
                        {}};
    catalog.state = OperationState::Idle;
    return result;
}

OperationOutcome AddWithChoices(ItemCatalog& catalog, const std::vector<std::wstring>& paths,
                                const CreationOptions* options) {
    const std::wstring format = ToolFormat(catalog, options);
    if (!CanChange(catalog, format)) return Outcome(OperationResult::Unsupported, L"Operation is not supported.");
    if (paths.empty()) return Outcome(OperationResult::Done);
    OperationProgress progress;
    // A password the format cannot take is refused before anything runs.
    const std::wstring refused = PasswordProblem(format == L"zip" ? Zip : None, catalog.password);
    if (!refused.empty()) {
        const std::wstring name = FileNameOf(catalog.archivePath);
        return Concluded(catalog, progress, ProgressOutcome::Completed,
                         {false, UpdateFailureMessage(name, refused, FileExists(catalog.archivePath)), {}});
    }
    catalog.pending = paths;
    const AddChoices choices = ChoicesOf(options, !catalog.password.empty());
    ModifyResult result;
    const ProgressOutcome shown = RunWithProgress(L"Add Files", L"Adding Files ", progress,
                                                  [&] { result = AddPending(catalog, format, choices); });
    catalog.pending.clear();
    return Concluded(catalog, progress, shown, result);
}

}  // namespace

OperationOutcome AddFiles(ItemCatalog& catalog, const std::vector<std::wstring>& paths) {
    return AddWithChoices(catalog, paths, nullptr);
}

OperationOutcome AddFilesToArchive(ItemCatalog& catalog, const std::wstring& archive,
                                   const std::vector<std::wstring>& paths, const std::wstring& archivePassword) {
    catalog.archivePath = archive;
    catalog.currentFolder.clear();
    catalog.password = archivePassword;
    catalog.format = OpenedFormat();
    return AddFiles(catalog, paths);
}

OperationOutcome AddFilesToArchive(ItemCatalog& catalog, const std::wstring& archive,
                                   const std::vector<std::wstring>& paths, const std::wstring& archivePassword,
                                   const CreationOptions& options) {
    catalog.archivePath = archive;
    catalog.currentFolder.clear();
    catalog.password = archivePassword;
    catalog.format = OpenedFormat();
    return AddWithChoices(catalog, paths, &options);
}

OperationOutcome DeleteEntries(ItemCatalog& catalog, const std::vector<std::wstring>& names) {
    if (!CanChange(catalog, ToolFormat(catalog, nullptr)))
        return Outcome(OperationResult::Unsupported, L"Operation is not supported.");
    if (names.empty()) return Outcome(OperationResult::Done);
    OperationProgress progress;
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
        progress.total = 100;
        shown = RunWithProgress(L"Delete Files", L"Deleting Files ", progress,
                                [&] { result = DeletePending(catalog, entries); });
    }
    OperationOutcome outcome = Concluded(catalog, progress, shown, refused.message.empty() ? result : refused);
    // The reload tells of its own findings (a damaged archive) after the delete's.
    const OperationOutcome reloaded = ShowChangedArchive(catalog);
    outcome.messages.insert(outcome.messages.end(), reloaded.messages.begin(), reloaded.messages.end());
    return outcome;
}
