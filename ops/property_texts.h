#pragma once
// Words for the engine's properties: the name of each property id and its value as the
// Properties window shows it.
#include <windows.h>
#include <propidl.h>

#include <cstdint>
#include <string>

#include "engine/archive_properties.h"

// "Modified", "CRC", "Method", ...; "Property <id>" for an id the program has no words for.
std::wstring PropertyName(PROPID id);

// The value as the user reads it: sizes grouped by thousands, a CRC in eight hex digits,
// attributes as letters, times in local time, flags as words, yes or no; empty for no value.
std::wstring PropertyValueText(const PropertyValue& value);

// Windows attribute bits as letters in the order R H S D A (only those set), followed by the
// POSIX mode that some archivers keep in the upper 16 bits ("-rw-r--r--"), when present.
std::wstring AttributeLetters(uint32_t attributes);

// "1,234,567": decimal digits grouped by thousands.
std::wstring GroupedNumber(uint64_t value);

// A file time as "YYYY-MM-DD hh:mm:ss" in local time; empty when it is no valid time.
std::wstring LocalTimeText(const FILETIME& time);
