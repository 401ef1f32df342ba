// Adding files to the archive and deleting entries from it, through the archiver 7z.exe. The
// archiver never writes the archive itself (see ArchiveGuard): its runs build a work file, which
// takes the archive's place only once the engine opens it and finds exactly what it should.
#include <windows.h>

#include <algorithm>
#include <optional>

#include "base/handles.h"
#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "catalog/path_text.h"
#include "engine/archive_kind.h"
#include "engine/archive_listing.h"
#include "engine/archive_probe.h"
#include "engine/integrity_check.h"
#include "ops/archive_guard.h"
#include "ops/creation_options.h"
#include "ops/archive_operations.h"
#include "ops/operation_support.h"
#include "ops/progress.h"
#include "ops/source_removal.h"
#include "ops/temp_workspace.h"
#include "ops/tool_command_line.h"
#include "ops/tool_runner.h"
#include "ops/update_check.h"
#include "ops/update_failure.h"

namespace {

constexpr wchar_t kToolName[] = L"7z.exe";

bool Cancelled() { return g_progress.cancel.load() != 0; }

// What an add asks of the archiver beyond the names: the choices of the "Add To Archive" dialog.
struct AddChoices {
    std::vector<std::wstring> switches;  // compression, split parts, encryption
    std::wstring updateActions;          // empty: add and replace
    UpdateMode mode = UpdateMode::AddAndReplace;
    bool split = false;
    bool singleFile = false;             // gzip, bzip2, xz: one compressed file
    bool deleteAfter = false;
};

// The archiver's runs of one add or delete: the first reads the archive and writes the work
// file, later ones update the work file in place.
class UpdateRuns {
public:
    UpdateRuns(ItemCatalog& catalog, const ArchiveGuard& guard, std::wstring letter, std::wstring format,
               const AddChoices* choices = nullptr)
        : catalog_(catalog),
          guard_(guard),
          letter_(std::move(letter)),
          format_(std::move(format)),
          choices_(choices),
          password_(WideToUtf8Lossy(catalog.password)) {}

    ToolCommandLine NextCommand() const {
        const bool first = !guard_.workWritten();
        ToolCommandLine command(ToolPath(kToolName), letter_, first ? catalog_.archivePath : guard_.workPath());
        command.setArchiveKind(archiveKindOf(catalog_.archivePath));
        if (!format_.empty()) command.setFormat(format_);
        if (choices_) {
            command.addSwitches(choices_->switches);
            command.setUpdateActions(choices_->updateActions);
        }
        if (first) command.writeTo(guard_.workPath());
        return command;
    }
    const std::wstring& format() const { return format_; }

    // False once the update cannot go on: a failure, Cancel, or a declined prompt.
    bool Run(const ToolCommandLine& command) {
        const ToolRunResult run = RunTool(command, ToolRunSettingsFor(catalog_, password_));
        // A password typed for this update answers the prompts of its later runs too.
        if (run.typedPassword) password_ = *run.typedPassword;
        if (run.stopped || Cancelled()) {
            stopped = true;
            return false;
        }
        if (run.succeeded()) return true;
        failure = run.started ? FailureInToolOutput(run.report, CauseNamingSystemTexts()) : UpdateFailure::NotStarted;
        // It said neither that it had finished nor what went wrong: it was ended from outside.
        if (failure == UpdateFailure::Unknown && !run.reportedSuccess) failure = UpdateFailure::ArchiverEnded;
        return false;
    }

    bool going() const { return !stopped && failure == UpdateFailure::None && refusal.empty() && !Cancelled(); }
    const std::string& password() const { return password_; }

