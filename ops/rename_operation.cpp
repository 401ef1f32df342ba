// Renaming an entry of the archive and making a new folder in it, through the archiver 7z.exe,
// with the guarantees of every change: the archiver writes a work file, which takes the
// archive's place only once the engine finds exactly what it should in it.
#include <windows.h>

#include "base/folder_tree.h"
#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "catalog/path_text.h"
#include "engine/archive_kind.h"
#include "ops/archive_guard.h"
#include "ops/archive_operations.h"
#include "ops/entry_names.h"
#include "ops/operation_support.h"
#include "ops/progress.h"
#include "ops/temp_workspace.h"
#include "ops/update_check.h"
#include "ops/update_runs.h"

namespace {

// The names of the current folder's entries.
std::vector<std::wstring> CurrentFolderNames(ItemCatalog& catalog) {
    // The rows after the way up are the folder's children.
    std::vector<std::wstring> names;
    for (int row = 1; row < catalog.RowCount(); ++row) names.emplace_back(catalog.RowName(row));
    return names;
}

std::vector<std::wstring> Without(std::vector<std::wstring> names, const std::wstring& name) {
    std::erase(names, name);
    return names;
}

// Why the name cannot be given in this folder; empty when it can.
std::wstring RefusedName(const std::wstring& name, const std::vector<std::wstring>& siblings) {
    if (std::wstring problem = NameProblem(name); !problem.empty()) return problem;
    if (NameTaken(name, siblings)) return L"An item named \"" + name + L"\" is already in this folder.";
    return {};
}

ModifyResult RenamePending(ItemCatalog& catalog, const std::wstring& from, const std::wstring& to) {
    catalog.state = OperationState::Renaming;
    ArchiveGuard guard(catalog.archivePath);
    UpdateRuns runs(catalog, guard, L"rn", ToolFormat(catalog, nullptr));
    runs.failure = guard.CheckReplaceable();
    if (runs.going()) {
        ToolCommandLine command = runs.NextCommand();
        command.reportPercent(true);
        command.askForPassword(!catalog.password.empty());
        command.addRename(from, to);
        runs.Run(command);
    }
    ModifyResult result{runs.stopped,
                        Conclude(catalog, guard, runs,
                                 [&](const std::vector<std::wstring_view>& before,
                                     const std::vector<std::wstring_view>& after) {
                                     return RenameResultProblem(before, after, from, to);
                                 },
                                 UntouchedEntries{{}, from, to, false}),
                        {}};
    catalog.state = OperationState::Idle;
    return result;
}

}  // namespace

OperationOutcome RenameEntry(ItemCatalog& catalog, const std::wstring& name, const std::wstring& newName) {
    if (!CanChange(catalog, ToolFormat(catalog, nullptr)))
        return Outcome(OperationResult::Unsupported, L"Operation is not supported.");
    if (newName == name) return Outcome(OperationResult::Done);
    const std::wstring refused = RefusedName(newName, Without(CurrentFolderNames(catalog), name));
    if (!refused.empty()) return Outcome(OperationResult::Failed, L"Could not rename \"" + name + L"\".\n" + refused);
    const std::wstring folder = catalog.currentFolder;
    const std::wstring from = JoinPath(folder, name), to = JoinPath(folder, newName);
    for (const std::wstring& entry : {from, to}) {
        // A name the archiver would take for another: nothing runs.
        const std::wstring problem = EntryNameProblem(entry);
        if (!problem.empty())
            return Outcome(OperationResult::Failed,
                           UpdateFailureMessage(FileNameOf(catalog.archivePath),
                                                L"the archiver cannot be told the entry \"" + entry + L"\" exactly (" +
                                                    problem + L")",
                                                true));
    }
    OperationProgress progress;
    progress.total = 100;
    ModifyResult result;
    const ProgressOutcome shown =
        RunWithProgress(L"Rename", L"Renaming ", progress, [&] { result = RenamePending(catalog, from, to); });
    OperationOutcome outcome = Concluded(catalog, progress, shown, result);
    const OperationOutcome reloaded = ShowChangedArchive(catalog);
    outcome.messages.insert(outcome.messages.end(), reloaded.messages.begin(), reloaded.messages.end());
    return outcome;
}

OperationOutcome AddNewFolder(ItemCatalog& catalog, const std::wstring& name) {
    if (!CanChange(catalog, ToolFormat(catalog, nullptr)))
        return Outcome(OperationResult::Unsupported, L"Operation is not supported.");
    const std::wstring refused = RefusedName(name, CurrentFolderNames(catalog));
    if (!refused.empty())
        return Outcome(OperationResult::Failed, L"Could not make the folder \"" + name + L"\".\n" + refused);
    // An empty folder of that name, added as any folder is.
    const std::wstring staging = CreateFreshTempFolder(kNewFolderPrefix);
    const std::wstring folder = JoinPath(staging, name);
    if (staging.empty() || !CreateDirectoryW(ExtendedPath(folder).c_str(), nullptr)) {
        if (!staging.empty()) RemoveFolderTree(staging);
        return Outcome(OperationResult::Failed,
                       UpdateFailureMessage(FileNameOf(catalog.archivePath),
                                            L"no folder could be made in the temporary folder", true));
    }
    OperationOutcome outcome = AddFiles(catalog, {folder});
    RemoveFolderTree(staging);
    return outcome;
}
