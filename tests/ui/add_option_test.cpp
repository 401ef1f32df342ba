// "Add to archive..." from the shell: the option /a, one dialog for every run that Explorer
// starts for a multiple selection.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>

#include "archive_entries.h"
#include "support/test_support.h"
#include "support/window_probe.h"

using namespace testsupport;

namespace {

constexpr wchar_t kAddCaption[] = L"Tolvane Extractor - Add";

struct CaptionCount {
    const std::wstring* caption;
    int count;
};

BOOL CALLBACK CountWithCaption(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<CaptionCount*>(param);
    if (IsWindowVisible(window) && WindowText(window) == *state->caption) ++state->count;
    return TRUE;
}

int CountTopWindows(const std::wstring& caption) {
    CaptionCount state{&caption, 0};
    EnumWindows(CountWithCaption, reinterpret_cast<LPARAM>(&state));
    return state.count;
}

}  // namespace

TEST(AddOption, ThreeQuickRunsFeedOneDialogAndOneArchive) {
    TempDir dir(L"addopt");
    const std::vector<std::wstring> names = {L"first.txt", L"second file.txt", L"third & last.txt"};
    for (const auto& name : names) WriteFileBytes(dir / name, Narrow(name));

    std::vector<HANDLE> runs;
    for (const auto& name : names) {
        runs.push_back(StartProcess(Quote(ProgramExe()) + L" /a \"" + (dir / name) + L"\""));
        ASSERT_NE(runs.back(), nullptr);
        // The later runs start once the first holds the dialog's place (its named mutex).
        ASSERT_TRUE(WaitUntil([] {
            HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"TolvaneEvent");
            if (mutex) CloseHandle(mutex);
            return mutex != nullptr;
        }));
    }
    HWND dialog = WaitForTopWindow(kAddCaption);
    ASSERT_NE(dialog, nullptr);

    // Every run but the one showing the dialog hands its path over and ends at once.
    DWORD dialogPid = 0;
    GetWindowThreadProcessId(dialog, &dialogPid);
    HANDLE owner = nullptr;
    for (HANDLE run : runs) {
        if (GetProcessId(run) == dialogPid) {
            owner = run;
            continue;
        }
        EXPECT_EQ(WaitForExitCode(run), 0u);
    }
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(CountTopWindows(kAddCaption), 1);

    // The proposal is named after the run that shows the dialog.
    const std::wstring proposal = ControlText(dialog, 1007);
    bool matches = false;
    for (const auto& name : names)
        matches |= proposal == dir / (name.substr(0, name.find_last_of(L'.')) + L".zip");
    EXPECT_TRUE(matches) << proposal;

    // A malformed hand-over changes nothing.
    const std::wstring unquoted = dir / L"first.txt";
    COPYDATASTRUCT bad{0, static_cast<DWORD>((unquoted.size() + 1) * sizeof(wchar_t)),
                       const_cast<wchar_t*>(unquoted.c_str())};
    DWORD_PTR accepted = 1;
    SendMessageTimeoutW(dialog, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&bad), SMTO_ABORTIFHUNG, 5000, &accepted);
    EXPECT_EQ(accepted, 0u);

    PressButton(dialog, IDOK);
    EXPECT_EQ(WaitForExitCode(owner, kLongPatienceMs), 0u);
    for (HANDLE run : runs) CloseHandle(run);
    EXPECT_EQ(ArchiveEntries(proposal), (std::vector<std::wstring>{L"first.txt", L"second file.txt", L"third & last.txt"}));
}

TEST(AddOption, CancelAddsNothing) {
    TempDir dir(L"addcancel");
    WriteFileBytes(dir / L"only.txt", "only");
    HANDLE run = StartProcess(Quote(ProgramExe()) + L" /a \"" + (dir / L"only.txt") + L"\"");
    ASSERT_NE(run, nullptr);
    HWND dialog = WaitForTopWindow(kAddCaption, GetProcessId(run));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(dialog, 1007), dir / L"only.zip");
    PressButton(dialog, IDCANCEL);
    EXPECT_EQ(WaitForExitCode(run), 0u);
    CloseHandle(run);
    EXPECT_EQ(ListFilesRecursive(dir.path()), std::vector<std::wstring>{L"only.txt"});
}

TEST(AddOption, APathHandedOverWhileTheAddRunsIsAddedRightAfter) {
    TempDir dir(L"addlate");
    // Incompressible data, so that the add lasts long enough to hand over a path meanwhile.
    std::string big(48 << 20, '\0');
    uint32_t seed = 12345;
    for (char& c : big) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    WriteFileBytes(dir / L"big.bin", big);
    WriteFileBytes(dir / L"late.txt", "late");
    HANDLE run = StartProcess(Quote(ProgramExe()) + L" /a \"" + (dir / L"big.bin") + L"\"");
    ASSERT_NE(run, nullptr);
    HWND dialog = WaitForTopWindow(kAddCaption, GetProcessId(run));
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, IDOK);
    ASSERT_NE(WaitForTopWindow(L"Add Files", GetProcessId(run)), nullptr);

    const std::wstring quoted = L"\"" + (dir / L"late.txt") + L"\"";
    COPYDATASTRUCT block{0, static_cast<DWORD>((quoted.size() + 1) * sizeof(wchar_t)),
                         const_cast<wchar_t*>(quoted.c_str())};
    DWORD_PTR accepted = 0;
    SendMessageTimeoutW(dialog, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block), SMTO_NORMAL, 10000, &accepted);
    EXPECT_EQ(accepted, 1u);
    EXPECT_EQ(WaitForExitCode(run, kLongPatienceMs), 0u);
    CloseHandle(run);
    EXPECT_EQ(ArchiveEntries(dir / L"big.zip"), (std::vector<std::wstring>{L"big.bin", L"late.txt"}));
}

