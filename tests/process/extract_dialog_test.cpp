// "/x" as the shell's "Extract files..." starts it: the Extract dialog, each of its choices
// driven by its controls, what lands on disk the oracle.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "program_run.h"
#include "resource.h"
#include "support/test_support.h"
#include "support/window_probe.h"

using namespace testsupport;

namespace {

constexpr int kFull = 0, kNoPaths = 1;                   // the path list's order
constexpr int kSkip = 2, kRenameExisting = 4;            // the existing-files list's order

struct Choices {
    std::wstring destination;
    bool newFolder = false;
    int paths = kFull;
    int existing = 1;  // replace
    std::wstring password;
};

void ForgetExtractChoices() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tolvane Extractor", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    for (const wchar_t* name : {L"extract_dialog_new_folder", L"extract_dialog_path_mode",
                                L"extract_dialog_existing_files", L"extract_dialog_destinations"})
        RegDeleteValueW(key, name);
    RegCloseKey(key);
}

// Runs "/x" on the archive; `look` sees the dialog before the choices are set.
DWORD ExtractWith(const std::wstring& archive, const Choices& choices,
                  const std::function<void(HWND)>& look = nullptr) {
    DWORD pid = 0;
    HANDLE run = StartProcess(Quote(ProgramExe()) + L" /x \"" + archive + L"\"", &pid);
    HWND dialog = WaitForTopWindow(L"Extract", pid);
    EXPECT_NE(dialog, nullptr);
    if (dialog) {
        if (look) look(dialog);
        SetControlText(dialog, IDC_EXTRACT_DESTINATION, choices.destination);
        SendDlgItemMessageW(dialog, IDC_EXTRACT_NEW_FOLDER, BM_SETCHECK, choices.newFolder ? BST_CHECKED : 0, 0);
        SendDlgItemMessageW(dialog, IDC_EXTRACT_PATH_MODE, CB_SETCURSEL, choices.paths, 0);
        SendDlgItemMessageW(dialog, IDC_EXTRACT_EXISTING, CB_SETCURSEL, choices.existing, 0);
        SetControlText(dialog, IDC_EXTRACT_PASSWORD, choices.password);
        PressButton(dialog, IDOK);
    }
    const DWORD code = WaitForExitCode(run);
    CloseHandle(run);
    return code;
}

using Files = std::map<std::wstring, std::string>;
Files FilesIn(const std::wstring& folder) {
    Files files;
    for (const std::wstring& file : ListFilesRecursive(folder)) files[file] = ReadFileBytes(folder + L"\\" + file);
    return files;
}

class ExtractDialog : public testing::Test {
protected:
    void SetUp() override { ForgetExtractChoices(); }
    void TearDown() override { ForgetExtractChoices(); }
};

}  // namespace

