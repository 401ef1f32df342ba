// Extracting selected entries, extracting one entry to view it, and activating a row.
#include <windows.h>
#include <shellapi.h>

#include <utility>

#include "base/paths.h"
#include "base/system_error.h"
#include "base/text.h"
#include "catalog/item_catalog.h"
#include "engine/archive_kind.h"
#include "engine/archive_probe.h"
#include "engine/extraction.h"
#include "ops/archive_operations.h"
#include "ops/edited_entries.h"
#include "ops/extraction_report.h"
#include "ops/operation_support.h"
#include "ops/operation_ui.h"
#include "ops/progress.h"
#include "ops/single_item_extraction.h"
#include "ops/temp_workspace.h"

namespace {

// The extract worker's body: the request's names of the current folder (or the whole archive)
// below the destination. Returns the engine client's result (0 when extracted).
int ExtractSelection(ItemCatalog& catalog, const ExtractRequest& request, ExtractionOutcome& outcome) {
    catalog.state = OperationState::Extracting;
    catalog.RemoveTempFolder();
    std::vector<std::wstring> selection;
    const std::wstring& folder = catalog.currentFolder;
    for (const std::wstring& name : catalog.pending) {
        if (OperationCancelled()) break;
        selection.push_back(JoinPath(folder, name));
    }
    int result = 0;
    if (!OperationCancelled() && (!selection.empty() || request.names.empty())) {
        ExtractionOptions options;
        options.existingFiles = request.existingFiles;
        options.noPaths = request.noPaths;
        options.zoneMarking = request.zoneMarking;
        // The whole archive keeps its paths; a selection is written below the folder shown.
        if (!request.keepFolders && !request.names.empty()) options.baseFolder = folder;
        std::wstring usedPassword = request.password.empty() ? catalog.password : request.password;
        RetryingWrongPasswords(catalog.archivePath, outcome, [&](bool again) {
            if (again) usedPassword.clear();
            result = extractArchive(catalog.archivePath, archiveKindOf(catalog.archivePath), catalog.destination,
                                    usedPassword, selection.empty() ? nullptr : &selection, options, &outcome);
        });
        // A password asked during the extraction is known from now on.
        if (result == 0) catalog.password = usedPassword;
    }
    catalog.state = OperationState::Idle;
    catalog.pending.clear();
    return result;
}

// "Could not extract <name>" with the causes the extraction found.
std::wstring ExtractFailure(const ExtractionOutcome& extraction, const std::wstring& name) {
    const std::wstring message = ExtractionMessage(extraction, name);
    return message.empty() ? L"Could not extract " + name + L"\n\nNo file was written." : message;
}

}  // namespace

OperationOutcome ExtractEntries(ItemCatalog& catalog, const std::vector<std::wstring>& names,
                                const std::wstring& destinationFolder) {
    ExtractRequest request;
    request.names = names;
    request.destination = destinationFolder;
    return names.empty() ? Outcome(OperationResult::Done) : ExtractEntries(catalog, request);
}

OperationOutcome ExtractEntries(ItemCatalog& catalog, const ExtractRequest& request) {
    catalog.yesToAll = 0;
    catalog.pending = request.names;
    catalog.destination = request.destination;
    OperationProgress progress;
    int result = 0;
    ExtractionOutcome extraction;
    const ProgressOutcome shown = RunWithProgress(L"Extract Files", L"Extracting Files ... ", progress,
                                                  [&] { result = ExtractSelection(catalog, request, extraction); });
    const bool cancelled = progress.endedByUser(shown == ProgressOutcome::Cancelled || extraction.cancelled);
    const std::wstring name = FileNameOf(catalog.archivePath);
    if (cancelled) return Outcome(OperationResult::Cancelled);
    if (shown == ProgressOutcome::NoThread)
        return Outcome(OperationResult::Failed, L"Could not extract " + name + L"\n\nThe extraction could not be started.");
    if (result != 0) return Outcome(OperationResult::Failed, ExtractFailure(extraction, name));
    // Items renamed, symbolic links written as files, data after the end: said, not failed.
    return Outcome(OperationResult::Done, ExtractionMessage(extraction, name));
}

