#include "base/paths.h"

#include <windows.h>

namespace {

bool IsDriveLetterColon(std::wstring_view path) { return path.size() >= 2 && path[1] == L':'; }

}  // namespace

bool IsDriveRoot(std::wstring_view path) {
    if (!IsDriveLetterColon(path) || path.size() < 3) return false;
    return path.find_first_not_of(L'\\', 2) == std::wstring_view::npos;
}

std::wstring WithTrailingSeparator(std::wstring path) {
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path;
}

std::wstring WithoutTrailingSeparator(std::wstring path) {
    const size_t keep = IsDriveRoot(path) ? 3 : 1;
    while (path.size() > keep && path.back() == L'\\') path.pop_back();
    return path;
}

std::wstring FolderOf(std::wstring_view path) {
    if (IsDriveRoot(path)) return {};
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring_view::npos || slash == 0) return {};
    if (slash == 2 && IsDriveLetterColon(path)) return std::wstring(path.substr(0, 3));
    return std::wstring(path.substr(0, slash));
}

std::wstring ParentOf(std::wstring_view path) { return FolderOf(WithoutTrailingSeparator(std::wstring(path))); }

std::wstring FileNameOf(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/");
    return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name) {
    if (folder.empty()) return std::wstring(name);
    std::wstring joined = WithTrailingSeparator(std::wstring(folder));
    joined += name;
    return joined;
}

bool SameFolder(std::wstring_view a, std::wstring_view b) {
    if (a.empty() || b.empty()) return false;
    const std::wstring left = WithoutTrailingSeparator(std::wstring(a));
    const std::wstring right = WithoutTrailingSeparator(std::wstring(b));
    return CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

bool IsSameOrInside(std::wstring_view path, std::wstring_view place) {
    if (place.empty() || path.size() < place.size()) return false;
    if (CompareStringOrdinal(path.data(), static_cast<int>(place.size()), place.data(), static_cast<int>(place.size()),
                             TRUE) != CSTR_EQUAL)
        return false;
    return path.size() == place.size() || path[place.size()] == L'\\' || place.back() == L'\\';
}
