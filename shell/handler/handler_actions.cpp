#include "shell/handler/handler_actions.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwctype>
#include <map>

#include "base/handles.h"
#include "base/paths.h"
#include "base/system_error.h"
#include "shell/handler/handler_module.h"

namespace {

// ASSOCSTR_PROGID, which the headers declare only for newer systems than the build names.
constexpr ASSOCSTR kProgIdString = static_cast<ASSOCSTR>(20);

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ClassKeyExists(const std::wstring& path) {
    UniqueRegKey key;
    return !path.empty() && RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS;
}

// The ProgID the shell uses for the extension: the user's choice where the system keeps one.
std::wstring ProgIdOf(const std::wstring& extension) {
    wchar_t progId[256] = {};
    DWORD length = static_cast<DWORD>(std::size(progId));
    if (SUCCEEDED(AssocQueryStringW(ASSOCF_NONE, kProgIdString, extension.c_str(), nullptr, progId, &length)) &&
        progId[0])
        return progId;
    length = sizeof(progId) - sizeof(wchar_t);
    DWORD type = 0;
    progId[0] = 0;
    if (SHGetValueW(HKEY_CLASSES_ROOT, extension.c_str(), nullptr, &type, progId, &length) == ERROR_SUCCESS &&
        type == REG_SZ)
        return progId;
    return {};
}

// The items the static verbs show on a file of this extension (".zip"; empty for none).
uint32_t StaticItemsOfExtension(const std::wstring& extension) {
    uint32_t items = 0;
    if (ClassKeyExists(L"*\\shell\\Tolvane")) items |= kMenuAddDialog;
    if (ClassKeyExists(L"*\\shell\\TolvaneChecksum")) items |= kMenuChecksums;
    if (extension.empty()) return items;
    const std::wstring progId = ProgIdOf(extension);
    if (!progId.empty()) {
        const std::wstring shell = progId + L"\\shell\\";
        if (ClassKeyExists(shell + L"Tolvane")) items |= kMenuAddDialog;
        if (ClassKeyExists(shell + L"Tolvane1")) items |= kMenuExtractHere;
        if (ClassKeyExists(shell + L"Tolvane2")) items |= kMenuExtractFiles;
        if (ClassKeyExists(shell + L"Tolvane3")) items |= kMenuExtractToFolder;
    }
    if (ClassKeyExists(L"SystemFileAssociations\\" + extension + L"\\shell\\Tolvane3")) items |= kMenuExtractToFolder;
    return items;
}

std::wstring DriveLabelFor(const std::vector<SelectedItem>& selection) {
    if (selection.empty()) return {};
    const std::wstring folder = selection.size() == 1 ? selection[0].path : FolderOf(selection[0].path);
    if (!IsDriveRoot(folder)) return {};
    wchar_t label[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(WithTrailingSeparator(folder).c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr,
                               nullptr, 0))
        return {};
    return label;
}

// A list file of the paths in the temporary folder: "tolvane-list-<random>.txt", made new.
std::wstring WriteListFile(const std::vector<std::wstring>& paths, DWORD& error) {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) {
        error = GetLastError();
        return {};
    }
    const std::string bytes = ListFileBytes(paths);
    for (int attempt = 0; attempt < 16; ++attempt) {
        GUID random{};
        CoCreateGuid(&random);
        wchar_t name[64] = {};
        wsprintfW(name, L"tolvane-list-%08lx%04x%04x.txt", random.Data1, random.Data2, random.Data3);
        const std::wstring path = JoinPath(temp, name);
        UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            error = GetLastError();
            if (error == ERROR_FILE_EXISTS) continue;
            return {};
        }
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size()) {
            error = GetLastError();
            file.reset();
            DeleteFileW(path.c_str());  // our own file, just made and never handed on
            return {};
        }
        return path;
    }
    return {};
}

void TellCannotStart(HWND owner, const std::wstring& what, DWORD error) {
    const std::wstring text = L"Tolvane Extractor could not be started: " + what + L"\n" + SystemErrorText(error) + L".";
    MessageBoxW(owner, text.c_str(), L"Tolvane Extractor", MB_OK | MB_ICONERROR);
}

}  // namespace

