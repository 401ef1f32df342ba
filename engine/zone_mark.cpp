#include "engine/zone_mark.h"

#include <windows.h>

#include <cwctype>

#include "base/handles.h"

namespace {

constexpr wchar_t kZoneStream[] = L":Zone.Identifier";
constexpr DWORD kLargestMark = 64 * 1024;  // a real one is a few lines

// What Windows' attachment checks treat as dangerous or as active content, and archives, which
// carry the mark on to what is extracted from them later.
constexpr const wchar_t* kMarkedExtensions[] = {
    L"exe", L"com", L"bat", L"cmd", L"ps1", L"psm1", L"psd1", L"vbs", L"vbe", L"js", L"jse", L"wsf", L"wsh",
    L"hta", L"msi", L"msp", L"msix", L"appx", L"scr", L"pif", L"cpl", L"dll", L"ocx", L"sys", L"jar", L"reg",
    L"lnk", L"url", L"scf", L"inf", L"chm", L"docx", L"docm", L"doc", L"dotm", L"xls", L"xlsx", L"xlsm", L"xlsb",
    L"xla", L"xlam", L"ppt", L"pptx", L"pptm", L"potm", L"ppsm", L"rtf", L"pdf", L"html", L"htm", L"xhtml",
    L"mht", L"mhtml", L"svg", L"one", L"iso", L"img", L"vhd", L"vhdx", L"zip", L"7z", L"rar", L"cab", L"tar",
    L"gz", L"tgz", L"bz2", L"xz"};

std::wstring LowerExtension(std::wstring_view name) {
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring_view::npos) name.remove_prefix(slash + 1);
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos || dot == 0) return {};
    std::wstring extension(name.substr(dot + 1));
    for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(c));
    return extension;
}

}  // namespace

std::string ReadZoneIdentifier(const std::wstring& path) {
    UniqueHandle stream(CreateFileW((path + kZoneStream).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!stream) return {};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(stream.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kLargestMark) return {};
    std::string content(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(stream.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr)) return {};
    content.resize(read);
    return content;
}

bool WriteZoneIdentifier(const std::wstring& path, const std::string& content) {
    UniqueHandle stream(CreateFileW((path + kZoneStream).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!stream) return false;
    DWORD written = 0;
    if (!WriteFile(stream.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr)) return false;
    if (written != content.size()) {
        SetLastError(ERROR_WRITE_FAULT);
        return false;
    }
    return true;
}

bool ZoneMarkWanted(ZoneMarking marking, std::wstring_view fileName) {
    if (marking == ZoneMarking::All) return true;
    if (marking == ZoneMarking::Off) return false;
    const std::wstring extension = LowerExtension(fileName);
    for (const wchar_t* marked : kMarkedExtensions)
        if (extension == marked) return true;
    return false;
}