OperationOutcome ExtractForViewing(ItemCatalog& catalog, const std::wstring& entryPath, std::wstring& extractedFile,
                                   ZoneMarking zoneMarking) {
    extractedFile.clear();
    catalog.RemoveTempFolder();
    // A fresh, empty folder: whatever is in it afterwards was written for this entry.
    catalog.tempFolder = CreateFreshTempFolder(kViewingPrefix);
    if (catalog.tempFolder.empty())
        return Outcome(OperationResult::Failed, L"Could not extract " + FileNameOf(catalog.archivePath) +
                                                    L"\n\nNo temporary folder could be made for it: " +
                                                    SystemErrorText(GetLastError()) + L".");
    catalog.state = OperationState::Extracting;
    OperationProgress progress;
    std::wstring usedPassword = catalog.password;
    bool extracted = false;
    ExtractionOutcome extraction;
    // A large entry takes a while: the window keeps painting and the user may cancel.
    const auto extract = [&] {
        RetryingWrongPasswords(catalog.archivePath, extraction, [&](bool again) {
            if (again) usedPassword.clear();
            extracted = ExtractSingleItem(catalog.archivePath, archiveKindOf(catalog.archivePath), catalog.tempFolder,
                                          usedPassword, entryPath, extractedFile, &extraction, zoneMarking);
        });
    };
    const ProgressOutcome shown = RunWithProgress(L"Extract Files", L"Extracting Files ... ", progress, extract);
    if (shown == ProgressOutcome::NoThread) extract();
    catalog.state = OperationState::Idle;
    const bool cancelledWhileExtracting = shown == ProgressOutcome::Cancelled || progress.cancelled();
    if (!extracted || cancelledWhileExtracting) {
        const bool refused = progress.passwordRefused.load() != 0 || extraction.cancelled;
        extractedFile.clear();
        if (cancelledWhileExtracting || refused) return Outcome(OperationResult::Cancelled);
        return Outcome(OperationResult::Failed, ExtractFailure(extraction, FileNameOf(catalog.archivePath)));
    }
    catalog.password = usedPassword;
    return Outcome(OperationResult::Done);
}

ActivationOutcome ActivateEntry(ItemCatalog& catalog, const std::wstring& fullPath, ZoneMarking zoneMarking) {
    ActivationOutcome activated;
    for (int row = 1; row < catalog.RowCount(); ++row) {
        if (catalog.RowFullPath(row) != fullPath) continue;
        if (catalog.RowIsFolder(row)) {
            catalog.EnterFolder(fullPath);
            activated.activation = Activation::EnteredFolder;
            return activated;
        }
        std::wstring extracted;
        activated.extraction = ExtractForViewing(catalog, fullPath, extracted, zoneMarking);
        if (activated.extraction.result != OperationResult::Done) {
            activated.activation = Activation::FileNotOpened;
            return activated;
        }
        activated.activation = Activation::OpenedFile;
        const HWND owner = CurrentOperationUi().OwnerWindow();
        if (archiveKindOf(fullPath) != None || guessArchiveFile(extracted) == ArchiveGuess::ByName) {
            // An archive inside the archive opens in a new instance of the program, which owns
            // the copy from now on and removes it when it ends: nothing done here touches it.
            const std::wstring program = SelfProgramPath();
            if (reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"open", program.c_str(), extracted.c_str(), nullptr,
                                                        SW_SHOW)) > 32)
                catalog.tempFolder.clear();
        } else {
            // The program that opens it gets a folder of its own, which the caller keeps until it
            // has looked whether the file was changed: the next entry opened must not remove it
            // while the user still edits it.
            SHELLEXECUTEINFOW open{};
            open.cbSize = sizeof(open);
            // No "Open with" question for a type without a program: the open simply fails.
            open.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
            open.hwnd = owner;
            open.lpVerb = L"open";
            open.lpFile = extracted.c_str();
            open.nShow = SW_SHOW;
            const std::wstring digest = CopyDigest(extracted);
            if (ShellExecuteExW(&open)) {
                activated.openedDigest = digest;
                activated.process.reset(open.hProcess);
                activated.openedFile = extracted;
                activated.openedFolder = std::exchange(catalog.tempFolder, std::wstring());
            }
        }
        return activated;
    }
    return activated;
}
