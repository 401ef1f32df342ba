#include "ui/folder_picker.h"

#include <shlobj.h>

namespace {

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data) {
        SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
        SendMessageW(window, BFFM_SETEXPANDED, TRUE, data);
    }
    return 0;
}

}  // namespace

std::optional<std::wstring> PickFolder(HWND owner, const std::wstring& initialFolder) {
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = L"Please select a folder to extract to...";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(initialFolder.c_str());
    LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
    if (!chosen) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    const BOOL ok = SHGetPathFromIDListW(chosen, path);
    CoTaskMemFree(chosen);
    if (!ok || path[0] == L'\0') return std::nullopt;
    return std::wstring(path);
}