namespace {

// Picks the item at `index` of a drop-down list of the dialog, as a user's choice is told.
void Choose(HWND dialog, int comboId, int index) {
    HWND combo = GetDlgItem(dialog, comboId);
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

constexpr int kFormat = 1201, kUpdateMode = 1205, kEncryptNames = 1208, kNote = 1210, kPassword = 1009;

}  // namespace

TEST(AddOption, TheChosenFormatAndEncryptionReachTheArchiveAndAreRememberedAndImpossibleChoicesAreExplained) {
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tolvane Extractor\\Add");
    TempDir dir(L"addchoice");
    WriteFileBytes(dir / L"photos\\a.txt", "a");
    WriteFileBytes(dir / L"photos\\b.txt", "b");
    const auto start = [&] { return StartProcess(Quote(ProgramExe()) + L" /a \"" + (dir / L"photos") + L"\""); };
    HANDLE run = start();
    HWND dialog = WaitForTopWindow(kAddCaption, GetProcessId(run));
    ASSERT_NE(dialog, nullptr);
    // For a folder: 7z, zip, tar, wim (a one-file format cannot hold it).
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, kFormat), CB_GETCOUNT, 0, 0), 4);
    Choose(dialog, kFormat, 2);
    EXPECT_EQ(ControlText(dialog, 1007), dir / L"photos.tar");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kPassword)));
    EXPECT_NE(ControlText(dialog, kNote).find(L"no encryption"), std::wstring::npos);
    Choose(dialog, kFormat, 0);
    EXPECT_EQ(ControlText(dialog, 1007), dir / L"photos.7z");
    SetControlText(dialog, kPassword, L"pw");
    SetControlText(dialog, 1010, L"pw");
    SendMessageW(GetDlgItem(dialog, kEncryptNames), BM_CLICK, 0, 0);
    // Freshen has nothing to freshen in a new archive: told, and the dialog stays.
    Choose(dialog, kUpdateMode, 2);
    PressButton(dialog, IDOK);
    HWND told = WaitForTopWindow(L"Tolvane Extractor", GetProcessId(run));
    ASSERT_NE(told, nullptr);
    EXPECT_NE(MessageBoxText(told).find(L"Freshen"), std::wstring::npos);
    PressButton(told, IDOK);
    Choose(dialog, kUpdateMode, 0);
    PressButton(dialog, IDOK);
    EXPECT_EQ(WaitForExitCode(run), 0u);
    CloseHandle(run);
    const std::string listed = Run7z(L"l -slt -ppw " + Quote(dir / L"photos.7z")).output;
    EXPECT_NE(listed.find("Type = 7z"), std::string::npos);
    EXPECT_NE(Run7z(L"l -pwrong " + Quote(dir / L"photos.7z")).exitCode, 0u) << "the names are encrypted";

    // The next archive starts from these choices.
    run = start();
    dialog = WaitForTopWindow(kAddCaption, GetProcessId(run));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(dialog, 1007), dir / L"photos.7z.7z");
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, kEncryptNames), BM_GETCHECK, 0, 0), BST_CHECKED);
    PressButton(dialog, IDCANCEL);
    EXPECT_EQ(WaitForExitCode(run), 0u);
    CloseHandle(run);
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tolvane Extractor\\Add");
}

TEST(AddOption, ATypedExtensionOfAWrittenFormatDecidesTheFormatAndTheBoxThenRenamesIt) {
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tolvane Extractor\\Add");
    TempDir dir(L"addtyped");
    WriteFileBytes(dir / L"notes.txt", "notes");
    HANDLE run = StartProcess(Quote(ProgramExe()) + L" /a \"" + (dir / L"notes.txt") + L"\"");
    HWND dialog = WaitForTopWindow(kAddCaption, GetProcessId(run));
    ASSERT_NE(dialog, nullptr);
    const auto zip = static_cast<int>(SendDlgItemMessageW(dialog, kFormat, CB_FINDSTRINGEXACT, -1, LPARAM(L"zip")));
    Choose(dialog, kFormat, zip);
    SetControlText(dialog, 1007, dir / L"plain.7z");
    EXPECT_EQ(ControlText(dialog, kFormat), L"7z") << "the typed name chose the format";
    // A format chosen in the box then renames the extension, and the name may choose again.
    Choose(dialog, kFormat, zip);
    EXPECT_EQ(ControlText(dialog, 1007), dir / L"plain.zip");
    SetControlText(dialog, 1007, dir / L"plain.7z");
    // A password the zip format could not take: fine for the 7z that the name asks for.
    SetControlText(dialog, kPassword, L"p\u00e4ss");
    SetControlText(dialog, 1010, L"p\u00e4ss");
    PressButton(dialog, IDOK);
    if (WaitForExitCode(run) != 0u) TerminateProcess(run, 1);  // a refusal keeps the dialog open
    CloseHandle(run);
    const std::string listed = Run7z(L"l -slt " + Quote(L"-pp\u00e4ss") + L" " + Quote(dir / L"plain.7z")).output;
    EXPECT_NE(listed.find("Type = 7z"), std::string::npos) << listed;
    EXPECT_NE(listed.find("Path = notes.txt"), std::string::npos);
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tolvane Extractor\\Add");
}
