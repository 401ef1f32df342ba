#pragma once
// Reading the registry back in tests.
#include <windows.h>

#include <optional>
#include <string>

namespace testsupport {

bool RegistryKeyExists(HKEY root, const std::wstring& path);
// A REG_SZ value (the unnamed one when `name` is null), or nothing when missing or of another type.
std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& path, const wchar_t* name = nullptr);
void WriteRegistryText(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& text);

}  // namespace testsupport
