#pragma once
// Per-user settings kept in HKEY_CURRENT_USER\Software\Tolvane Extractor.
#include <windows.h>

#include <cstdint>
#include <string>

inline constexpr int kStoredColumnCount = 32;

struct AppSettings {
    int32_t placementValid;          // non-zero when `placement` holds a usable value
    WINDOWPLACEMENT placement;       // 44 bytes; its normal size as at 96 DPI
    wchar_t lastPath[MAX_PATH];      // an archive file or a folder, terminated
    int32_t columnWidths[kStoredColumnCount];  // below 1: the column gets its default width
    int32_t openDestination;         // non-zero: an extraction in the window opens its folder
    int32_t keepFolders;             // non-zero: Extract Here and Extract to a folder keep the full paths
};

static_assert(sizeof(WINDOWPLACEMENT) == 44, "the stored placement is 44 bytes");

// Fills `settings` from the registry (creating the empty key on a first run).
// Returns false when the key can neither be opened nor created.
bool LoadSettings(AppSettings& settings);

// A text value of the settings key, read and written on its own (empty when missing or unreadable).
std::wstring LoadSettingText(const wchar_t* name);
bool SaveSettingText(const wchar_t* name, const std::wstring& text);

// Writes `settings` to the registry. Returns false when the key can neither be opened nor created.
bool SaveSettings(const AppSettings& settings);
