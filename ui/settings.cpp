#include "ui/settings.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "base/handles.h"
#include "base/program_identity.h"
#include "ui/dpi.h"

namespace {

constexpr REGSAM kSettingsKeyRights = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// The placement and the widths are binary values named in 8-bit text, the last path is wide text.
constexpr char kPlacementValue[] = "MAIN_WP";
constexpr char kColumnWidthValue[] = "column_width";
constexpr wchar_t kLastPathValue[] = L"last_path";
constexpr wchar_t kOpenDestinationValue[] = L"extract_open_destination";
constexpr wchar_t kKeepFoldersValue[] = L"extract_keep_folders";
// Present (1) when the placement's size is stored as at 96 DPI; placements stored before hold
// pixels at the system's DPI.
constexpr wchar_t kPlacementAt96Value[] = L"placement_size_at_96dpi";

constexpr DWORD kPlacementBytes = sizeof(WINDOWPLACEMENT);
constexpr DWORD kLastPathBytes = MAX_PATH * sizeof(wchar_t);
constexpr DWORD kColumnWidthBytes = kStoredColumnCount * sizeof(int32_t);
static_assert(kColumnWidthBytes == 128, "the stored widths are 128 bytes");

std::wstring SettingsKeyPath() { return std::wstring(L"Software\\") + kDisplayName; }

// Opens the settings key, creating it on a first run.
UniqueRegKey OpenSettingsKey() {
    const std::wstring path = SettingsKeyPath();
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, kSettingsKeyRights, key.put()) == ERROR_SUCCESS)
        return key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kSettingsKeyRights,
                        nullptr, key.put(), nullptr) == ERROR_SUCCESS)
        return key;
    return UniqueRegKey();
}

// Reads a value of the expected type whose size is at most `capacity` bytes into `buffer`.
// Returns the number of bytes read, or -1 when the value is missing, of another type, too
// large, or could not be read.
long ReadValueA(HKEY key, const char* name, DWORD expectedType, void* buffer, DWORD capacity) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return -1;
    if (type != expectedType || size > capacity) return -1;
    size = capacity;
    if (RegQueryValueExA(key, name, nullptr, &type, static_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) return -1;
    if (type != expectedType) return -1;
    return static_cast<long>(size);
}

long ReadValueW(HKEY key, const wchar_t* name, DWORD expectedType, void* buffer, DWORD capacity) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return -1;
    if (type != expectedType || size > capacity) return -1;
    size = capacity;
    if (RegQueryValueExW(key, name, nullptr, &type, static_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) return -1;
    if (type != expectedType) return -1;
    return static_cast<long>(size);
}

void LoadPlacement(HKEY key, AppSettings& settings) {
    BYTE scratch[kPlacementBytes] = {};
    // A shorter value is read but not used: only a whole placement is usable.
    if (ReadValueA(key, kPlacementValue, REG_BINARY, scratch, sizeof(scratch)) != long{kPlacementBytes}) return;
    settings.placementValid = 1;
    std::memcpy(&settings.placement, scratch, kPlacementBytes);
    DWORD at96 = 0;
    if (ReadValueW(key, kPlacementAt96Value, REG_DWORD, &at96, sizeof(at96)) == long{sizeof(at96)} && at96 == 1)
        return;
    RECT& rect = settings.placement.rcNormalPosition;
    const int dpi = SystemDpi();
    rect.right = rect.left + ScaleFromDpi(rect.right - rect.left, dpi);
    rect.bottom = rect.top + ScaleFromDpi(rect.bottom - rect.top, dpi);
}

void LoadLastPath(HKEY key, AppSettings& settings) {
    // Read through a scratch buffer so that a failed read leaves the field as it was.
    wchar_t scratch[MAX_PATH + 1] = {};
    const long bytes = ReadValueW(key, kLastPathValue, REG_SZ, scratch, kLastPathBytes);
    if (bytes < 0) return;
    // A stored path of 260 units (or an odd trailing byte) would not leave room for the
    // terminator: the field keeps at most 259 units and is always terminated.
    size_t units = static_cast<size_t>(bytes) / sizeof(wchar_t);
    if (units > MAX_PATH - 1) units = MAX_PATH - 1;
    std::wmemset(settings.lastPath, L'\0', MAX_PATH);
    std::wmemcpy(settings.lastPath, scratch, units);
}

void LoadColumnWidths(HKEY key, AppSettings& settings) {
    int32_t scratch[kStoredColumnCount] = {};
    if (ReadValueA(key, kColumnWidthValue, REG_BINARY, scratch, kColumnWidthBytes) == long{kColumnWidthBytes})
        std::memcpy(settings.columnWidths, scratch, kColumnWidthBytes);
    else
        std::memset(settings.columnWidths, 0, kColumnWidthBytes);
}

// A yes-or-no choice stored as a DWORD; missing or unreadable: no.
int32_t LoadChoice(HKEY key, const wchar_t* name) {
    DWORD value = 0;
    return ReadValueW(key, name, REG_DWORD, &value, sizeof(value)) == long{sizeof(value)} && value != 0 ? 1 : 0;
}

void SaveChoice(HKEY key, const wchar_t* name, int32_t choice) {
    const DWORD value = choice != 0 ? 1 : 0;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

}  // namespace

bool LoadSettings(AppSettings& settings) {
    UniqueRegKey key = OpenSettingsKey();
    if (!key) return false;
    LoadPlacement(key.get(), settings);
    LoadLastPath(key.get(), settings);
    LoadColumnWidths(key.get(), settings);
    settings.openDestination = LoadChoice(key.get(), kOpenDestinationValue);
    settings.keepFolders = LoadChoice(key.get(), kKeepFoldersValue);
    return true;
}

bool SaveSettings(const AppSettings& settings) {
    UniqueRegKey key = OpenSettingsKey();
    if (!key) return false;
    if (settings.placementValid != 0) {
        RegSetValueExA(key.get(), kPlacementValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&settings.placement),
                       kPlacementBytes);
        SaveChoice(key.get(), kPlacementAt96Value, 1);
    }
    // The terminator is not stored; a field that lost its terminator is cut to 259 units.
    const size_t units = wcsnlen(settings.lastPath, MAX_PATH - 1);
    RegSetValueExW(key.get(), kLastPathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(settings.lastPath),
                   static_cast<DWORD>(units * sizeof(wchar_t)));
    RegSetValueExA(key.get(), kColumnWidthValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(settings.columnWidths),
                   kColumnWidthBytes);
    SaveChoice(key.get(), kOpenDestinationValue, settings.openDestination);
    SaveChoice(key.get(), kKeepFoldersValue, settings.keepFolders);
    return true;
}

std::wstring LoadSettingText(const wchar_t* name) {
    UniqueRegKey key = OpenSettingsKey();
    if (!key) return {};
    wchar_t scratch[256] = {};
    const long bytes = ReadValueW(key.get(), name, REG_SZ, scratch, sizeof(scratch) - sizeof(wchar_t));
    return bytes <= 0 ? std::wstring() : std::wstring(scratch, wcsnlen(scratch, static_cast<size_t>(bytes) / sizeof(wchar_t)));
}

bool SaveSettingText(const wchar_t* name, const std::wstring& text) {
    UniqueRegKey key = OpenSettingsKey();
    return key && RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}
