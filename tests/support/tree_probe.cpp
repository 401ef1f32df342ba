#include "support/tree_probe.h"

#include <commctrl.h>

namespace testsupport {

namespace {
struct ClassSearch {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ClassSearch*>(param);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (lstrcmpiW(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

LRESULT Send(HWND window, UINT message, WPARAM w, LPARAM l) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, 5000, &result)) return 0;
    return static_cast<LRESULT>(result);
}
}  // namespace

HWND FindDescendantByClass(HWND parent, const wchar_t* className) {
    ClassSearch search{className, nullptr};
    EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring TreeItemText(HWND tree, HTREEITEM item) {
    DWORD pid = 0;
    GetWindowThreadProcessId(tree, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return {};
    constexpr size_t kChars = 512;
    const size_t bytes = sizeof(TVITEMW) + kChars * sizeof(wchar_t);
    auto* remote = static_cast<BYTE*>(VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
    std::wstring text;
    if (remote) {
        TVITEMW local{};
        local.mask = TVIF_TEXT | TVIF_HANDLE;
        local.hItem = item;
        local.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(TVITEMW));
        local.cchTextMax = kChars;
        SIZE_T done = 0;
        if (WriteProcessMemory(process, remote, &local, sizeof(local), &done) &&
            Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote))) {
            wchar_t buffer[kChars + 1] = {};
            if (ReadProcessMemory(process, remote + sizeof(TVITEMW), buffer, kChars * sizeof(wchar_t), &done))
                text = buffer;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}

HTREEITEM TreeSelection(HWND tree) {
    return reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

HTREEITEM TreeChildNamed(HWND tree, HTREEITEM parent, const std::wstring& name) {
    for (auto child = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
         child; child = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
        if (lstrcmpiW(TreeItemText(tree, child).c_str(), name.c_str()) == 0) return child;
    }
    return nullptr;
}

bool TreeItemExpanded(HWND tree, HTREEITEM item) {
    return (Send(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

bool SelectTreeItem(HWND tree, HTREEITEM item) {
    return Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
}

}  // namespace testsupport
