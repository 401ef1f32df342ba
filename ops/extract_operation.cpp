// Extracting selected entries, extracting one entry to view it, and activating a row.
#include <windows.h>
#include <shellapi.h>

#include "app/app_globals.h"
#include "base/text.h"
#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "catalog/path_text.h"
#include "engine/archive_kind.h"
#include "engine/extraction.h"
#include "ops/operation_support.h"
#include "ops/progress.h"
#include "ops/single_item_extraction.h"
#include "ops/temp_workspace.h"

int ItemCatalog::ExtractEntries(const std::vector<std::wstring>& names, const std::wstring& destinationFolder) {
    yesToAll = 0;
    g_progress.reset();
    pending = names;
    destination = destinationFolder;
    BeginOperation();
    int result = 0;
    ExtractionOutcome extraction;
    const ProgressOutcome outcome = RunWithProgress(L"Extract Files", L"Extracting Files ... ",
                                                    [this, &result, &extraction] { ExtractSelection(result, extraction); });
    const bool cancelled = outcome == ProgressOutcome::Cancelled || cancel.load() != 0 ||
                           g_progress.passwordRefused.load() != 0 || extraction.cancelled;
    const std::wstring name = FileNameOf(archivePath);
    if (!cancelled && outcome == ProgressOutcome::NoThread) {
        ShowOperationMessage(L"Could not extract " + name);
    } else if (!cancelled && result != 0) {
        const std::wstring message = extractionMessage(extraction, name);
        ShowOperationMessage(message.empty() ? L"Could not extract " + name : message);
    } else if (!cancelled && extraction.renamed != 0) {
        ShowOperationMessage(extractionMessage(extraction, name));
    }
    EndOperation(cancelled);
    return 0;
}

bool ItemCatalog::ExtractSelection(int& result, ExtractionOutcome& outcome) {
    state = OperationState::Extracting;
    RemoveTempFolder();
    std::vector<std::wstring> selection;
    const std::wstring folder = Utf8ToWideLossy(currentFolder);
    for (const std::wstring& name : pending) {
        if (cancel.load() != 0) break;
        selection.push_back(folder.empty() ? name : folder + L"\\" + name);
    }
    result = 0;
    if (cancel.load() == 0 && !selection.empty()) {
        std::wstring usedPassword = password;
        result = extractArchive(archivePath, archiveKindOf(archivePath), destination, usedPassword, &selection, &outcome);
        // A password asked during the extraction is known from now on.
        if (result == 0) password = usedPassword;
    }
    state = OperationState::Idle;
    pending.clear();
    return result == 0;
}

bool ItemCatalog::ExtractForViewing(const std::wstring& entryPath, std::wstring& extractedFile) {
    extractedFile.clear();
    RemoveTempFolder();
    // A fresh, empty folder: whatever is in it afterwards was written for this entry.
    tempFolder = CreateFreshTempFolder(L"Tolvar");
    if (tempFolder.empty()) return false;
    state = OperationState::Extracting;
    g_progress.reset();
    BeginOperation();
    std::wstring usedPassword = password;
    bool extracted = false;
    ExtractionOutcome extraction;
    // A large entry takes a while: the window keeps painting and the user may cancel.
    const auto extract = [&] {
        extracted = ExtractSingleItem(archivePath, archiveKindOf(archivePath), tempFolder, usedPassword, entryPath,
                                      extractedFile, &extraction);
    };
    const ProgressOutcome outcome = RunWithProgress(L"Extract Files", L"Extracting Files ... ", extract);
    if (outcome == ProgressOutcome::NoThread) extract();
    state = OperationState::Idle;
    const bool cancelled = outcome == ProgressOutcome::Cancelled || cancel.load() != 0;
    if (!extracted || cancelled) {
        if (!cancelled && g_progress.passwordRefused.load() == 0 && !extraction.cancelled) {
            const std::wstring name = FileNameOf(archivePath);
            const std::wstring message = extractionMessage(extraction, name);
            ShowOperationMessage(message.empty() ? L"Could not extract " + name : message);
        }
        EndOperation(cancelled);
        extractedFile.clear();
        return false;
    }
    EndOperation(false);
    password = usedPassword;
    return true;
}

int ItemCatalog::ActivateEntry(const std::wstring& fullPath) {
    FolderNode* folder = FindNode(currentFolder, false);
    if (!folder) return 0;
    for (const auto& childPtr : folder->children) {
        const FolderNode& child = *childPtr;
        if (Utf8ToWideLossy(RowFullPath(child)) != fullPath) continue;
        if (child.isFolder()) {
            const std::string path = RowFullPath(child);
            EnterFolder(path);
            return RowCount();
        }
        std::wstring extracted;
        if (!ExtractForViewing(fullPath, extracted)) return 0;
        const HWND owner = g_app.OwnerWindow.load();
        if (archiveKindOf(fullPath) != None) {
            // An archive inside the archive opens in a new instance of the program, which owns
            // the copy from now on and removes it when it ends: nothing done here touches it.
            const std::wstring program = SelfProgramPath();
            if (reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"open", program.c_str(), extracted.c_str(), nullptr,
                                                        SW_SHOW)) > 32)
                tempFolder.clear();
        } else {
            ShellExecuteW(owner, L"open", extracted.c_str(), nullptr, nullptr, SW_SHOW);
        }
        return 0;
    }
    return 0;
}