TEST_F(ExtractDialog, EachChoiceChangesWhatLandsOnDisk) {
    TempDir work(L"xdlg");
    WriteFileBytes(work / L"src\\docs\\a.txt", "new a");
    WriteFileBytes(work / L"src\\docs\\sub\\b.txt", "new b");
    WriteFileBytes(work / L"src\\c.txt", "new c");
    ASSERT_EQ(Run7z(L"a " + Quote(work / L"many.7z") + L" docs c.txt", work / L"src").exitCode, 0u);
    ASSERT_EQ(Run7z(L"a " + Quote(work / L"one.7z") + L" docs", work / L"src").exitCode, 0u);

    // A new folder named after the archive for several items at the top, none for one.
    EXPECT_EQ(ExtractWith(work / L"many.7z", {work / L"out", true}), 0u);
    EXPECT_EQ(ExtractWith(work / L"one.7z", {work / L"out", true}), 0u);
    EXPECT_EQ(ListFilesRecursive(work / L"out"),
              (std::vector<std::wstring>{L"docs\\a.txt", L"docs\\sub\\b.txt", L"many\\c.txt", L"many\\docs\\a.txt",
                                         L"many\\docs\\sub\\b.txt"}));
    // ... " (2)" when its name is taken.
    EXPECT_EQ(ExtractWith(work / L"many.7z", {work / L"out", true}), 0u);
    EXPECT_EQ(ReadFileBytes(work / L"out\\many (2)\\c.txt"), "new c");

    // No paths: every file straight into the destination.
    EXPECT_EQ(ExtractWith(work / L"many.7z", {work / L"flat", false, kNoPaths}), 0u);
    EXPECT_EQ(FilesIn(work / L"flat"), (Files{{L"a.txt", "new a"}, {L"b.txt", "new b"}, {L"c.txt", "new c"}}));

    // Existing files: skipped keep their bytes; renamed out of the way keep them under a new name.
    WriteFileBytes(work / L"old\\c.txt", "old c");
    WriteFileBytes(work / L"old\\docs\\a.txt", "old a");
    EXPECT_EQ(ExtractWith(work / L"many.7z", {work / L"old", false, kFull, kSkip}), 0u);
    EXPECT_EQ(FilesIn(work / L"old"), (Files{{L"c.txt", "old c"}, {L"docs\\a.txt", "old a"}, {L"docs\\sub\\b.txt", "new b"}}));
    EXPECT_EQ(ExtractWith(work / L"many.7z", {work / L"old", false, kFull, kRenameExisting}), 0u);
    EXPECT_EQ(FilesIn(work / L"old"), (Files{{L"c.txt", "new c"}, {L"c (2).txt", "old c"}, {L"docs\\a.txt", "new a"},
                                             {L"docs\\a (2).txt", "old a"}, {L"docs\\sub\\b.txt", "new b"},
                                             {L"docs\\sub\\b (2).txt", "new b"}}));

    // The destinations used are offered again, the most recent first; the choices are kept.
    std::vector<std::wstring> offered;
    LRESULT existing = -1;
    const auto look = [&](HWND dialog) {
        for (LRESULT i = 0, n = SendDlgItemMessageW(dialog, IDC_EXTRACT_DESTINATION, CB_GETCOUNT, 0, 0); i < n; ++i) {
            wchar_t text[MAX_PATH] = {};
            SendDlgItemMessageW(dialog, IDC_EXTRACT_DESTINATION, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            offered.push_back(text);
        }
        existing = SendDlgItemMessageW(dialog, IDC_EXTRACT_EXISTING, CB_GETCURSEL, 0, 0);
    };
    EXPECT_EQ(ExtractWith(work / L"one.7z", {work / L"last"}, look), 0u);
    EXPECT_EQ(offered, (std::vector<std::wstring>{work / L"old", work / L"flat", work / L"out"}));
    EXPECT_EQ(existing, kRenameExisting);
}

TEST_F(ExtractDialog, ThePasswordGivenIsTriedFirstAndAWrongOneIsAskedForAgain) {
    TempDir work(L"xpass");
    WriteFileBytes(work / L"src\\a.txt", "alpha");
    ASSERT_EQ(Run7z(L"a -psecret " + Quote(work / L"locked.7z") + L" a.txt", work / L"src").exitCode, 0u);
    for (const std::wstring given : {L"secret", L"wrong"}) {
        DialogResponder prompts(L"Tolvane Extractor", [](HWND window) {
            SetControlText(window, IDC_PASSWORD_EDIT, L"secret");
            PressButton(window, IDOK);
        });
        Choices choices{work / given};
        choices.password = given;
        EXPECT_EQ(ExtractWith(work / L"locked.7z", choices), 0u);
        prompts.stop();
        EXPECT_EQ(ReadFileBytes(work / given + L"\\a.txt"), "alpha");
        const std::vector<std::wstring> asked{L"Wrong password. Enter password for locked.7z:"};
        EXPECT_EQ(prompts.texts(), given == L"secret" ? std::vector<std::wstring>{} : asked);
    }
}
