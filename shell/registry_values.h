#pragma once
// Registry writes that the shell registration is made of. A value is written only when it
// differs from what the key already holds: the registration runs at every start, and reading
// costs far less than a write and the shell's notice of it.
#include <windows.h>

#include <string>

// Each of these returns true when it changed the registry.
bool SetDefaultValue(HKEY root, const std::wstring& keyPath, const std::wstring& text);
bool SetNamedValue(HKEY root, const std::wstring& keyPath, const wchar_t* name, const std::wstring& text);
// A value of no type and no data, as the shell's "OpenWithProgids" lists hold.
bool SetEmptyValue(HKEY root, const std::wstring& keyPath, const wchar_t* name);

void DeleteNamedValue(HKEY root, const std::wstring& keyPath, const wchar_t* name);
void DeleteKeyTree(HKEY root, const std::wstring& keyPath);
// Removes the key when nothing (no value, no sub-key) is left in it.
void DeleteKeyIfEmpty(HKEY root, const std::wstring& keyPath);
// An extension key is shared with the system and other programs (content type, "open with"
// lists, "new" templates): only the program's own claim on it is removed (its default value
// when it names `progId`), and the key itself only when nothing else is left in it.
void RemoveExtensionClaim(HKEY root, const std::wstring& keyPath, const wchar_t* progId);
// True when the key exists.
bool RegistryKeyPresent(HKEY root, const std::wstring& keyPath);
