// The settings store against the real registry of the test prefix.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "base/handles.h"
#include "ui/settings.h"

namespace {

constexpr wchar_t kKeyPath[] = L"Software\\Tolvane Extractor";

struct RawValue {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

RawValue ReadRaw(const wchar_t* name) {
    RawValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        if (RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(), &size) == ERROR_SUCCESS) {
            value.present = true;
            value.bytes.resize(size);
        }
    }
    RegCloseKey(key);
    return value;
}

void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}

bool KeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

AppSettings ZeroSettings() {
    AppSettings settings;
    std::memset(&settings, 0, sizeof(settings));
    return settings;
}

AppSettings SampleSettings() {
    AppSettings settings = ZeroSettings();
    settings.placementValid = 1;
    settings.placement.length = sizeof(WINDOWPLACEMENT);
    settings.placement.showCmd = SW_SHOWMAXIMIZED;
    settings.placement.ptMaxPosition = {-1, -8};
    settings.placement.rcNormalPosition = {10, 20, 810, 620};
    wcscpy(settings.lastPath, L"Z:\\data\\caf\u00e9 \u6587\u4ef6\\photos.zip");
    for (int i = 0; i < kStoredColumnCount; ++i) settings.columnWidths[i] = i * 10 - 5;
    return settings;
}

class SettingsStore : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKeyPath); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKeyPath); }
};

TEST_F(SettingsStore, FirstRunCreatesTheEmptyKeyAndLeavesTheRecordZero) {
    ASSERT_FALSE(KeyExists());
    AppSettings settings = ZeroSettings();
    EXPECT_TRUE(LoadSettings(settings));
    EXPECT_TRUE(KeyExists());
    EXPECT_EQ(settings.placementValid, 0);
    EXPECT_EQ(settings.lastPath[0], L'\0');
    for (int width : settings.columnWidths) EXPECT_EQ(width, 0);
    EXPECT_FALSE(ReadRaw(L"MAIN_WP").present);
    EXPECT_FALSE(ReadRaw(L"last_path").present);
    EXPECT_FALSE(ReadRaw(L"column_width").present);
}

TEST_F(SettingsStore, TheThreeValuesRoundTripWithTheirStoredLayout) {
    const AppSettings saved = SampleSettings();
    ASSERT_TRUE(SaveSettings(saved));

    const RawValue placement = ReadRaw(L"MAIN_WP");
    ASSERT_TRUE(placement.present);
    EXPECT_EQ(placement.type, DWORD{REG_BINARY});
    ASSERT_EQ(placement.bytes.size(), 44u);
    EXPECT_EQ(std::memcmp(placement.bytes.data(), &saved.placement, 44), 0);

    const RawValue lastPath = ReadRaw(L"last_path");
    ASSERT_TRUE(lastPath.present);
    EXPECT_EQ(lastPath.type, DWORD{REG_SZ});
    const size_t units = wcslen(saved.lastPath);
    // The path is handed over without its terminator; the registry itself adds one when the
    // character after the counted text is a zero (Windows does this, and so does Wine).
    ASSERT_GE(lastPath.bytes.size(), units * 2);
    ASSERT_LE(lastPath.bytes.size(), units * 2 + 2);
    EXPECT_EQ(std::memcmp(lastPath.bytes.data(), saved.lastPath, units * 2), 0);
    if (lastPath.bytes.size() == units * 2 + 2) {
        EXPECT_EQ(lastPath.bytes[units * 2], 0);
        EXPECT_EQ(lastPath.bytes[units * 2 + 1], 0);
    }

    const RawValue widths = ReadRaw(L"column_width");
    ASSERT_TRUE(widths.present);
    EXPECT_EQ(widths.type, DWORD{REG_BINARY});
    ASSERT_EQ(widths.bytes.size(), 128u);
    EXPECT_EQ(widths.bytes[4], 5);  // column 1: 5, little-endian
    EXPECT_EQ(widths.bytes[0], 0xFB);  // column 0: -5

    AppSettings loaded = ZeroSettings();
    ASSERT_TRUE(LoadSettings(loaded));
    EXPECT_EQ(loaded.placementValid, 1);
    EXPECT_EQ(std::memcmp(&loaded.placement, &saved.placement, sizeof(WINDOWPLACEMENT)), 0);
    EXPECT_STREQ(loaded.lastPath, saved.lastPath);
    EXPECT_EQ(std::memcmp(loaded.columnWidths, saved.columnWidths, sizeof(saved.columnWidths)), 0);
}

