#include "ops/entry_names.h"

#include <windows.h>

#include <cwchar>

namespace {

std::wstring Folded(std::wstring_view text) {
    std::wstring folded(text);
    if (!folded.empty()) CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

}  // namespace

std::wstring NameProblem(std::wstring_view name) {
    if (name.empty()) return L"Please type a name.";
    if (name == L"." || name == L"..") return L"The name cannot be \".\" or \"..\".";
    for (wchar_t c : name)
        if (c < 32 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
            return L"A name cannot contain any of these characters:\n\\ / : * ? \" < > |";
    if (name.back() == L'.' || name.back() == L' ') return L"A name cannot end in a dot or a space.";
    if (name.size() > 255) return L"The name is too long: a name has at most 255 characters.";
    return {};
}

bool NameTaken(std::wstring_view name, const std::vector<std::wstring>& names) {
    const std::wstring wanted = Folded(name);
    for (const std::wstring& other : names)
        if (Folded(other) == wanted) return true;
    return false;
}

std::wstring FreeNewFolderName(const std::vector<std::wstring>& names) {
    std::wstring name = L"New folder";
    for (unsigned number = 2; NameTaken(name, names); ++number) name = L"New folder (" + std::to_wstring(number) + L")";
    return name;
}

std::wstring ExtractFolderName(const std::wstring& archiveFileName) {
    std::wstring name = archiveFileName.substr(archiveFileName.find_last_of(L"\\/") + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) name.resize(dot);
    // "pack.part1" of "pack.part1.rar": the volumes' common name.
    const size_t part = name.rfind(L'.');
    if (part != std::wstring::npos && part > 0 && name.size() > part + 5 && _wcsnicmp(name.c_str() + part, L".part", 5) == 0 &&
        name.find_first_not_of(L"0123456789", part + 5) == std::wstring::npos)
        name.resize(part);
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
    return name.empty() ? std::wstring(L"Extracted") : name;
}
