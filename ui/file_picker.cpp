#include "ui/file_picker.h"

#include <commdlg.h>

#include <algorithm>

#include "base/paths.h"

std::vector<std::wstring> PickedPaths(const wchar_t* answer, size_t capacity) {
    std::vector<std::wstring> parts;
    size_t at = 0;
    while (at < capacity && answer[at] != L'\0') {
        const size_t start = at;
        while (at < capacity && answer[at] != L'\0') ++at;
        if (at >= capacity) break;  // cut off: not a whole name
        parts.emplace_back(answer + start, at - start);
        ++at;
    }
    if (parts.size() <= 1) return parts;
    std::vector<std::wstring> paths;
    for (size_t i = 1; i < parts.size(); ++i) paths.push_back(JoinPath(parts[0], parts[i]));
    return paths;
}

namespace {

// The dialog's settings for every file of any type, its answer written into `answer`.
OPENFILENAMEW FileDialog(HWND owner, const std::wstring& title, const std::wstring& startFolder,
                         std::vector<wchar_t>& answer, DWORD flags) {
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"All files\0*.*\0";
    dialog.lpstrFile = answer.data();
    dialog.nMaxFile = static_cast<DWORD>(answer.size());
    dialog.lpstrInitialDir = startFolder.empty() ? nullptr : startFolder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = flags | OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    return dialog;
}

}  // namespace

std::vector<std::wstring> PickFilesToAdd(HWND owner, const std::wstring& title, const std::wstring& startFolder) {
    std::vector<wchar_t> answer(65536, L'\0');
    OPENFILENAMEW dialog = FileDialog(owner, title, startFolder, answer, OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST);
    if (!GetOpenFileNameW(&dialog)) return {};
    return PickedPaths(answer.data(), answer.size());
}

std::optional<std::wstring> PickSavePath(HWND owner, const std::wstring& title, const std::wstring& startFolder,
                                         const std::wstring& name) {
    std::vector<wchar_t> answer(32768, L'\0');
    name.copy(answer.data(), std::min(name.size(), answer.size() - 1));
    OPENFILENAMEW dialog = FileDialog(owner, title, startFolder, answer, OFN_OVERWRITEPROMPT);
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    return std::wstring(answer.data());
}
