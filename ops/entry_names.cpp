#include "ops/entry_names.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <string_view>

#include "engine/extract_path.h"

namespace {

// What a compressor of one file adds after ".tar", and the extensions of archives that can be
// cut into numbered parts ("x.7z.001").
constexpr std::wstring_view kTarCompressions[] = {L"gz", L"gzip", L"bz2", L"bzip2", L"xz",
                                                  L"zst", L"lz", L"lzma", L"z", L"lz4"};
constexpr std::wstring_view kArchiveExtensions[] = {
    L"7z", L"zip", L"rar", L"tar", L"tgz", L"tbz", L"tbz2", L"txz", L"gz", L"bz2", L"xz", L"zst",
    L"wim", L"iso", L"cab", L"arj", L"lzh", L"cpio", L"vhd", L"vhdx", L"dmg", L"img", L"squashfs"};

// The extension of the name (without its dot); empty when it has none.
std::wstring Extension(const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos || dot == 0 ? std::wstring() : name.substr(dot + 1);
}

// Takes the extension off the name and returns it.
std::wstring CutExtension(std::wstring& name) {
    std::wstring extension = Extension(name);
    if (!extension.empty()) name.resize(name.size() - extension.size() - 1);
    return extension;
}

bool SameExtension(const std::wstring& extension, std::wstring_view known) {
    return extension.size() == known.size() && _wcsnicmp(extension.c_str(), known.data(), known.size()) == 0;
}

template <size_t N>
bool IsOneOf(const std::wstring& extension, const std::wstring_view (&extensions)[N]) {
    for (std::wstring_view known : extensions)
        if (SameExtension(extension, known)) return true;
    return false;
}

bool IsVolumeNumber(const std::wstring& extension) {
    return extension.size() >= 3 && extension.find_first_not_of(L"0123456789") == std::wstring::npos;
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

std::wstring ExtractFolderName(const std::wstring& archiveFileName) {
    std::wstring name = archiveFileName.substr(archiveFileName.find_last_of(L"\\/") + 1);
    // The last extension goes whatever it is; then those that the same archive carries before it.
    std::wstring last = CutExtension(name);
    if (IsVolumeNumber(last)) {
        // "x.7z.001": the part's number, then the archive's own extension (not a ".txt" of a
        // file cut into parts).
        if (IsOneOf(Extension(name), kArchiveExtensions)) last = CutExtension(name);
    }
    if (IsOneOf(last, kTarCompressions) && SameExtension(Extension(name), L"tar")) CutExtension(name);
    // "pack.part1" of "pack.part1.rar": the volumes' common name.
    const std::wstring part = Extension(name);
    if (part.size() > 4 && _wcsnicmp(part.c_str(), L"part", 4) == 0 &&
        part.find_first_not_of(L"0123456789", 4) == std::wstring::npos)
        CutExtension(name);
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
    // A device name ("con" of "con.zip") gets the mark that an item of that name gets.
    const std::optional<std::wstring> safe = name.empty() ? std::nullopt : safeRelativePath(name);
    return safe && !safe->empty() ? *safe : std::wstring(L"Extracted");
}
