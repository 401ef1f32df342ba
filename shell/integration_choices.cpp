#include "shell/integration_choices.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "base/handles.h"
#include "base/program_identity.h"
#include "base/registry_numbers.h"

namespace {

constexpr wchar_t kTypesValue[] = L"DefaultTypes";
constexpr wchar_t kCascadedValue[] = L"Cascaded";
constexpr wchar_t kMenuItemsValue[] = L"MenuItems";
constexpr wchar_t kAskedValue[] = L"RegistrationAsked";
constexpr wchar_t kToldPerUserValue[] = L"ToldPerUserOnly";

std::wstring ChoicesKeyPath() { return std::wstring(L"Software\\") + kDisplayName + L"\\Integration"; }

bool ReadText(HKEY key, const wchar_t* name, std::wstring& text) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ ||
        size > 64 * 1024)
        return false;
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD capacity = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &capacity) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    buffer.resize(std::min<size_t>(capacity / sizeof(wchar_t), buffer.size()));
    while (!buffer.empty() && buffer.back() == L'\0') buffer.pop_back();
    text = buffer;
    return true;
}

}  // namespace

std::wstring TypesText(const std::vector<std::wstring>& types) {
    std::wstring joined;
    for (const std::wstring& type : types) joined += type + L' ';
    std::wstring text;
    for (const std::wstring& type : TypesFromText(joined)) {
        if (!text.empty()) text += L' ';
        text += type;
    }
    return text;
}

std::vector<std::wstring> TypesFromText(const std::wstring& text) {
    std::vector<std::wstring> types;
    std::wstring current;
    auto finish = [&] {
        if (!current.empty() && std::find(types.begin(), types.end(), current) == types.end())
            types.push_back(current);
        current.clear();
    };
    for (wchar_t c : text) {
        if (c == L' ' || c == L',' || c == L';') {
            finish();
        } else if (std::iswalnum(c) && c < 128) {
            current += static_cast<wchar_t>(std::towlower(c));
        }
    }
    finish();
    return types;
}

IntegrationChoices LoadIntegrationChoices() {
    IntegrationChoices choices;
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ChoicesKeyPath().c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return choices;
    std::wstring types;
    if (ReadText(key.get(), kTypesValue, types)) choices.defaultTypes = TypesFromText(types);
    if (const auto number = ReadRegistryNumber(key.get(), kCascadedValue)) choices.cascaded = *number != 0;
    if (const auto number = ReadRegistryNumber(key.get(), kMenuItemsValue)) choices.menuItems = *number & kAllMenuItems;
    if (const auto number = ReadRegistryNumber(key.get(), kAskedValue)) choices.registrationAsked = *number != 0;
    if (const auto number = ReadRegistryNumber(key.get(), kToldPerUserValue)) choices.toldPerUserOnly = *number != 0;
    return choices;
}

bool SaveIntegrationChoices(const IntegrationChoices& choices) {
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, ChoicesKeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring types = TypesText(choices.defaultTypes);
    bool written = RegSetValueExW(key.get(), kTypesValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(types.c_str()),
                                  static_cast<DWORD>((types.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    written &= WriteRegistryNumber(key.get(), kCascadedValue, choices.cascaded ? 1 : 0);
    written &= WriteRegistryNumber(key.get(), kMenuItemsValue, choices.menuItems & kAllMenuItems);
    written &= WriteRegistryNumber(key.get(), kAskedValue, choices.registrationAsked ? 1 : 0);
    written &= WriteRegistryNumber(key.get(), kToldPerUserValue, choices.toldPerUserOnly ? 1 : 0);
    return written;
}
