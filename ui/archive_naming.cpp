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

std::wstring QuickArchiveName(const std::vector<std::wstring>& paths, const std::wstring& extension,
                              const std::function<bool(const std::wstring&)>& isFolder,
                              const std::wstring& driveLabel) {
    if (paths.empty()) return {};
    const std::wstring first = WithoutTrailingSeparator(paths.front());
    std::wstring base;  // the archive's path without its extension
    if (paths.size() > 1 || IsDriveRoot(first) || (first.size() == 2 && first[1] == L':')) {
        const std::wstring named = SelectionArchiveName(paths.size() > 1 ? FolderOf(first) : first, driveLabel);
        base = named.substr(0, named.size() - 4);  // without ".zip"
    } else {
        std::wstring name = FileNameOf(first);
        const size_t dot = name.find_last_of(L'.');
        if (!isFolder(first) && dot != std::wstring::npos && dot > 0) name.resize(dot);
        base = JoinPath(FolderOf(first), name);
    }
    std::wstring archive = base + L"." + extension;
    const auto isSource = [&](const std::wstring& path) {
        for (const std::wstring& item : paths)
            if (lstrcmpiW(WithoutTrailingSeparator(item).c_str(), path.c_str()) == 0) return true;
        return false;
    };
    for (unsigned number = 2; isSource(archive); ++number)
        archive = base + L" (" + std::to_wstring(number) + L")." + extension;
    return archive;
}
