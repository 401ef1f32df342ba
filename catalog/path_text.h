#pragma once
// Conversions for archive paths that must be shown even when they are not valid Unicode
// (an unpaired surrogate in a hostile archive): invalid units become U+FFFD.
#include <string>
#include <string_view>

std::string WideToUtf8Lossy(std::wstring_view text);
std::wstring Utf8ToWideLossy(std::string_view text);
