#include "shell/registry_values.h"

#include <shlwapi.h>

#include "base/handles.h"

namespace {

constexpr REGSAM kNamedValueRights = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// True when the key's value (unnamed when `name` is null) has this type and text; a REG_NONE
// value holds nothing.
bool Holds(HKEY root, const std::wstring& keyPath, const wchar_t* name, DWORD type, const std::wstring& text) {
    UniqueRegKey key;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return false;
    std::wstring stored(text.size() + 2, L'\0');
    DWORD storedType = 0;
    DWORD size = static_cast<DWORD>(stored.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), name, nullptr, &storedType, reinterpret_cast<BYTE*>(stored.data()), &size) !=
            ERROR_SUCCESS ||
        storedType != type || size % sizeof(wchar_t) != 0)
        return false;
    if (type == REG_NONE) return size == 0;
    stored.resize(size / sizeof(wchar_t));
    if (!stored.empty() && stored.back() == L'\0') stored.pop_back();
    return stored == text;
}

// Opens a key to set or remove a named value: full rights, else set-value only, else created.
UniqueRegKey OpenForNamedValue(HKEY root, const std::wstring& keyPath, bool createWhenMissing) {
    UniqueRegKey key;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, kNamedValueRights, key.put()) == ERROR_SUCCESS) return key;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS) return key;
    if (createWhenMissing &&
        RegCreateKeyExW(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kNamedValueRights, nullptr,
                        key.put(), nullptr) == ERROR_SUCCESS)
        return key;
    return UniqueRegKey();
}

bool SetValue(HKEY root, const std::wstring& keyPath, const wchar_t* name, DWORD type, const std::wstring& text) {
    if (Holds(root, keyPath, name, type, text)) return false;
    UniqueRegKey key = OpenForNamedValue(root, keyPath, true);
    if (!key) return false;
    const DWORD bytes = type == REG_NONE ? 0 : static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()), bytes) ==
           ERROR_SUCCESS;
}

}  // namespace

bool SetDefaultValue(HKEY root, const std::wstring& keyPath, const std::wstring& text) {
    if (Holds(root, keyPath, nullptr, REG_SZ, text)) return false;
    return RegSetValueW(root, keyPath.c_str(), REG_SZ, text.c_str(),
                        static_cast<DWORD>(text.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SetNamedValue(HKEY root, const std::wstring& keyPath, const wchar_t* name, const std::wstring& text) {
    return SetValue(root, keyPath, name, REG_SZ, text);
}

bool SetEmptyValue(HKEY root, const std::wstring& keyPath, const wchar_t* name) {
    return SetValue(root, keyPath, name, REG_NONE, L"");
}

void DeleteNamedValue(HKEY root, const std::wstring& keyPath, const wchar_t* name) {
    UniqueRegKey key = OpenForNamedValue(root, keyPath, false);
    if (key) RegDeleteValueW(key.get(), name);
}

void DeleteKeyTree(HKEY root, const std::wstring& keyPath) { SHDeleteKeyW(root, keyPath.c_str()); }

void DeleteKeyIfEmpty(HKEY root, const std::wstring& keyPath) {
    UniqueRegKey key;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
    DWORD subKeys = 0;
    DWORD values = 0;
    const bool read = RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                                       nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    key.reset();
    if (read && subKeys == 0 && values == 0) RegDeleteKeyW(root, keyPath.c_str());
}

void RemoveExtensionClaim(HKEY root, const std::wstring& keyPath, const wchar_t* progId) {
    {
        UniqueRegKey key;
        if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key.put()) != ERROR_SUCCESS)
            return;
        wchar_t value[MAX_PATH] = {};
        DWORD type = 0;
        DWORD size = sizeof(value) - sizeof(wchar_t);
        if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ && lstrcmpiW(value, progId) == 0)
            RegDeleteValueW(key.get(), nullptr);
    }
    DeleteKeyIfEmpty(root, keyPath);
}

bool RegistryKeyPresent(HKEY root, const std::wstring& keyPath) {
    UniqueRegKey key;
    return RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS;
}
