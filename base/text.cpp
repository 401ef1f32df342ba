#include "base/text.h"

#include <windows.h>

#include <climits>
#include <cstring>

std::optional<std::string> WideToUtf8(std::wstring_view text) {
    if (text.empty()) return std::string();
    if (text.size() > INT_MAX / 4) return std::nullopt;
    const int length = static_cast<int>(text.size());
    int needed = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, nullptr, 0,
                                     nullptr, nullptr);
    if (needed <= 0) return std::nullopt;
    std::string out(static_cast<size_t>(needed), '\0');
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, out.data(), needed,
                            nullptr, nullptr) != needed)
        return std::nullopt;
    return out;
}

std::optional<std::wstring> Utf8ToWide(std::string_view text) {
    if (text.empty()) return std::wstring();
    if (text.size() > INT_MAX) return std::nullopt;
    const int length = static_cast<int>(text.size());
    int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (needed <= 0) return std::nullopt;
    std::wstring out(static_cast<size_t>(needed), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, out.data(), needed) !=
        needed)
        return std::nullopt;
    return out;
}

bool CopyToBuffer(wchar_t* buffer, size_t capacity, std::wstring_view text) {
    if (capacity == 0) return text.empty();
    const size_t n = text.size() < capacity ? text.size() : capacity - 1;
    if (n) std::memcpy(buffer, text.data(), n * sizeof(wchar_t));
    buffer[n] = L'\0';
    return n == text.size();
}
