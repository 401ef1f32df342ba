#pragma once
// Strict conversions between UTF-16 and UTF-8: invalid input (an unpaired surrogate,
// a malformed byte sequence) is refused rather than replaced.
#include <optional>
#include <string>
#include <string_view>

std::optional<std::string> WideToUtf8(std::wstring_view text);
std::optional<std::wstring> Utf8ToWide(std::string_view text);

// Copies `text` into `buffer` of `capacity` units, always terminated; cuts what does not fit.
// Returns false when the text had to be cut.
bool CopyToBuffer(wchar_t* buffer, size_t capacity, std::wstring_view text);
