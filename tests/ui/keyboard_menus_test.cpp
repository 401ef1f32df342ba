// The main window's keys, right-click menu, menu bar, title and status bar, used as a user does:
// keys pressed on the real keyboard queue, read back from the window of another process.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/program_window.h"
#include "support/remote_list.h"
#include "support/window_probe.h"

using namespace testsupport;

namespace {

HWND StatusBarOf(const RunningProgram& program) {
    return FindWindowExW(program.frame(), nullptr, L"msctls_statusbar32", nullptr);
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// Presses the keys in order and lets them go in the opposite order, as a hand does.
void Press(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (size_t i = 0; i < keys.size() * 2; ++i) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = i < keys.size() ? keys[i] : keys[keys.size() * 2 - 1 - i];
        input.ki.dwFlags = i < keys.size() ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool MenuShown() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

}  // namespace

TEST(KeyboardAndMenus, KeysWalkAnArchiveWithAHistoryAndTheBarsTellWhatIsShown) {
    TempDir dir(L"keys");
    WriteFileBytes(dir / L"src\\docs\\a.txt", "alpha");
    WriteFileBytes(dir / L"src\\docs\\b.txt", std::string(2048, 'b'));
    WriteFileBytes(dir / L"src\\top.txt", "eleven byte");
    const std::wstring archive = dir / L"k.7z";
    ASSERT_EQ(Run7z(L"a -ms=on " + Quote(archive) + L" docs top.txt", dir / L"src").exitCode, 0u);
    StartIn(dir.path());
    RunningProgram program(Quote(archive));
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitForRows(list, 3));
    EXPECT_EQ(WindowText(program.frame()), L"k.7z - Tolvane Extractor - Ver 1.0");
    std::vector<std::wstring> status = RemoteStatusTexts(StatusBarOf(program));
    ASSERT_EQ(status.size(), 4u);
    EXPECT_EQ(status[0], L"2 items, 11 bytes");
    EXPECT_EQ(status[1], L"");
    EXPECT_EQ(status[2].rfind(L"7z, LZMA2:", 0), 0u) << status[2];
    EXPECT_NE(status[2].find(L", solid, not encrypted"), std::wstring::npos) << status[2];
    EXPECT_EQ(status[3], L"");

    // Enter opens the folder; Ctrl+A selects its items, not the way up.
    RECT client{};
    GetClientRect(list, &client);
    ASSERT_TRUE(ClickToFocus(list, {client.right / 2, client.bottom - 4}));
    RemoteListSelect(list, {RowOf(list, L"docs")});
    Press({VK_RETURN});
    ASSERT_TRUE(WaitForPath(program, archive + L"\\docs"));
    EXPECT_EQ(WindowText(program.frame()), L"k.7z\\docs - Tolvane Extractor - Ver 1.0");
    Press({VK_CONTROL, 'A'});
    EXPECT_TRUE(WaitUntil([&] { return RemoteListSelection(list) == std::vector<int>{1, 2}; }));
    EXPECT_TRUE(WaitUntil([&] { return RemoteStatusTexts(StatusBarOf(program))[1] == L"2 selected, 2.0 KB"; }));

    // Up, back, forward; Alt+Up from the archive's root leaves it, and Back opens it again.
    const std::pair<std::vector<WORD>, std::wstring> steps[] = {
        {{VK_BACK}, archive},           {{VK_MENU, VK_LEFT}, archive + L"\\docs"},
        {{VK_MENU, VK_RIGHT}, archive}, {{VK_MENU, VK_UP}, dir.path() + L"\\"},
        {{VK_MENU, VK_LEFT}, archive},  {{VK_MENU, VK_LEFT}, archive + L"\\docs"}};
    for (const auto& [keys, path] : steps) {
        Press(keys);
        ASSERT_TRUE(WaitForPath(program, path)) << path;
    }

    // F5 lists the archive as it is now.
    WriteFileBytes(dir / L"src\\docs\\c.txt", "c");
    ASSERT_EQ(Run7z(L"a " + Quote(archive) + L" docs\\c.txt", dir / L"src").exitCode, 0u);
    Press({VK_F5});
    EXPECT_TRUE(WaitForRows(list, 4));

    // Alt+D and Ctrl+L reach the path field, and leave the list's items alone.
    for (const std::vector<WORD>& keys : {std::vector<WORD>{VK_MENU, 'D'}, {VK_CONTROL, 'L'}}) {
        ASSERT_TRUE(ClickToFocus(list, {client.right / 2, client.bottom - 4}));
        Press(keys);
        EXPECT_TRUE(WaitUntil([&] { return FocusOfThread(list) == program.pathField(); }));
    }

    // Shift+F10 and the menu key open the right-click menu at the selection; "Copy path" there.
    for (const std::vector<WORD>& keys : {std::vector<WORD>{VK_SHIFT, VK_F10}, {VK_APPS}}) {
        ASSERT_TRUE(ClickToFocus(list, {client.right / 2, client.bottom - 4}));
        RemoteListSelect(list, {RowOf(list, L"a.txt")});
        OpenClipboard(nullptr);
        EmptyClipboard();
        CloseClipboard();
        Press(keys);
        ASSERT_TRUE(WaitUntil(MenuShown));
        Press({'P'});
        EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == archive + L"\\docs\\a.txt"; }));
    }

    // F6 goes from the list to the path field; Ctrl+O asks for an archive to open.
    ASSERT_TRUE(ClickToFocus(list, {client.right / 2, client.bottom - 4}));
    Press({VK_F6});
    EXPECT_TRUE(WaitUntil([&] { return FocusOfThread(list) == program.pathField(); }));
    ASSERT_TRUE(ClickToFocus(list, {client.right / 2, client.bottom - 4}));
    Press({VK_CONTROL, 'O'});
    HWND picker = WaitForTopWindow(L"Open archive", program.pid());
    ASSERT_NE(picker, nullptr);
    PressButton(picker, IDCANCEL);
    EXPECT_TRUE(WaitForNoTopWindow(L"Open archive", program.pid()));
    ASSERT_TRUE(ClickToFocus(list, {client.right / 2, client.bottom - 4}));

    // Help > About from the menu bar.
    Press({VK_MENU, 'H'});
    Press({'A'});
    HWND about = WaitForTopWindow(L"About", program.pid());
    ASSERT_NE(about, nullptr);
    PressButton(about, IDOK);
    EXPECT_TRUE(WaitForNoTopWindow(L"About", program.pid()));
    EXPECT_EQ(program.Close(), 1u);
}

