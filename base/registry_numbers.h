#pragma once
// A number kept in the registry as a REG_DWORD value: read (nothing when missing, of another type
// or size) and written.
#include <windows.h>

#include <optional>

std::optional<DWORD> ReadRegistryNumber(HKEY key, const wchar_t* name);
bool WriteRegistryNumber(HKEY key, const wchar_t* name, DWORD value);
