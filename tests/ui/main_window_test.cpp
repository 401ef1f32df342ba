// The program as a user starts it: on an archive, on a folder, maximised; read back from
// another process the way a screen reader would.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>

#include "support/program_window.h"
#include "support/remote_list.h"
#include "support/test_support.h"
#include "support/window_probe.h"

using namespace testsupport;

namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Tolvane Extractor";

void ForgetSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

void StoreLastPath(const std::wstring& path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"last_path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::string StoredValue(const wchar_t* name, DWORD* type = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    DWORD size = 0, kind = 0;
    std::string data;
    if (RegQueryValueExW(key, name, nullptr, &kind, nullptr, &size) == ERROR_SUCCESS) {
        data.resize(size);
        RegQueryValueExW(key, name, nullptr, &kind, reinterpret_cast<BYTE*>(data.data()), &size);
        data.resize(size);
    }
    if (type) *type = kind;
    RegCloseKey(key);
    return data;
}

std::wstring StoredLastPath() {
    const std::string bytes = StoredValue(L"last_path");
    std::wstring path(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    // The registry may keep a terminator after the counted text.
    while (!path.empty() && path.back() == L'\0') path.pop_back();
    return path;
}

std::wstring MakeSampleArchive(const TempDir& dir) {
    WriteFileBytes(dir / L"src\\docs\\a.txt", "alpha");
    WriteFileBytes(dir / L"src\\b.txt", "bravo bravo");
    const std::wstring archive = dir / L"sample.zip";
    EXPECT_EQ(Run7z(L"a -tzip " + Quote(archive) + L" docs b.txt", dir / L"src").exitCode, 0u);
    return archive;
}

}  // namespace

TEST(MainWindow, ShowsTheArchiveNamedOnTheCommandLineAndRemembersItsFolder) {
    ForgetSettings();
    TempDir dir(L"m w");
    const std::wstring archive = MakeSampleArchive(dir);

    // Quoted, as "Open with" and a drop on the program's icon start it, the path is the same.
    RunningProgram program(L"\"" + archive + L"\"");
    ASSERT_TRUE(program.started());
    ASSERT_NE(program.WaitForFrame(), nullptr);
    // The window is up first; the archive fills it once it has been read.
    ASSERT_TRUE(WaitForPath(program, archive));
    EXPECT_EQ(WindowText(program.frame()), L"sample.zip - Tolvane Extractor - Ver 1.0");

    HWND list = program.list();
    ASSERT_EQ(RemoteListCount(list), 3);
    EXPECT_EQ(RemoteListItemText(list, 0, 0), L"..");
    EXPECT_EQ(RemoteListItemText(list, 1, 0), L"docs");
    EXPECT_EQ(RemoteListItemText(list, 2, 0), L"b.txt");
    EXPECT_EQ(RemoteListItemText(list, 2, 1), L"11");  // size
    EXPECT_EQ(RemoteListItemText(list, 1, 3), L"Folder");

    EXPECT_EQ(program.Close(), 1u);
    // In an archive the folder that holds it is remembered.
    EXPECT_EQ(StoredLastPath(), dir.path());
    EXPECT_EQ(StoredValue(L"MAIN_WP").size(), 44u);
    const std::string widths = StoredValue(L"column_width");
    ASSERT_EQ(widths.size(), 128u);
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(widths.data()), 350);
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(widths.data() + 4), 150);
}

TEST(MainWindow, BrowsesTheStoredFolderAndEntersArchivesAndFolders) {
    ForgetSettings();
    TempDir dir(L"mwf");
    MakeSampleArchive(dir);
    StoreLastPath(dir.path());

    RunningProgram program(L"");
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    // "..", then the folder src, then sample.zip.
    ASSERT_EQ(RemoteListCount(list), 3);
    EXPECT_EQ(RemoteListItemText(list, 0, 0), L"..");
    EXPECT_EQ(RemoteListItemText(list, 1, 0), L"src");
    EXPECT_EQ(RemoteListItemText(list, 2, 0), L"sample.zip");
    EXPECT_EQ(WindowText(program.pathField()), dir.path() + L"\\");
    EXPECT_EQ(program.Close(), 1u);
    EXPECT_EQ(StoredLastPath(), dir.path() + L"\\");
}

TEST(MainWindow, ColumnsFollowTheWindowToAScreenOfAnotherDpiAndAreStoredAsAt96Dpi) {
    ForgetSettings();
    TempDir dir(L"mwd");
    StoreLastPath(dir.path());
    RunningProgram program(L"");
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitUntil([&] { return ColumnCount(list) == 4; }));
    const auto width = [&](int column) { return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)); };
    EXPECT_EQ(width(0), 350);
    // Moved to a screen of 144 DPI (no rectangle proposed), and back.
    SendMessageW(program.frame(), WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
    EXPECT_EQ(width(0), 525);
    EXPECT_EQ(width(1), 225);
    SendMessageW(program.frame(), WM_DPICHANGED, MAKEWPARAM(96, 96), 0);
    EXPECT_EQ(width(0), 350);
    SendMessageW(program.frame(), WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
    EXPECT_EQ(program.Close(), 1u);
    const std::string widths = StoredValue(L"column_width");
    ASSERT_EQ(widths.size(), 128u);
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(widths.data()), 350);
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(widths.data() + 4), 150);
}

TEST(MainWindow, ReopensMaximisedWhenClosedMaximised) {
    ForgetSettings();
    TempDir dir(L"mwm");
    StoreLastPath(dir.path());
    {
        RunningProgram program(L"", SW_SHOWMAXIMIZED);
        ASSERT_NE(program.WaitForFrame(), nullptr);
        EXPECT_TRUE(WaitUntil([&] { return IsZoomed(program.frame()) != FALSE; }));
        EXPECT_EQ(program.Close(), 1u);
    }
    const std::string placement = StoredValue(L"MAIN_WP");
    ASSERT_EQ(placement.size(), 44u);
    EXPECT_EQ(reinterpret_cast<const WINDOWPLACEMENT*>(placement.data())->showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    {
        RunningProgram program(L"");  // shown normally, but the stored placement wins
        ASSERT_NE(program.WaitForFrame(), nullptr);
        EXPECT_TRUE(WaitUntil([&] { return IsZoomed(program.frame()) != FALSE; }));
        EXPECT_EQ(program.Close(), 1u);
    }
}


TEST(MainWindow, StartsOnAnArchiveWhoseListWantsAPasswordAndAsksForItOnce) {
    ForgetSettings();
    TempDir dir(L"m w");
    WriteFileBytes(dir / L"src\\top.txt", "top");
    const std::wstring archive = dir / L"locked.7z";
    ASSERT_EQ(Run7z(L"a -mhe=on -psecret " + Quote(archive) + L" top.txt", dir / L"src").exitCode, 0u);

    // The list is read while the window is made, before anyone could be asked: the password is
    // asked for once the window is there, and the rows follow.
    std::atomic<int> prompts{0};
    DialogResponder answers(L"Tolvane Extractor", [&](HWND window) {
        if (!GetDlgItem(window, 1004)) return;
        ++prompts;
        SetControlText(window, 1004, L"secret");
        PressButton(window, IDOK);
    });
    RunningProgram program(Quote(archive));
    ASSERT_NE(program.WaitForFrame(), nullptr);
    ASSERT_TRUE(WaitForRows(program.list(), 2));
    answers.stop();
    EXPECT_EQ(prompts.load(), 1);
    EXPECT_EQ(RemoteListItemText(program.list(), 1, 0), L"top.txt");
    EXPECT_EQ(program.Close(), 1u);
}
