#include "support/remote_list.h"

#include <commctrl.h>
#include <shlobj.h>

#include "support/test_support.h"
#include "support/window_probe.h"

#include <algorithm>
#include <cstring>

namespace testsupport {

namespace {

// A block of memory in the process that owns `window`, freed at the end.
class RemoteBlock {
public:
    RemoteBlock(HWND window, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    bool ok() const { return address_ != nullptr; }
    char* address() const { return static_cast<char*>(address_); }
    bool write(size_t offset, const void* data, size_t length) {
        SIZE_T done = 0;
        return offset + length <= size_ &&
               WriteProcessMemory(process_, address() + offset, data, length, &done) && done == length;
    }
    bool read(size_t offset, void* data, size_t length) {
        SIZE_T done = 0;
        return offset + length <= size_ &&
               ReadProcessMemory(process_, address() + offset, data, length, &done) && done == length;
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result);
    return static_cast<LRESULT>(result);
}

}  // namespace

int RemoteListCount(HWND list) { return static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring RemoteListItemText(HWND list, int item, int subItem) {
    constexpr size_t kChars = 1024;
    RemoteBlock block(list, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    if (!block.ok()) return {};
    LVITEMW record{};
    record.mask = LVIF_TEXT;
    record.iItem = item;
    record.iSubItem = subItem;
    record.pszText = reinterpret_cast<wchar_t*>(block.address() + sizeof(LVITEMW));
    record.cchTextMax = kChars;
    std::vector<wchar_t> empty(kChars, L'\0');
    block.write(0, &record, sizeof(record));
    block.write(sizeof(LVITEMW), empty.data(), kChars * sizeof(wchar_t));
    Send(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(block.address()));
    std::vector<wchar_t> text(kChars, L'\0');
    block.read(sizeof(LVITEMW), text.data(), kChars * sizeof(wchar_t));
    text.back() = L'\0';
    return text.data();
}

void RemoteListSelect(HWND list, const std::vector<int>& items) {
    RemoteBlock block(list, sizeof(LVITEMW));
    if (!block.ok()) return;
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    block.write(0, &state, sizeof(state));
    Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(block.address()));
    bool first = true;
    for (int item : items) {
        state.state = LVIS_SELECTED | (first ? LVIS_FOCUSED : 0);
        first = false;
        block.write(0, &state, sizeof(state));
        Send(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(block.address()));
    }
}

std::vector<int> RemoteListSelection(HWND list) {
    std::vector<int> items;
    int item = -1;
    while ((item = static_cast<int>(Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_SELECTED))) >= 0)
        items.push_back(item);
    return items;
}

void RemoteBrowserSelect(HWND browser, const std::wstring& path) {
    const size_t bytes = (path.size() + 1) * sizeof(wchar_t);
    RemoteBlock block(browser, bytes);
    if (!block.ok()) return;
    block.write(0, path.c_str(), bytes);
    Send(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(block.address()));
}

HWND WaitForFolderBrowserWindow(DWORD pid) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (const wchar_t* caption : {L"Browse for Folder", L"Browse For Folder"})
            if ((found = FindTopWindow(caption, pid)) != nullptr) return true;
        return false;
    });
    return found;
}

void RemoteListDoubleClick(HWND list, int item) {
    RemoteBlock block(list, sizeof(RECT));
    if (!block.ok()) return;
    RECT rect{};
    rect.left = LVIR_LABEL;
    block.write(0, &rect, sizeof(rect));
    Send(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(block.address()));
    block.read(0, &rect, sizeof(rect));
    const LPARAM at = MAKELPARAM(rect.left + 5, (rect.top + rect.bottom) / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
}

void RemoteDropFiles(HWND target, const std::vector<std::wstring>& paths) {
    // A DROPFILES header followed by the paths, each terminated, and a closing terminator.
    std::wstring list;
    for (const std::wstring& p : paths) {
        list += p;
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    DWORD pid = 0;
    GetWindowThreadProcessId(target, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return;
    // Left for the target: it frees the block when it finishes the drop.
    void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote) {
        std::string block(bytes, '\0');
        DROPFILES header{};
        header.pFiles = sizeof(DROPFILES);
        header.fWide = TRUE;
        std::memcpy(block.data(), &header, sizeof(header));
        std::memcpy(block.data() + sizeof(header), list.data(), list.size() * sizeof(wchar_t));
        SIZE_T done = 0;
        WriteProcessMemory(process, remote, block.data(), bytes, &done);
        PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
    }
    CloseHandle(process);
}

std::vector<std::wstring> RemoteStatusTexts(HWND statusBar) {
    std::vector<std::wstring> texts;
    const int parts = static_cast<int>(Send(statusBar, SB_GETPARTS, 0, 0));
    constexpr size_t kChars = 512;
    for (int part = 0; part < parts; ++part) {
        const size_t length = LOWORD(Send(statusBar, SB_GETTEXTLENGTHW, part, 0));
        RemoteBlock block(statusBar, kChars * sizeof(wchar_t));
        if (!block.ok() || length >= kChars) return {};
        Send(statusBar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(block.address()));
        std::wstring text(length, L'\0');
        block.read(0, text.data(), length * sizeof(wchar_t));
        texts.push_back(text);
    }
    return texts;
}

std::vector<int> RemoteStatusParts(HWND statusBar) {
    constexpr int kMost = 16;
    RemoteBlock block(statusBar, kMost * sizeof(int));
    if (!block.ok()) return {};
    const int parts = static_cast<int>(Send(statusBar, SB_GETPARTS, kMost, reinterpret_cast<LPARAM>(block.address())));
    std::vector<int> edges(static_cast<size_t>(std::max(0, std::min(parts, kMost))));
    if (!edges.empty() && !block.read(0, edges.data(), edges.size() * sizeof(int))) return {};
    return edges;
}

}  // namespace testsupport