TEST(KeyboardAndMenus, TheStatusBarTellsADamagedArchiveAndWhatIsEncrypted) {
    TempDir dir(L"damaged bar");
    WriteFileBytes(dir / L"src\\secret.txt", std::string(1000, 's'));
    WriteFileBytes(dir / L"src\\plain.txt", std::string(1000, 'p'));
    const std::wstring archive = dir / L"mixed.zip";
    ASSERT_EQ(Run7z(L"a -tzip -pword " + Quote(archive) + L" secret.txt", dir / L"src").exitCode, 0u);
    ASSERT_EQ(Run7z(L"a -tzip " + Quote(archive) + L" plain.txt", dir / L"src").exitCode, 0u);
    std::string bytes = ReadFileBytes(archive);
    WriteFileBytes(archive, bytes + std::string(100, 'x'));  // data after the archive's end
    StartIn(dir.path());
    // The open tells of the damage once; the status bar keeps telling it.
    DialogResponder ok(L"Tolvane Extractor", [](HWND box) { PressButton(box, IDOK); });
    RunningProgram program(Quote(archive));
    ASSERT_NE(program.WaitForFrame(), nullptr);
    ASSERT_TRUE(WaitForRows(program.list(), 3));
    std::vector<std::wstring> status;
    ASSERT_TRUE(WaitUntil([&] { return (status = RemoteStatusTexts(StatusBarOf(program))).size() == 4; }));
    EXPECT_EQ(status[2], L"Zip, Deflate / ZipCrypto Deflate, not solid, encrypted (1 of 2 files)");
    EXPECT_EQ(status[3].rfind(L"Damaged: ", 0), 0u) << status[3];
    EXPECT_EQ(ok.count(), 1);
    EXPECT_EQ(program.Close(), 1u);
}

TEST(KeyboardMenus, TheStatusBarNamesTheFormatOfTheContentNotOfTheExtension) {
    TempDir dir(L"format bar");
    WriteFileBytes(dir / L"src\\a.txt", "alpha");
    ASSERT_EQ(Run7z(L"a -t7z " + Quote(dir / L"really7z.zip") + L" a.txt", dir / L"src").exitCode, 0u);
    ASSERT_EQ(Run7z(L"a -ttar t.tar a.txt", dir / L"src").exitCode, 0u);
    ASSERT_EQ(Run7z(L"a -tgzip " + Quote(dir / L"t.tar.gz") + L" t.tar", dir / L"src").exitCode, 0u);
    for (const auto& [name, format] : std::vector<std::pair<std::wstring, std::wstring>>{
             {L"really7z.zip", L"7z, "}, {L"t.tar.gz", L"tar (gzip), "}}) {
        RunningProgram program(Quote(dir / name));
        ASSERT_NE(program.WaitForFrame(), nullptr);
        std::vector<std::wstring> status;
        ASSERT_TRUE(WaitUntil([&] { return (status = RemoteStatusTexts(StatusBarOf(program))).size() == 4; }));
        EXPECT_EQ(status[2].rfind(format, 0), 0u) << status[2];
        EXPECT_EQ(program.Close(), 1u);
    }
}
