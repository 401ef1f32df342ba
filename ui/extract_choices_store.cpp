#include "ui/extract_choices_store.h"

#include <windows.h>

#include "base/handles.h"
#include "base/program_identity.h"
#include "base/registry_numbers.h"
#include "ui/app_globals.h"

namespace {

constexpr wchar_t kNewFolderValue[] = L"extract_dialog_new_folder";
constexpr wchar_t kPathModeValue[] = L"extract_dialog_path_mode";
constexpr wchar_t kExistingValue[] = L"extract_dialog_existing_files";
constexpr wchar_t kZoneMarkingValue[] = L"extract_mark_of_the_web";
constexpr wchar_t kDestinationsValue[] = L"extract_dialog_destinations";
constexpr wchar_t kOpenDestinationValue[] = L"extract_open_destination";  // shared with AppSettings

std::wstring KeyPath() { return std::wstring(L"Software\\") + kDisplayName; }

bool ReadInto(HKEY key, const wchar_t* name, DWORD& value) {
    const std::optional<DWORD> number = ReadRegistryNumber(key, name);
    if (number) value = *number;
    return number.has_value();
}

// A list of texts, each terminated, closed by an empty one.
std::vector<std::wstring> ReadTexts(HKEY key, const wchar_t* name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_MULTI_SZ ||
        size > 64 * 1024)
        return {};
    std::wstring buffer(size / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
        return {};
    buffer.resize(size / sizeof(wchar_t));
    std::vector<std::wstring> texts;
    for (size_t start = 0; start < buffer.size();) {
        const size_t end = buffer.find(L'\0', start);
        const std::wstring text = buffer.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (text.empty()) break;
        texts.push_back(text);
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return texts;
}

void WriteTexts(HKEY key, const wchar_t* name, const std::vector<std::wstring>& texts) {
    std::wstring buffer;
    for (const std::wstring& text : texts) {
        if (text.empty()) continue;
        buffer += text;
        buffer.push_back(L'\0');
    }
    buffer.push_back(L'\0');
    RegSetValueExW(key, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(buffer.data()),
                   static_cast<DWORD>(buffer.size() * sizeof(wchar_t)));
}

}  // namespace

StoredExtractChoices LoadExtractChoices() {
    StoredExtractChoices stored;
    ExtractChoices& choices = stored.choices;
    choices.openDestination = g_app.settings.openDestination != 0;
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return stored;
    DWORD value = 0;
    if (ReadInto(key.get(), kNewFolderValue, value)) choices.newFolder = value != 0;
    if (ReadInto(key.get(), kPathModeValue, value) && value <= static_cast<DWORD>(PathMode::Relative))
        choices.paths = static_cast<PathMode>(value);
    if (ReadInto(key.get(), kExistingValue, value) && value <= static_cast<DWORD>(ExistingFilePolicy::RenameExisting))
        choices.existingFiles = static_cast<ExistingFilePolicy>(value);
    if (ReadInto(key.get(), kZoneMarkingValue, value) && value <= static_cast<DWORD>(ZoneMarking::Off))
        choices.zoneMarking = static_cast<ZoneMarking>(value);
    if (ReadInto(key.get(), kOpenDestinationValue, value)) choices.openDestination = value != 0;
    stored.destinations = ReadTexts(key.get(), kDestinationsValue);
    if (stored.destinations.size() > kRememberedDestinations) stored.destinations.resize(kRememberedDestinations);
    return stored;
}

void SaveExtractChoices(const StoredExtractChoices& stored) {
    const ExtractChoices& choices = stored.choices;
    // The window's run saves its settings at its end: it must not put the old value back.
    g_app.settings.openDestination = choices.openDestination ? 1 : 0;
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return;
    WriteRegistryNumber(key.get(), kNewFolderValue, choices.newFolder ? 1 : 0);
    WriteRegistryNumber(key.get(), kPathModeValue, static_cast<DWORD>(choices.paths));
    WriteRegistryNumber(key.get(), kExistingValue, static_cast<DWORD>(choices.existingFiles));
    WriteRegistryNumber(key.get(), kZoneMarkingValue, static_cast<DWORD>(choices.zoneMarking));
    WriteRegistryNumber(key.get(), kOpenDestinationValue, choices.openDestination ? 1 : 0);
    WriteTexts(key.get(), kDestinationsValue, stored.destinations);
}

ZoneMarking StoredZoneMarking() { return LoadExtractChoices().choices.zoneMarking; }
