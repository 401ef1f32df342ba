// The content view's commands on its rows: extract, delete, and dropped files. The view asks
// the user first (which rows, which folder, whether to delete); these do the work.
#include <windows.h>
#include <shellapi.h>

#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "ops/archive_operations.h"
#include "ops/whole_archive_extraction.h"
#include "ui/app_globals.h"
#include "ui/content_model.h"

std::vector<std::wstring> ContentModel::PathsOf(const std::vector<int>& positions) const {
    std::vector<std::wstring> paths;
    for (int position : positions)
        if (position >= 0 && position < RowCount()) paths.push_back(RowFullPath(position));
    return paths;
}

std::wstring ContentModel::ExtractStartFolder(const std::vector<int>& positions) const {
    if (catalog_) return FolderOf(catalog_->archivePath);
    return positions.empty() || positions.front() < 0 || positions.front() >= RowCount()
               ? std::wstring()
               : FolderOf(RowFullPath(positions.front()));
}

ViewChange ContentModel::ExtractRows(const std::vector<int>& positions, const std::wstring& folder, bool* done) {
    if (catalog_) {
        std::vector<std::wstring> names;
        for (int position : positions)
            if (position >= 0 && position < RowCount()) names.emplace_back(RowName(position));
        const OperationOutcome outcome = ExtractEntries(*catalog_, names, folder);
        Tell(outcome);
        if (done) *done = outcome.done();
        return ViewChange::Changed;
    }
    const ItemRow row = RowAt(positions.front());
    // A file already in the folder is asked about, never replaced unseen.
    const WholeArchiveExtraction extracted = ExtractWholeArchive(row.fullPath, folder, ExistingFilePolicy::Ask);
    if (done) *done = extracted.result == WholeArchiveResult::Extracted;
    Tell(WholeArchiveOutcome(extracted, row.name));
    // What was written into the folder shown, or below it, is listed at once.
    if (IsSameOrInside(folder, currentFolder) && BrowseFolder(currentFolder)) return ViewChange::Changed;
    return extracted.result == WholeArchiveResult::Extracted ? ViewChange::None : ViewChange::Changed;
}

ViewChange ContentModel::DeleteRows(const std::vector<int>& positions) {
    if (catalog_) {
        std::vector<std::wstring> names;
        for (int position : positions)
            if (position >= 0 && position < RowCount()) names.emplace_back(RowName(position));
        const OperationOutcome outcome = DeleteEntries(*catalog_, names);
        Tell(outcome);
        LoadArchiveRows();
        return outcome.result == OperationResult::Unsupported ? ViewChange::None : ViewChange::Changed;
    }
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    // The shell takes a list of paths, each terminated, closed by an extra terminator.
    std::wstring list;
    for (int position : positions) {
        const std::wstring path = RowFullPath(position);
        if (path.empty()) continue;
        list += path;
        list.push_back(L'\0');
    }
    if (list.empty()) return ViewChange::None;
    list.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = g_app.OwnerWindow.load();
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_MULTIDESTFILES | (shift ? 0 : FOF_ALLOWUNDO);
    if (SHFileOperationW(&operation) != 0) return ViewChange::None;
    SelectLocation(currentLocation);
    return ViewChange::Changed;
}

void ContentModel::AddDroppedFiles(const std::vector<std::wstring>& paths) {
    if (!catalog_) {
        Tell(L"Please open an archive file first.", MessageKind::Warning);
        return;
    }
    Tell(AddFiles(*catalog_, paths));
    Tell(ReloadArchive(*catalog_));
    LoadArchiveRows();
}
