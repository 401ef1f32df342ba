#include "app/folder_browser.h"

#include <commctrl.h>
#include <shlobj.h>

#include <memory>

namespace {

constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;  // 0x41
static_assert(kBrowseFlags == 0x41);

BOOL CALLBACK FindTree(HWND window, LPARAM found) {
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (lstrcmpiW(className, WC_TREEVIEWW) != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Some browsers expand only the folders above the selection: the selected folder is opened
// too, so that its subfolders show at once.
void ExpandSelectedFolder(HWND browser) {
    HWND tree = nullptr;
    EnumChildWindows(browser, FindTree, reinterpret_cast<LPARAM>(&tree));
    if (!tree) return;
    if (HTREEITEM selected = TreeView_GetSelection(tree)) TreeView_Expand(tree, selected, TVE_EXPAND);
}

int CALLBACK OnBrowserEvent(HWND browser, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data) {
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
        SendMessageW(browser, BFFM_SETEXPANDED, TRUE, data);
        ExpandSelectedFolder(browser);
    }
    return 0;
}

struct IdListDeleter {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};

}  // namespace

std::optional<std::wstring> BrowseForExtractFolder(HWND owner, const std::wstring& startFolder) {
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = kExtractFolderPrompt;
    info.ulFlags = kBrowseFlags;
    info.lpfn = OnBrowserEvent;
    info.lParam = startFolder.empty() ? 0 : reinterpret_cast<LPARAM>(startFolder.c_str());
    std::unique_ptr<ITEMIDLIST, IdListDeleter> chosen(SHBrowseForFolderW(&info));
    if (!chosen) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.get(), path) || path[0] == L'\0') return std::nullopt;
    path[MAX_PATH - 1] = L'\0';
    return std::wstring(path);
}
