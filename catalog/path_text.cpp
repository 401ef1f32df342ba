#include "catalog/path_text.h"

#include <windows.h>

#include <climits>

#include "base/text.h"

namespace {
bool IsAscii(std::wstring_view text) {
    for (wchar_t c : text)
        if (c >= 0x80) return false;
    return true;
}
bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}
}  // namespace

std::string WideToUtf8Lossy(std::wstring_view text) {
    // Sizes, dates and most names are plain ASCII: copy them without a system call.
    if (IsAscii(text)) return std::string(text.begin(), text.end());
    if (auto strict = WideToUtf8(text)) return std::move(*strict);
    if (text.size() > INT_MAX / 4) return {};
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string out(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), needed, nullptr, nullptr);
    return out;
}

std::wstring Utf8ToWideLossy(std::string_view text) {
    if (IsAscii(text)) return std::wstring(text.begin(), text.end());
    if (auto strict = Utf8ToWide(text)) return std::move(*strict);
    if (text.size() > INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring out(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), needed);
    return out;
}
