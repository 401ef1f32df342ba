#include "engine/archive_kind.h"

namespace {

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x - L'A' + L'a');
        if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y - L'A' + L'a');
        if (x != y) return false;
    }
    return true;
}

// The extension of the last path component, dot included; empty when it has no dot.
std::wstring_view ExtensionOf(std::wstring_view path) {
    const size_t nameStart = path.find_last_of(L"\\/:");
    const std::wstring_view name = nameStart == std::wstring_view::npos ? path : path.substr(nameStart + 1);
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot);
}

constexpr GUID MakeFormatClassId(uint8_t format) {
    return GUID{0x23170F69, 0x40C1, 0x278A, {0x10, 0x00, 0x00, 0x01, 0x10, format, 0x00, 0x00}};
}

}  // namespace

ArchiveKind archiveKindOf(std::wstring_view path) {
    const std::wstring_view extension = ExtensionOf(path);
    if (EqualsIgnoringCase(extension, L".zip")) return Zip;
    if (EqualsIgnoringCase(extension, L".rar")) return Rar;
    if (EqualsIgnoringCase(extension, L".7z")) return SevenZip;
    return None;
}

GUID formatClassId(ArchiveKind kind) {
    switch (kind) {
    case SevenZip: return MakeFormatClassId(0x07);
    case Rar: return MakeFormatClassId(0x03);
    case Zip: return MakeFormatClassId(0x01);
    default: return GUID{};
    }
}

GUID rar5FormatClassId() { return MakeFormatClassId(0xCC); }
