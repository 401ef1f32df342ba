#include "ui/folder_browser.h"

#include <commctrl.h>
#include <shlobj.h>

#include <memory>

#include "base/handles.h"
#include "base/paths.h"

namespace {

constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;  // 0x41
static_assert(kBrowseFlags == 0x41);

// What the browser is asked to open on, and whether its selection got there.
struct StartFolder {
    const std::wstring* path;
    bool reached;
};

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

bool ReachedFolder(const ITEMIDLIST* selected, const std::wstring& path) {
    wchar_t selectedPath[MAX_PATH] = {};
    if (!selected || !SHGetPathFromIDListW(selected, selectedPath)) return false;
    selectedPath[MAX_PATH - 1] = L'\0';
    return ::SameFolder(selectedPath, path);
}

int CALLBACK OnBrowserEvent(HWND browser, UINT message, LPARAM value, LPARAM data) {
    auto* start = reinterpret_cast<StartFolder*>(data);
    if (!start) return 0;
    if (message == BFFM_INITIALIZED) {
        const LPARAM path = reinterpret_cast<LPARAM>(start->path->c_str());
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, path);
        SendMessageW(browser, BFFM_SETEXPANDED, TRUE, path);
        if (start->reached) ExpandSelectedFolder(browser);
    } else if (message == BFFM_SELCHANGED && !start->reached) {
        start->reached = ReachedFolder(reinterpret_cast<const ITEMIDLIST*>(value), *start->path);
    }
    return 0;
}

// Some shells tell folders apart by identifiers that carry their last access time, and the
// file system updates that time on the first read after a change (a folder that just received
// the archive, for instance). Reading the folder and the folders above it once, before the
// browser takes their identifiers, keeps that time from changing under the browser, which
// would then not find the folder it is asked to open on.
void SettleFolderChain(std::wstring folder) {
    while (!folder.empty()) {
        WIN32_FIND_DATAW data;
        UniqueFindHandle find(FindFirstFileW(JoinPath(folder, L"*").c_str(), &data));
        if (find) {
            while (FindNextFileW(find.get(), &data)) {
            }
        }
        folder = ParentOf(folder);
    }
}

struct IdListDeleter {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};

}  // namespace

std::optional<std::wstring> BrowseForExtractFolder(HWND owner, const std::wstring& startFolder) {
    return BrowseForFolder(owner, startFolder, kExtractFolderPrompt);
}

std::optional<std::wstring> BrowseForFolder(HWND owner, const std::wstring& startFolder, const wchar_t* title) {
    StartFolder start{&startFolder, false};
    SettleFolderChain(startFolder);
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    info.ulFlags = kBrowseFlags;
    info.lpfn = OnBrowserEvent;
    info.lParam = startFolder.empty() ? 0 : reinterpret_cast<LPARAM>(&start);
    std::unique_ptr<ITEMIDLIST, IdListDeleter> chosen(SHBrowseForFolderW(&info));
    if (!chosen) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.get(), path) || path[0] == L'\0') return std::nullopt;
    path[MAX_PATH - 1] = L'\0';
    return std::wstring(path);
}
