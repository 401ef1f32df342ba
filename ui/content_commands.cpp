// The content view's commands on its rows: add, extract, delete, and dropped files.
#include <windows.h>
#include <shellapi.h>

#include "app/app_globals.h"
#include "app/folder_browser.h"
#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "ops/whole_archive_extraction.h"
#include "ui/add_to_archive_dialog.h"
#include "ui/content_model.h"

namespace {

void Tell(HWND owner, const std::wstring& text, UINT flags) { MessageBoxW(owner, text.c_str(), kDisplayName, flags); }

void WarnNothingSelected() {
    Tell(g_app.OwnerWindow.load(), L"No files selected. You need to select files this operation", MB_ICONWARNING);
}

}  // namespace

int ContentModel::AddRows(const std::vector<int>& positions) {
    if (catalog_) {
        Tell(g_app.OwnerWindow.load(), L"Operation is not supported.\nPlease drap and drop files from Windows Explorer.",
             MB_OK);
        return -1;
    }
    if (positions.empty()) {
        WarnNothingSelected();
        return -1;
    }
    std::vector<std::wstring> paths;
    for (int position : positions)
        if (const ItemRow* row = RowPointer(position)) paths.push_back(row->fullPath);
    const int result = AddFromSelection(paths);
    BrowseFolder(currentFolder);  // a new archive shows up in the listing
    return result;
}

int ContentModel::ExtractRows(const std::vector<int>& positions) {
    if (catalog_) {
        const auto folder = BrowseForExtractFolder(GetActiveWindow(), FolderOf(catalog_->archivePath));
        if (!folder) return -1;
        std::vector<std::wstring> names;
        for (int position : positions)
            if (const ItemRow* row = RowPointer(position)) names.push_back(row->name);
        return catalog_->ExtractEntries(names, *folder);
    }
    if (positions.size() != 1) {
        WarnNothingSelected();
        return -1;
    }
    const ItemRow row = RowAt(positions.front());
    const auto folder = BrowseForExtractFolder(GetActiveWindow(), FolderOf(row.fullPath));
    if (!folder) return 1;
    const WholeArchiveExtraction extracted = ExtractWholeArchive(row.fullPath, *folder);
    if (extracted.result == -1) {
        Tell(g_app.OwnerWindow.load(), row.name + L" is not valid archive file.", MB_OK);
        return 0;
    }
    // A failure says why; a success speaks only of items that had to take names of their own.
    const std::wstring message = extractionMessage(extracted.outcome, row.name);
    if (extracted.result != 0 && !extracted.cancelled)
        Tell(g_app.OwnerWindow.load(), message.empty() ? L"Could not extract " + row.name : message, MB_OK);
    else if (extracted.result == 0 && !message.empty())
        Tell(g_app.OwnerWindow.load(), message, MB_OK);
    // What was written into the folder shown, or below it, is listed at once.
    if (IsSameOrInside(*folder, currentFolder) && BrowseFolder(currentFolder) >= 0) return 0;
    return extracted.result == 0 ? 1 : 0;
}

int ContentModel::DeleteRows(const std::vector<int>& positions) {
    if (catalog_) {
        const wchar_t* question = positions.size() == 1 ? L"Are you sure you want to delete a selected file?"
                                                        : L"Are you sure you want to delete selected files?";
        if (MessageBoxW(g_app.OwnerWindow.load(), question, kDisplayName, MB_ICONWARNING | MB_YESNO) != IDYES)
            return -1;
        std::vector<std::wstring> names;
        for (int position : positions)
            if (const ItemRow* row = RowPointer(position)) names.push_back(row->name);
        const int result = catalog_->DeleteEntries(names);
        LoadArchiveRows();
        return result;
    }
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    // The shell takes a list of paths, each terminated, closed by an extra terminator.
    std::wstring list;
    for (int position : positions) {
        const ItemRow* row = RowPointer(position);
        if (!row || row->fullPath.empty()) continue;
        list += row->fullPath;
        list.push_back(L'\0');
    }
    if (list.empty()) return -1;
    list.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = g_app.OwnerWindow.load();
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_MULTIDESTFILES | (shift ? 0 : FOF_ALLOWUNDO);
    const int result = SHFileOperationW(&operation);
    if (result == 0) SelectLocation(currentLocation);
    return result;
}

int ContentModel::AddDroppedFiles(const std::vector<std::wstring>& paths) {
    if (!catalog_) {
        Tell(g_app.OwnerWindow.load(), L"Please open an archive file first.", MB_ICONWARNING);
        return -1;
    }
    const int result = catalog_->AddFiles(paths);
    catalog_->ReloadArchive();
    LoadArchiveRows();
    return result;
}