    UpdateFailure failure = UpdateFailure::None;
    bool stopped = false;
    std::wstring refusal;  // why the add cannot be done as asked, found before the archiver ran

private:
    ItemCatalog& catalog_;
    const ArchiveGuard& guard_;
    std::wstring letter_;
    std::wstring format_;
    const AddChoices* choices_;
    std::string password_;
};

// The format the archiver is to write: the one the archive was listed as, the one its bytes
// bear, or (for a new archive) the chosen one, else the one its extension names.
std::wstring ToolFormat(const ItemCatalog& catalog, const CreationOptions* options) {
    if (!catalog.format.name.empty()) return catalog.format.name;
    if (GetFileAttributesW(catalog.archivePath.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const std::wstring found = formatBySignature(catalog.archivePath);
        if (!found.empty()) return found;
    } else if (options) {
        return options->format;
    }
    switch (archiveKindOf(catalog.archivePath)) {
    case SevenZip: return L"7z";
    case Zip: return L"zip";
    default: return FormatOfExtension(catalog.archivePath);
    }
}

// The archiver can change the archive: a format it updates, in one file of its own; a new
// archive of a format it writes.
bool CanChange(const ItemCatalog& catalog, const std::wstring& format) {
    if (!catalog.format.name.empty()) return catalog.format.writable();
    if (format.empty()) return false;
    if (GetFileAttributesW(catalog.archivePath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const std::vector<std::wstring> formats = CreatableFormats();
        return std::find(formats.begin(), formats.end(), format) != formats.end();
    }
    return formatIsUpdatable(format);
}

// The entry paths of an archive as the engine lists them; nothing when it does not open.
std::optional<std::vector<std::wstring>> EntryPaths(const std::wstring& archive, ArchiveKind kind,
                                                    const std::string& password) {
    ListingResult listing;
    listing.password = Utf8ToWideLossy(password);
    if (listArchive(archive, kind, listing) != 0) return std::nullopt;
    std::vector<std::wstring> paths;
    paths.reserve(listing.items.size());
    for (ArchiveItem& item : listing.items) paths.push_back(std::move(item.path));
    return paths;
}

using ResultCheck = std::wstring (*)(const std::vector<std::wstring>&, const std::vector<std::wstring>&,
                                     const std::vector<std::wstring>&);

ResultCheck AddCheck(const AddChoices& choices) {
    if (choices.singleFile) return SingleFileResultProblem;
    switch (choices.mode) {
    case UpdateMode::Freshen: return FreshenResultProblem;
    case UpdateMode::Synchronize: return SynchronizeResultProblem;
    default: return AddResultProblem;
    }
}

// After the runs: checks the work file against the archive and puts it in the archive's place.
// With `verifyWhole`, every item of the work file is decoded first. Returns the message for the
// user; empty when the archive was updated or the user stopped.
std::wstring Conclude(ItemCatalog& catalog, ArchiveGuard& guard, const UpdateRuns& runs, ResultCheck check,
                      const std::vector<std::wstring>& named, bool verifyWhole = false) {
    const std::wstring name = FileNameOf(catalog.archivePath);
    const auto fail = [&](const std::wstring& cause) {
        return UpdateFailureMessage(name, cause, guard.existedBefore());
    };
    if (runs.stopped || Cancelled()) return {};
    if (!runs.refusal.empty()) return fail(runs.refusal);
    if (runs.failure != UpdateFailure::None) return fail(UpdateFailureCause(runs.failure));
    const ArchiveKind kind = archiveKindOf(catalog.archivePath);
    const auto after = guard.workWritten() ? EntryPaths(guard.workReadPath(), kind, runs.password()) : std::nullopt;
    const auto before = guard.existedBefore() ? EntryPaths(catalog.archivePath, kind, runs.password())
                                              : std::optional<std::vector<std::wstring>>(std::in_place);
    if (Cancelled()) return {};
    if (!after || !before) return fail(UpdateFailureCause(UpdateFailure::Unverified));
    const std::wstring problem = check(*before, *after, named);
    if (!problem.empty()) return fail(problem);
    if (verifyWhole) {
        // The files are about to go: the archive must give every one of them back intact.
        std::wstring password = Utf8ToWideLossy(runs.password());
        const IntegrityResult checked = checkArchiveIntegrity(guard.workReadPath(), kind, password);
        if (checked.stopped || Cancelled()) return {};
        if (!checked.intact) return fail(L"the archiver's result did not read back intact (" + checked.problem + L")");
    }
    const UpdateFailure committed = guard.Commit();
    if (committed != UpdateFailure::None) return fail(UpdateFailureCause(committed));
    // The password that served the archiver opens the archive for the reload too.
    if (!runs.password().empty()) catalog.password = Utf8ToWideLossy(runs.password());
    return {};
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
void AddAtRoot(ItemCatalog& catalog, const ArchiveGuard& guard, UpdateRuns& runs, const AddChoices& choices,
               std::vector<std::wstring>& added) {
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
        // Not when synchronizing: the wildcard would take the archive's other entries for gone files.
        if (choices.mode != UpdateMode::Synchronize && NamesCoverFolder(names, FolderItems(shared), skipped)) {
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
    const std::vector<std::vector<std::wstring>> groups = GroupByDistinctLeafNames(names);
    if (choices.split && groups.size() > 1) {
        // A split archive is written in one run and cannot be updated afterwards.
        runs.refusal = L"a split archive cannot hold two items of the same name from different folders";
        return;
    }
    for (const std::vector<std::wstring>& group : groups) {
        if (!runs.going()) break;
        ToolCommandLine command = runs.NextCommand();
        command.setWorkingFolder(shared);
        command.askForPassword(encrypt);
        for (const std::wstring& name : group) command.addName(name);
        runs.Run(command);
    }
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What an add or a delete worker found.
struct ModifyResult {
    bool stopped = false;  // ended early by Cancel or a declined prompt
    std::wstring message;  // why the archive was not changed, for the user; empty when it was
    std::wstring note;     // what else the user should know of an update that was done
};

// Ends an add or a delete: the message of a failure, unless the user ended it.
OperationOutcome Concluded(const ItemCatalog& catalog, ProgressOutcome shown, const ModifyResult& result) {
    std::wstring message = result.message;
    if (shown == ProgressOutcome::NoThread)
        message = UpdateFailureMessage(FileNameOf(catalog.archivePath), L"", FileExists(catalog.archivePath));
    const bool stopped = shown == ProgressOutcome::Cancelled || result.stopped || Cancelled();
    EndOperation(stopped);
    if (stopped) return Outcome(OperationResult::Cancelled);
    return message.empty() ? Outcome(OperationResult::Done, result.note) : Outcome(OperationResult::Failed, message);
}


// After an add that asked for it: the added files that the archive holds as they are go.
std::wstring RemoveSources(ItemCatalog& catalog, const std::vector<std::wstring>& paths, const AddChoices& choices,
                           const std::string& password) {
    ListingResult listing;
    listing.password = Utf8ToWideLossy(password);
    const std::wstring archive = choices.split ? catalog.archivePath + L".001" : catalog.archivePath;
    if (listArchive(archive, archiveKindOf(catalog.archivePath), listing) != 0)
        return L"The added files were kept: the archive could not be read back.";
    const SourceRemoval removal = RemoveAddedSources(paths, listing.items, choices.singleFile);
    if (removal.kept == 0) return {};
    return std::to_wstring(removal.kept) + (removal.kept == 1 ? L" file was" : L" files were") +
           L" kept on disk because the archive does not hold " + (removal.kept == 1 ? L"it" : L"them") +
           L" as " + (removal.kept == 1 ? L"it is" : L"they are") + L" (changed meanwhile, read-only, or not added).";
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
            AddAtRoot(catalog, guard, runs, choices, added);
        else
            refused = AddInsideFolder(catalog, guard, runs, added);
    }
    if (refused.empty()) refused = Conclude(catalog, guard, runs, AddCheck(choices), added, choices.deleteAfter);
    ModifyResult result{runs.stopped, refused, {}};
    if (refused.empty() && !result.stopped && !Cancelled() && choices.deleteAfter)
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
    ModifyResult result{runs.stopped, Conclude(catalog, guard, runs, DeleteResultProblem, entries), {}};
    catalog.state = OperationState::Idle;
    return result;
}

OperationOutcome AddWithChoices(ItemCatalog& catalog, const std::vector<std::wstring>& paths,
                                const CreationOptions* options) {
    const std::wstring format = ToolFormat(catalog, options);
    if (!CanChange(catalog, format)) return Outcome(OperationResult::Unsupported, L"Operation is not supported.");
    if (paths.empty()) return Outcome(OperationResult::Done);
    g_progress.reset();
    BeginOperation();
    // A password the format cannot take is refused before anything runs.
    const std::wstring refused = PasswordProblem(format == L"zip" ? Zip : None, catalog.password);
    if (!refused.empty()) {
        const std::wstring name = FileNameOf(catalog.archivePath);
        return Concluded(catalog, ProgressOutcome::Completed,
                         {false, UpdateFailureMessage(name, refused, FileExists(catalog.archivePath)), {}});
    }
    catalog.pending = paths;
    const AddChoices choices = ChoicesOf(options, !catalog.password.empty());
    ModifyResult result;
    const ProgressOutcome shown =
        RunWithProgress(L"Add Files", L"Adding Files ", [&] { result = AddPending(catalog, format, choices); });
    catalog.pending.clear();
    return Concluded(catalog, shown, result);
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