std::vector<SelectedItem> SelectionFromDataObject(IDataObject* data) {
    std::vector<SelectedItem> selection;
    if (!data) return selection;
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium))) return selection;
    if (const HDROP drop = static_cast<HDROP>(GlobalLock(medium.hGlobal))) {
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            const UINT length = DragQueryFileW(drop, i, nullptr, 0);
            std::wstring path(length + 1, L'\0');
            path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
            if (!path.empty()) selection.push_back({path, IsFolder(path)});
        }
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return selection;
}

std::vector<SelectedItem> SelectionFromItemArray(IShellItemArray* items) {
    std::vector<SelectedItem> selection;
    DWORD count = 0;
    if (!items || FAILED(items->GetCount(&count))) return selection;
    for (DWORD i = 0; i < count; ++i) {
        ComPtr<IShellItem> item;
        if (FAILED(items->GetItemAt(i, item.put()))) return {};
        PWSTR path = nullptr;
        // An item that is no file (a printer, a phone's folder) leaves the menu out.
        if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return {};
        const std::wstring text = path;
        CoTaskMemFree(path);
        selection.push_back({text, IsFolder(text)});
    }
    return selection;
}

uint32_t StaticVerbItems(const std::vector<SelectedItem>& selection) {
    if (selection.empty()) return 0;
    // A selection of thousands of files has few extensions: each is looked up once.
    std::map<std::wstring, uint32_t> byExtension;
    uint32_t items = kAllMenuItems;
    for (const SelectedItem& item : selection) {
        if (item.isFolder) {
            items &= ClassKeyExists(L"Folder\\shell\\Tolvane") ? uint32_t{kMenuAddDialog} : 0u;
            continue;
        }
        const std::wstring name = FileNameOf(item.path);
        const size_t dot = name.rfind(L'.');
        std::wstring extension = dot == std::wstring::npos ? std::wstring() : name.substr(dot);
        for (wchar_t& c : extension) c = static_cast<wchar_t>(towlower(c));
        const auto known = byExtension.find(extension);
        items &= known != byExtension.end() ? known->second
                                            : byExtension.emplace(extension, StaticItemsOfExtension(extension)).first->second;
        if (items == 0) break;
    }
    return items;
}

std::vector<MenuEntry> EntriesFor(const std::vector<SelectedItem>& selection, bool besideStaticVerbs) {
    const IntegrationChoices choices = LoadIntegrationChoices();
    return MenuEntriesFor(selection, choices.menuItems, besideStaticVerbs ? StaticVerbItems(selection) : 0,
                          DriveLabelFor(selection));
}

std::wstring ProgramBesideHandler() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(HandlerModule(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return JoinPath(FolderOf(std::wstring(path, length)), L"tolvane.exe");
}

HRESULT StartProgramFor(const MenuEntry& entry, const std::vector<SelectedItem>& selection, HWND owner, bool quiet) {
    if (selection.empty()) return E_INVALIDARG;
    const std::wstring program = ProgramBesideHandler();
    std::vector<std::wstring> paths;
    for (const SelectedItem& item : selection) paths.push_back(item.path);
    std::wstring commandLine = L"\"" + program + L"\" " + ArgumentsFor(entry.option, paths);
    if (commandLine.size() > kLongestCommandLine) {
        DWORD error = ERROR_SUCCESS;
        const std::wstring list = WriteListFile(paths, error);
        if (list.empty()) {
            if (!quiet) TellCannotStart(owner, L"the list of the selected items could not be written", error);
            return HRESULT_FROM_WIN32(error);
        }
        commandLine = L"\"" + program + L"\" " + ListFileArguments(entry.option, list);
    }
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    const std::wstring folder = FolderOf(paths.front());
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        const DWORD error = GetLastError();
        if (!quiet) TellCannotStart(owner, program, error);
        return HRESULT_FROM_WIN32(error);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return S_OK;
}

HBITMAP MakeMenuBitmap() {
    const int width = GetSystemMetrics(SM_CXSMICON);
    const int height = GetSystemMetrics(SM_CYSMICON);
    UniqueIcon icon(static_cast<HICON>(LoadImageW(HandlerModule(), MAKEINTRESOURCEW(1), IMAGE_ICON, width, height, 0)));
    if (!icon) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!bitmap || !memory) {
        if (bitmap) DeleteObject(bitmap);
        if (memory) DeleteDC(memory);
        return nullptr;
    }
    const HGDIOBJ old = SelectObject(memory, bitmap);
    DrawIconEx(memory, 0, 0, icon.get(), width, height, 0, nullptr, DI_NORMAL);
    SelectObject(memory, old);
    DeleteDC(memory);
    return bitmap;
}
