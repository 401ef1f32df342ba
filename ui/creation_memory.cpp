#include "ui/creation_memory.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "base/handles.h"
#include "base/program_identity.h"
#include "base/registry_numbers.h"

namespace {

std::wstring KeyPath() { return std::wstring(L"Software\\") + kDisplayName + L"\\Add"; }

std::optional<std::wstring> ReadText(HKEY key, const wchar_t* name) {
    wchar_t text[64] = {};
    DWORD type = 0, size = sizeof(text) - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    return std::wstring(text);
}

void WriteText(HKEY key, const wchar_t* name, const std::wstring& text) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

CreationOptions LoadCreationChoices() {
    CreationOptions options;
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return options;
    // Only values the dialog offers are taken back: a stale or edited value falls back to the default.
    if (const auto format = ReadText(key.get(), L"format")) {
        const std::vector<std::wstring> formats = CreatableFormats();
        if (std::find(formats.begin(), formats.end(), *format) != formats.end()) options.format = *format;
    }
    if (const auto level = ReadRegistryNumber(key.get(), L"level")) {
        for (const LevelChoice& choice : CompressionLevels())
            if (choice.level == static_cast<int>(*level)) options.level = choice.level;
    }
    if (const auto method = ReadText(key.get(), L"method")) options.method = *method;
    if (const auto solid = ReadRegistryNumber(key.get(), L"solid")) options.solid = *solid != 0;
    if (const auto encryption = ReadText(key.get(), L"encryption"))
        options.encryption = *encryption == L"ZipCrypto" ? L"ZipCrypto" : L"AES256";
    if (const auto names = ReadRegistryNumber(key.get(), L"encrypt_names")) options.encryptNames = *names != 0;
    return options;
}

void SaveCreationChoices(const CreationOptions& options) {
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return;
    WriteText(key.get(), L"format", options.format);
    WriteRegistryNumber(key.get(), L"level", static_cast<DWORD>(options.level));
    WriteText(key.get(), L"method", options.method);
    WriteRegistryNumber(key.get(), L"solid", options.solid ? 1 : 0);
    WriteText(key.get(), L"encryption", options.encryption);
    WriteRegistryNumber(key.get(), L"encrypt_names", options.encryptNames ? 1 : 0);
}