TEST_F(SettingsStore, NoUsablePlacementWritesNoPlacementAndAnEmptyPathIsAnEmptyValue) {
    AppSettings settings = ZeroSettings();
    settings.placement.showCmd = SW_SHOWMAXIMIZED;  // not marked valid
    ASSERT_TRUE(SaveSettings(settings));
    EXPECT_FALSE(ReadRaw(L"MAIN_WP").present);
    const RawValue lastPath = ReadRaw(L"last_path");
    ASSERT_TRUE(lastPath.present);
    EXPECT_EQ(lastPath.type, DWORD{REG_SZ});
    EXPECT_EQ(lastPath.bytes.size(), 0u);
    EXPECT_EQ(ReadRaw(L"column_width").bytes.size(), 128u);
}

TEST_F(SettingsStore, ShortColumnWidthsResetEveryWidth) {
    std::vector<int32_t> stored(31, 77);  // 124 bytes
    WriteRaw(L"column_width", REG_BINARY, stored.data(), 124);
    AppSettings settings = ZeroSettings();
    for (int i = 0; i < kStoredColumnCount; ++i) settings.columnWidths[i] = 99;
    ASSERT_TRUE(LoadSettings(settings));
    for (int width : settings.columnWidths) EXPECT_EQ(width, 0);
}

TEST_F(SettingsStore, ValuesOfTheWrongTypeOrSizeAreIgnored) {
    const wchar_t expandable[] = L"%TEMP%\\x.zip";
    WriteRaw(L"last_path", REG_EXPAND_SZ, expandable, sizeof(expandable));
    WriteRaw(L"MAIN_WP", REG_SZ, L"0123456789012345678901", 44);
    std::vector<BYTE> big(132, 1);
    WriteRaw(L"column_width", REG_BINARY, big.data(), 132);
    AppSettings settings = ZeroSettings();
    ASSERT_TRUE(LoadSettings(settings));
    EXPECT_EQ(settings.placementValid, 0);
    EXPECT_EQ(settings.lastPath[0], L'\0');
    for (int width : settings.columnWidths) EXPECT_EQ(width, 0);

    // Too long a path, a placement one byte short or long, widths as a number.
    std::vector<wchar_t> longPath(300, L'a');
    WriteRaw(L"last_path", REG_SZ, longPath.data(), 600);
    std::vector<BYTE> placement(48, 2);
    WriteRaw(L"MAIN_WP", REG_BINARY, placement.data(), 43);
    const DWORD number = 5;
    WriteRaw(L"column_width", REG_DWORD, &number, sizeof(number));
    ASSERT_TRUE(LoadSettings(settings));
    EXPECT_EQ(settings.placementValid, 0);
    EXPECT_EQ(settings.lastPath[0], L'\0');
    WriteRaw(L"MAIN_WP", REG_BINARY, placement.data(), 48);
    ASSERT_TRUE(LoadSettings(settings));
    EXPECT_EQ(settings.placementValid, 0);
}

TEST_F(SettingsStore, AStoredPathOfAWholeFieldIsCutToStayTerminated) {
    std::vector<wchar_t> full(MAX_PATH, L'p');  // 260 units, no terminator
    WriteRaw(L"last_path", REG_SZ, full.data(), MAX_PATH * 2);
    std::vector<int32_t> widths(kStoredColumnCount, 0x00410041);  // text-like bytes right after the field
    WriteRaw(L"column_width", REG_BINARY, widths.data(), 128);
    AppSettings settings = ZeroSettings();
    ASSERT_TRUE(LoadSettings(settings));
    EXPECT_EQ(settings.lastPath[MAX_PATH - 1], L'\0');
    EXPECT_EQ(wcsnlen(settings.lastPath, MAX_PATH + 64), size_t{MAX_PATH - 1});
    EXPECT_EQ(settings.columnWidths[0], 0x00410041);

    // An odd byte count keeps the whole characters only.
    WriteRaw(L"last_path", REG_SZ, L"abcd", 7);
    ASSERT_TRUE(LoadSettings(settings));
    EXPECT_STREQ(settings.lastPath, L"abc");
}

TEST_F(SettingsStore, AFieldThatLostItsTerminatorIsSavedCutNotReadPast) {
    AppSettings settings = ZeroSettings();
    for (wchar_t& c : settings.lastPath) c = L'q';
    for (int32_t& w : settings.columnWidths) w = 0x00710071;
    ASSERT_TRUE(SaveSettings(settings));
    EXPECT_EQ(ReadRaw(L"last_path").bytes.size(), size_t{(MAX_PATH - 1) * 2});
}

}  // namespace
