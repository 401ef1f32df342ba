#include "base/archive_file_names.h"

#include <windows.h>

#include <cwchar>

#include "base/paths.h"

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

bool IsWindowsDeviceName(std::wstring_view component) {
    // The part before the first dot, without the spaces Windows ignores before it.
    std::wstring_view stem = component.substr(0, component.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
    const auto same = [stem](std::wstring_view name) {
        return stem.size() >= name.size() && _wcsnicmp(stem.data(), name.data(), name.size()) == 0;
    };
    static constexpr std::wstring_view kPlain[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (std::wstring_view name : kPlain)
        if (stem.size() == name.size() && same(name)) return true;
    if (stem.size() == 4 && (same(L"COM") || same(L"LPT"))) {
        const wchar_t digit = stem[3];
        // Windows also takes the superscript digits 1, 2 and 3.
        return (digit >= L'0' && digit <= L'9') || digit == 0x00B9 || digit == 0x00B2 || digit == 0x00B3;
    }
    return false;
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
    if (name.empty()) return L"Extracted";
    // Characters a name cannot hold become "_", and a device name ("con" of "con.zip") gets the
    // mark that an extracted item of that name gets.
    for (wchar_t& c : name)
        if (c < 32 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) c = L'_';
    return IsWindowsDeviceName(name) ? L"_" + name : name;
}

std::wstring SelectionArchiveName(const std::wstring& folder, const std::wstring& driveLabel) {
    const std::wstring base = WithoutTrailingSeparator(folder);
    const bool driveRoot = IsDriveRoot(base) || (base.size() == 2 && base[1] == L':');
    std::wstring last = driveRoot ? base.substr(0, 2) : FileNameOf(base);
    if (driveRoot) {
        // "C:" is no file name: the drive's label (without characters a name cannot hold) or letter.
        std::wstring label;
        for (wchar_t c : driveLabel)
            if (c >= 32 && std::wstring_view(L"\\/:*?\"<>|").find(c) == std::wstring_view::npos) label += c;
        while (!label.empty() && (label.back() == L' ' || label.back() == L'.')) label.pop_back();
        last = label.empty() ? last.substr(0, 1) : label;
    }
    return JoinPath(base, last + L".zip");
}

std::wstring SelectionArchiveStem(const std::vector<std::wstring>& paths, bool firstIsFolder,
                                  const std::wstring& driveLabel) {
    std::wstring name;
    if (paths.size() == 1 && !IsDriveRoot(paths[0])) {
        name = FileNameOf(WithoutTrailingSeparator(paths[0]));
        const size_t dot = name.rfind(L'.');
        if (!firstIsFolder && dot != std::wstring::npos && dot > 0) name.resize(dot);
    } else if (!paths.empty()) {
        // Several items, or a drive itself: named as the dialog names a selection in that folder.
        name = FileNameOf(SelectionArchiveName(paths.size() == 1 ? paths[0] : FolderOf(paths[0]), driveLabel));
        name.resize(name.size() - 4);  // ".zip"
    }
    return name.empty() ? std::wstring(L"Archive") : name;
}
