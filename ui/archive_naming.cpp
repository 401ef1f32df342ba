#include "ui/archive_naming.h"

#include <windows.h>

#include <cstring>
#include <string_view>

#include "base/paths.h"

std::wstring ApplyExtension(const std::wstring& path, const std::wstring& extension, bool replace) {
    const size_t dot = path.find_last_of(L'.');
    const size_t slash = path.find_last_of(L'\\');
    const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || slash < dot);
    if (hasExtension && lstrcmpiW(path.substr(dot + 1).c_str(), extension.c_str()) == 0) return path;
    std::wstring result = hasExtension && replace ? path.substr(0, dot) : path;
    return result + L"." + extension;
}

std::wstring DefaultArchiveName(const std::wstring& folder, const std::wstring& path,
                                const std::function<bool(const std::wstring&)>& fileExists) {
    std::wstring name = ApplyExtension(JoinPath(folder, FileNameOf(path)), L"zip", true);
    while (fileExists(name)) name += L".zip";
    return name;
}

std::optional<std::wstring> ParseHandOverBlock(const void* data, size_t sizeInBytes) {
    // At least: quote, one character, quote, terminator.
    if (!data || sizeInBytes % sizeof(wchar_t) != 0 || sizeInBytes < 4 * sizeof(wchar_t)) return std::nullopt;
    const size_t units = sizeInBytes / sizeof(wchar_t);
    std::wstring text(units, L'\0');
    std::memcpy(text.data(), data, sizeInBytes);
    if (text.back() != L'\0') return std::nullopt;
    text.pop_back();
    if (text.find(L'\0') != std::wstring::npos) return std::nullopt;
    if (text.size() < 3 || text.front() != L'"' || text.back() != L'"') return std::nullopt;
    std::wstring path = text.substr(1, text.size() - 2);
    if (path.find(L'"') != std::wstring::npos) return std::nullopt;
    return path;
}

std::vector<wchar_t> MakeHandOverBlock(const std::wstring& quotedPath) {
    std::vector<wchar_t> block(quotedPath.begin(), quotedPath.end());
    block.push_back(L'\0');
    return block;
}
