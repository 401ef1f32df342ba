#include "ops/entry_names.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <string_view>



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

bool SameName(std::wstring_view a, std::wstring_view b) {
    // Compared as the file system compares names, without a folded copy of either.
    const int length = static_cast<int>(a.size());
    return a.size() == b.size() && CompareStringOrdinal(a.data(), length, b.data(), length, TRUE) == CSTR_EQUAL;
}

bool NameTaken(std::wstring_view name, const std::vector<std::wstring>& names) {
    return std::any_of(names.begin(), names.end(), [name](const std::wstring& other) { return SameName(other, name); });
}

std::wstring FreeNewFolderName(const std::vector<std::wstring>& names) {
    std::wstring name = L"New folder";
    for (unsigned number = 2; NameTaken(name, names); ++number) name = L"New folder (" + std::to_wstring(number) + L")";
    return name;
}
