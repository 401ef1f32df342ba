#include "ui/name_encoding_memory.h"

#include <windows.h>

#include <vector>

#include "base/handles.h"
#include "base/program_identity.h"
#include "engine/archive_name_encoding.h"

namespace {

std::wstring MemoryKeyPath() { return std::wstring(L"Software\\") + kDisplayName + L"\\Name encodings"; }

// Paths are at most MAX_PATH units; a longer value name is none of ours.
constexpr DWORD kNameCapacity = MAX_PATH + 1;

}  // namespace

void RestoreNameEncodingChoices() {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, MemoryKeyPath().c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
    std::vector<wchar_t> name(kNameCapacity);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = kNameCapacity, type = 0, value = 0, size = sizeof(value);
        const LONG result = RegEnumValueW(key.get(), index, name.data(), &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(&value), &size);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value) || nameLength == 0) continue;
        if (IsValidCodePage(value)) chooseNameCodePage(std::wstring(name.data(), nameLength), value);
    }
}

void RememberNameEncodingChoice(const std::wstring& path, unsigned codePage) {
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, MemoryKeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return;
    if (codePage == 0) {
        RegDeleteValueW(key.get(), path.c_str());
        return;
    }
    const DWORD value = codePage;
    RegSetValueExW(key.get(), path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}
