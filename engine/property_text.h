#pragma once
// Text forms of engine property values shared by the listing and its tests.
#include <windows.h>

#include <cstdint>
#include <string>

// Splits the UTC calendar text of a file time into "YYYY-MM-DD" and "hh:mm:ss" (the year has
// at least four digits). Both are emptied when the value is no valid file time.
void fileTimeParts(const FILETIME& time, std::wstring& date, std::wstring& clock);

// The decimal digits of `value`, without grouping.
std::wstring decimalText(uint64_t value);
