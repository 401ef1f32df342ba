#include "engine/extract_path.h"

#include <windows.h>

#include "base/archive_file_names.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        const wchar_t a = IsSeparator(text[i]) ? L'\\' : AsciiUpper(text[i]);
        const wchar_t b = IsSeparator(prefix[i]) ? L'\\' : AsciiUpper(prefix[i]);
        if (a != b) return false;
    }
    return true;
}

std::wstring_view DropLeadingSeparators(std::wstring_view path) {
    size_t i = 0;
    while (i < path.size() && IsSeparator(path[i])) ++i;
    return path.substr(i);
}

// Drops the next `count` components (with the separators after them).
std::wstring_view DropComponents(std::wstring_view path, int count) {
    for (int i = 0; i < count; ++i) {
        path = DropLeadingSeparators(path);
        size_t end = 0;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        path = path.substr(end);
    }
    return DropLeadingSeparators(path);
}

// Removes whatever names a root at the start of the path, repeatedly, so that no combination
// ("\\?\C:\", "\\?\UNC\server\share\", "C:\\server\share", ...) is left.
std::wstring_view DropRootPrefixes(std::wstring_view path) {
    for (;;) {
        const std::wstring_view before = path;
        if (StartsWithIgnoringCase(path, L"\\\\?\\UNC\\") || StartsWithIgnoringCase(path, L"\\??\\UNC\\") ||
            StartsWithIgnoringCase(path, L"\\\\.\\UNC\\")) {
            path = DropComponents(path.substr(8), 2);  // server and share
        } else if (StartsWithIgnoringCase(path, L"\\\\?\\") || StartsWithIgnoringCase(path, L"\\??\\") ||
                   StartsWithIgnoringCase(path, L"\\\\.\\")) {
            path = path.substr(4);
        } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
            path = DropComponents(path.substr(2), 2);  // \\server\share
        } else if (!path.empty() && IsSeparator(path[0])) {
            path = DropLeadingSeparators(path);
        } else if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == L':') {
            path = path.substr(2);  // "C:" with or without a separator after it
        }
        if (path.size() == before.size()) return path;
    }
}

bool IsRefusedCharacter(wchar_t c) {
    return c < 32 || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' || c == L'|';
}

}  // namespace

std::optional<std::wstring> safeRelativePath(std::wstring_view itemPath) {
    std::wstring_view rest = DropRootPrefixes(itemPath);
    std::wstring out;
    out.reserve(rest.size() + 2);
    while (!rest.empty()) {
        size_t end = 0;
        while (end < rest.size() && !IsSeparator(rest[end])) ++end;
        const std::wstring_view component = rest.substr(0, end);
        rest = rest.substr(end < rest.size() ? end + 1 : end);
        if (component.empty() || component == L".") continue;
        if (component == L"..") return std::nullopt;

        if (!out.empty()) out += L'\\';
        if (IsWindowsDeviceName(component)) out += L'_';
        for (wchar_t c : component) out += IsRefusedCharacter(c) ? L'_' : c;
        if (out.back() == L'.' || out.back() == L' ') out.back() = L'_';
    }
    return out;
}

bool selectionTakes(const std::vector<std::wstring>* selection, std::wstring_view itemPath) {
    if (!selection || selection->empty()) return true;
    for (const std::wstring& text : *selection) {
        std::wstring_view wanted = text;
        while (!wanted.empty() && IsSeparator(wanted.back())) wanted.remove_suffix(1);
        if (wanted.empty()) return true;  // the archive's root
        if (itemPath.size() < wanted.size()) continue;
        bool same = true;
        for (size_t i = 0; i < wanted.size() && same; ++i)
            same = itemPath[i] == wanted[i] || (IsSeparator(itemPath[i]) && IsSeparator(wanted[i]));
        if (!same) continue;
        if (itemPath.size() == wanted.size() || IsSeparator(itemPath[wanted.size()])) return true;
    }
    return false;
}

std::optional<std::wstring_view> pathBelow(std::wstring_view itemPath, std::wstring_view base) {
    while (!base.empty() && IsSeparator(base.back())) base.remove_suffix(1);
    if (base.empty()) return itemPath;
    const std::vector<std::wstring> folder{std::wstring(base)};
    if (itemPath.size() <= base.size() + 1 || !selectionTakes(&folder, itemPath)) return std::nullopt;
    std::wstring_view rest = itemPath.substr(base.size() + 1);
    while (!rest.empty() && IsSeparator(rest.front())) rest.remove_prefix(1);
    if (rest.empty()) return std::nullopt;
    return rest;
}

std::wstring ensureTrailingSeparator(std::wstring path) {
    if (!path.empty() && !IsSeparator(path.back())) path += L'\\';
    return path;
}

uint32_t plainFileAttributes(uint32_t attributes, bool isFolder) {
    uint32_t kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    // A read-only folder means nothing to Windows, but would refuse the folder's own content
    // on systems that map the bit to permissions.
    if (!isFolder) kept |= FILE_ATTRIBUTE_READONLY;
    return attributes & kept;
}

std::wstring extendedLengthPath(const std::wstring& absolutePath) {
    if (absolutePath.size() >= 4 && (absolutePath.compare(0, 4, L"\\\\?\\") == 0 || absolutePath.compare(0, 4, L"\\??\\") == 0))
        return absolutePath;
    if (absolutePath.size() >= 2 && absolutePath[0] == L'\\' && absolutePath[1] == L'\\')
        return L"\\\\?\\UNC\\" + absolutePath.substr(2);
    if (absolutePath.size() >= 3 && IsAsciiLetter(absolutePath[0]) && absolutePath[1] == L':' && absolutePath[2] == L'\\')
        return L"\\\\?\\" + absolutePath;
    return absolutePath;
}
