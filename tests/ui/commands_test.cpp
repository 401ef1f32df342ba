// Add, Extract and Delete from the main window, and files dropped on it: the real program
// driven from this process the way a user drives it.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "archive_entries.h"
#include "support/program_window.h"
#include "support/remote_list.h"
#include "support/test_support.h"
#include "support/tree_probe.h"
#include "support/window_probe.h"

using namespace testsupport;

namespace {

constexpr wchar_t kMessageCaption[] = L"Tolvane Extractor";
constexpr wchar_t kAddCaption[] = L"Tolvane Extractor - Add";
constexpr int kAdd = 32775, kExtract = 32776, kDelete = 32777;

std::vector<int> RowsOf(HWND list, const std::vector<std::wstring>& names) {
    std::vector<int> rows;
    for (const auto& name : names) rows.push_back(RowOf(list, name));
    return rows;
}

// Chooses `folder` in the folder browser, which opens on a sibling of it: by its tree, as a
// user clicks, and waits until the tree shows it selected.
bool ChooseSiblingInBrowser(HWND browser, const std::wstring& folder) {
    const std::wstring leaf = folder.substr(folder.find_last_of(L'\\') + 1);
    HWND tree = FindDescendantByClass(browser, L"SysTreeView32");
    if (!tree) return false;
    return WaitUntil([&] {
        HTREEITEM selected = TreeSelection(tree);
        if (TreeItemText(tree, selected) == leaf) return true;
        HTREEITEM parent = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(selected)));
        if (HTREEITEM sibling = parent ? TreeChildNamed(tree, parent, leaf) : nullptr) SelectTreeItem(tree, sibling);
        return false;
    });
}

class CommandsTest : public testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(dir_ / L"work\\one.txt", "first file");
        WriteFileBytes(dir_ / L"work\\two.txt", "second file");
        WriteFileBytes(dir_ / L"work\\three.txt", "third file");
        WriteFileBytes(dir_ / L"src\\docs\\a.txt", "alpha");
        WriteFileBytes(dir_ / L"src\\docs\\b.txt", "bravo");
        WriteFileBytes(dir_ / L"src\\docs\\c.txt", "charlie");
        WriteFileBytes(dir_ / L"src\\docs2\\d.txt", "delta");
        WriteFileBytes(dir_ / L"src\\top.txt", "top");
        CreateDirectoryW((dir_ / L"out").c_str(), nullptr);
    }
    std::wstring MakeArchive(const std::wstring& name) {
        const std::wstring archive = dir_ / (L"work\\" + name);
        EXPECT_EQ(Run7z(L"a " + Quote(archive) + L" docs docs2 top.txt", dir_ / L"src").exitCode, 0u);
        return archive;
    }
    TempDir dir_{L"cmd"};
};

}  // namespace

TEST_F(CommandsTest, AddBuildsAnArchiveOfTheSelectedFilesAndShowsIt) {
    StartIn(dir_ / L"work");
    RunningProgram program(L"");
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitForRows(list, 4));  // .., one, three, two
    RemoteListSelect(list, RowsOf(list, {L"one.txt", L"two.txt"}));
    Command(program, kAdd);

    HWND dialog = WaitForTopWindow(kAddCaption, program.pid());
    ASSERT_NE(dialog, nullptr);
    // Two items: an archive named after their folder, inside it.
    EXPECT_EQ(ControlText(dialog, 1007), dir_ / L"work\\work.zip");
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitForNoTopWindow(kAddCaption, program.pid()));
    EXPECT_EQ(ArchiveEntries(dir_ / L"work\\work.zip"), (std::vector<std::wstring>{L"one.txt", L"two.txt"}));
    // The new archive shows up in the listing.
    EXPECT_TRUE(WaitForRows(list, 5));
    EXPECT_GE(RowOf(list, L"work.zip"), 0);
    EXPECT_EQ(program.Close(), 1u);
}

TEST_F(CommandsTest, AddWithAPasswordInsistsOnTheSameTextTwice) {
    StartIn(dir_ / L"work");
    RunningProgram program(L"");
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitForRows(list, 4));
    RemoteListSelect(list, {RowOf(list, L"three.txt")});
    Command(program, kAdd);
    HWND dialog = WaitForTopWindow(kAddCaption, program.pid());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(dialog, 1007), dir_ / L"work\\three.zip");
    SetControlText(dialog, 1009, L"s3cret");
    SetControlText(dialog, 1010, L"s3cre7");
    PressButton(dialog, IDOK);
    HWND mismatch = WaitForTopWindow(kMessageCaption, program.pid());
    ASSERT_NE(mismatch, nullptr);
    EXPECT_EQ(MessageBoxText(mismatch), L"The passwords do not match.");
    PressButton(mismatch, IDOK);
    ASSERT_TRUE(WaitForNoTopWindow(kMessageCaption, program.pid()));
    EXPECT_TRUE(IsWindow(dialog));  // the dialog stays open with its fields
    // A password the zip format cannot take is refused before anything runs.
    SetControlText(dialog, 1009, L"p\u00e4ssw\u00f6rd");
    SetControlText(dialog, 1010, L"p\u00e4ssw\u00f6rd");
    EXPECT_EQ(AnswerMessage(program, [&] { PressButton(dialog, IDOK); }),
              L"The password cannot be used: a .zip archive takes only printable ASCII characters in its password."
              L"\nPlease input another password, or choose a .7z archive.");
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_FALSE(PathExists(dir_ / L"work\\three.zip"));
    SetControlText(dialog, 1009, L"s3cret");
    SetControlText(dialog, 1010, L"s3cret");
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitForNoTopWindow(kAddCaption, program.pid()));
    const std::wstring archive = dir_ / L"work\\three.zip";
    EXPECT_NE(Run7z(L"t -pwrong " + Quote(archive)).exitCode, 0u);
    EXPECT_EQ(Run7z(L"t -ps3cret " + Quote(archive)).exitCode, 0u);
    EXPECT_EQ(program.Close(), 1u);
}

TEST_F(CommandsTest, ExtractWritesExactlyTheSelectedEntriesOfASubFolder) {
    const std::wstring archive = MakeArchive(L"pack.7z");
    RunningProgram program(archive);
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitForRows(list, 4));  // .., docs, docs2, top.txt
    RemoteListDoubleClick(list, RowOf(list, L"docs"));
    ASSERT_TRUE(WaitForPath(program, archive + L"\\docs"));
    ASSERT_EQ(RemoteListCount(list), 4);  // .., a, b, c
    ASSERT_EQ(RemoteListItemText(list, 1, 0), L"a.txt");
    RemoteListSelect(list, RowsOf(list, {L"a.txt", L"c.txt"}));
    Command(program, kExtract);
    HWND dialog = nullptr;
    HWND browser = BrowseFromExtractDialog(program.pid(), dialog);
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(ChooseSiblingInBrowser(browser, dir_ / L"out"));
    PressButton(browser, IDOK);
    ConfirmExtractDialog(dialog, browser, program.pid());
    ASSERT_TRUE(WaitForNoTopWindow(L"Extract", program.pid()));
    ASSERT_TRUE(WaitUntil([&] { return ListFilesRecursive(dir_ / L"out").size() >= 2; }));
    ASSERT_TRUE(WaitForNoTopWindow(L"Extract Files", program.pid()));
    EXPECT_EQ(ListFilesRecursive(dir_ / L"out"), (std::vector<std::wstring>{L"docs\\a.txt", L"docs\\c.txt"}));
    EXPECT_EQ(ReadFileBytes(dir_ / L"out\\docs\\c.txt"), "charlie");
    // Relative to the folder shown, typed into the Extract dialog: the entries lose "docs\\".
    RemoteListSelect(list, RowsOf(list, {L"a.txt", L"c.txt"}));
    Command(program, kExtract);
    dialog = WaitForExtractDialog(program.pid());
    ASSERT_NE(dialog, nullptr);
    SetControlText(dialog, 1350, dir_ / L"rel");
    SendDlgItemMessageW(dialog, 1353, CB_SETCURSEL, 2, 0);
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return ListFilesRecursive(dir_ / L"rel").size() >= 2; }));
    ASSERT_TRUE(WaitForNoTopWindow(L"Extract Files", program.pid()));
    EXPECT_EQ(ListFilesRecursive(dir_ / L"rel"), (std::vector<std::wstring>{L"a.txt", L"c.txt"}));
    EXPECT_EQ(program.Close(), 1u);
}

TEST_F(CommandsTest, DeleteAsksOnceSingularOncePluralAndReloadsTheSameFolder) {
    const std::wstring archive = MakeArchive(L"pack.zip");
    RunningProgram program(archive);
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitForRows(list, 4));
    RemoteListDoubleClick(list, RowOf(list, L"docs"));
    ASSERT_TRUE(WaitForPath(program, archive + L"\\docs"));

    DialogResponder yes(kMessageCaption, [](HWND box) { PressButton(box, IDYES); }, program.pid());
    RemoteListSelect(list, {RowOf(list, L"b.txt")});
    Command(program, kDelete);
    ASSERT_TRUE(WaitForRows(list, 3));
    EXPECT_EQ(WindowText(program.pathField()), archive + L"\\docs");
    RemoteListSelect(list, RowsOf(list, {L"a.txt", L"c.txt"}));
    Command(program, kDelete);
    ASSERT_TRUE(WaitForRows(list, 1));  // only ".." is left in docs
    yes.stop();
    ASSERT_EQ(yes.texts().size(), 2u);
    EXPECT_EQ(yes.texts()[0], L"Are you sure you want to delete a selected file?");
    EXPECT_EQ(yes.texts()[1], L"Are you sure you want to delete selected files?");
    // docs2 and top.txt are untouched: "docs" took nothing beyond its own entries.
    EXPECT_EQ(ArchiveEntries(archive), (std::vector<std::wstring>{L"docs", L"docs2", L"docs2\\d.txt", L"top.txt"}));
    EXPECT_EQ(program.Close(), 1u);
}

TEST_F(CommandsTest, DroppedFilesGoIntoTheOpenFolderOfTheArchive) {
    const std::wstring archive = MakeArchive(L"pack.zip");
    RunningProgram program(archive);
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitForRows(list, 4));
    RemoteListDoubleClick(list, RowOf(list, L"docs2"));
    ASSERT_TRUE(WaitForPath(program, archive + L"\\docs2"));
    ASSERT_EQ(RemoteListCount(list), 2);
    RemoteDropFiles(program.view(), {dir_ / L"work\\one.txt", dir_ / L"work\\two.txt"});
    ASSERT_TRUE(WaitForRows(list, 4));
    EXPECT_EQ(WindowText(program.pathField()), archive + L"\\docs2");
    const auto entries = ArchiveEntries(archive);
    EXPECT_NE(std::find(entries.begin(), entries.end(), L"docs2\\one.txt"), entries.end());
    EXPECT_NE(std::find(entries.begin(), entries.end(), L"docs2\\two.txt"), entries.end());
    EXPECT_EQ(program.Close(), 1u);
}

TEST_F(CommandsTest, FailuresAreToldWithTheirOwnWords) {
    const std::wstring second = dir_ / L"work\\b.zip";
    ASSERT_EQ(Run7z(L"a " + Quote(dir_ / L"work\\a.zip") + L" " + Quote(dir_ / L"work\\one.txt")).exitCode, 0u);
    ASSERT_EQ(Run7z(L"a " + Quote(second) + L" " + Quote(dir_ / L"work\\one.txt")).exitCode, 0u);
    WriteFileBytes(dir_ / L"work\\fake.zip", "not an archive at all");
    StartIn(dir_ / L"work");
    RunningProgram program(L"");
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitForRows(list, 7));
    const std::wstring nothing = L"No files selected. You need to select files this operation";

    RemoteListSelect(list, {0});  // only ".." selected: nothing to work on
    EXPECT_EQ(AnswerMessage(program, [&] { Command(program, kExtract); }), nothing);
    EXPECT_EQ(AnswerMessage(program, [&] { Command(program, kDelete); }), nothing);
    EXPECT_EQ(AnswerMessage(program, [&] { Command(program, kAdd); }), nothing);
    EXPECT_EQ(AnswerMessage(program, [&] { RemoteDropFiles(program.view(), {dir_ / L"work\\one.txt"}); }),
              L"Please open an archive file first.");
    // Two archive files selected for extraction in the file system.
    RemoteListSelect(list, RowsOf(list, {L"a.zip", L"b.zip"}));
    EXPECT_EQ(AnswerMessage(program, [&] { Command(program, kExtract); }), nothing);

    // A file that is no archive, extracted from the file system, is reported by name.
    RemoteListSelect(list, {RowOf(list, L"fake.zip")});
    Command(program, kExtract);
    HWND dialog = nullptr;
    HWND browser = BrowseFromExtractDialog(program.pid(), dialog);
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(ChooseSiblingInBrowser(browser, dir_ / L"out"));
    const auto confirm = [&] {
        PressButton(browser, IDOK);
        ConfirmExtractDialog(dialog, browser, program.pid());
    };
    EXPECT_EQ(AnswerMessage(program, confirm),
              L"Could not extract fake.zip\n\nThe file could not be opened as an archive: not an archive of its type, "
              L"or damaged.");
    EXPECT_TRUE(ListFilesRecursive(dir_ / L"out").empty());

    // A file that is no archive by its name.
    RemoteListSelect(list, {RowOf(list, L"one.txt")});
    Command(program, kExtract);
    browser = BrowseFromExtractDialog(program.pid(), dialog);
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(ChooseSiblingInBrowser(browser, dir_ / L"out"));
    EXPECT_EQ(AnswerMessage(program, confirm), L"one.txt is not valid archive file.");

    // Inside an archive, Add asks for files; cancelled, nothing changes.
    RemoteListDoubleClick(list, RowOf(list, L"a.zip"));
    ASSERT_TRUE(WaitForPath(program, dir_ / L"work\\a.zip"));
    const std::string before = ReadFileBytes(dir_ / L"work\\a.zip");
    Command(program, kAdd);
    HWND picker = WaitForTopWindow(L"Add Files to a.zip", program.pid());
    ASSERT_NE(picker, nullptr);
    PressButton(picker, IDCANCEL);
    ASSERT_TRUE(WaitForNoTopWindow(L"Add Files to a.zip", program.pid()));
    EXPECT_EQ(ReadFileBytes(dir_ / L"work\\a.zip"), before);
    EXPECT_EQ(program.Close(), 1u);
}

// Every text a dialog shows: its caption and the texts of all its controls.
BOOL CALLBACK CollectText(HWND child, LPARAM out) {
    const std::wstring text = WindowText(child);
    if (!text.empty()) *reinterpret_cast<std::wstring*>(out) += text + L"\n";
    return TRUE;
}

std::wstring AllText(HWND dialog) {
    std::wstring text = WindowText(dialog) + L"\n";
    EnumChildWindows(dialog, CollectText, reinterpret_cast<LPARAM>(&text));
    return text;
}

// Answers the shell's own confirmations (any dialog of the program with a Yes button).
class ShellQuestions {
public:
    explicit ShellQuestions(DWORD pid) : pid_(pid), thread_([this] { Run(); }) {}
    ~ShellQuestions() { Stop(); }
    void Stop() {
        running_ = false;
        if (thread_.joinable()) thread_.join();
    }
    std::vector<std::wstring> texts() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return texts_;
    }

private:
    static BOOL CALLBACK Visit(HWND window, LPARAM self) {
        auto* questions = reinterpret_cast<ShellQuestions*>(self);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t cls[32] = {};
        GetClassNameW(window, cls, 32);
        if (owner == questions->pid_ && IsWindowVisible(window) && wcscmp(cls, L"#32770") == 0 &&
            GetDlgItem(window, IDYES) && window != questions->last_) {
            WaitUntil([&] { return !IsWindow(window) || !AllText(window).empty(); });
            {
                std::lock_guard<std::mutex> lock(questions->mutex_);
                questions->texts_.push_back(AllText(window));
            }
            questions->last_ = window;
            PressButton(window, IDYES);
        }
        return TRUE;
    }
    void Run() {
        WaitUntil(
            [&] {
                EnumWindows(Visit, reinterpret_cast<LPARAM>(this));
                return !running_;
            },
            INFINITE);
    }
    DWORD pid_;
    HWND last_ = nullptr;
    std::atomic<bool> running_{true};
    mutable std::mutex mutex_;
    std::vector<std::wstring> texts_;
    std::thread thread_;
};

// Where the shell keeps what is sent to the Recycle Bin: Wine uses the desktop's trash folder.
std::wstring RecycleBinFiles() {
    wchar_t home[MAX_PATH] = {};
    GetEnvironmentVariableW(L"WINEHOMEDIR", home, MAX_PATH);
    std::wstring path = home;
    if (path.rfind(L"\\??\\", 0) == 0) path = path.substr(4);
    return path + L"\\.local\\share\\Trash\\files";
}

TEST_F(CommandsTest, FileSystemDeleteGoesThroughTheShellToTheBinOrForGoodWithShift) {
    // Names of their own, so that the bin's earlier content cannot answer for them.
    const std::wstring unique = dir_.path().substr(dir_.path().find_last_of(L'\\') + 1);
    const std::wstring toBin = L"bin-" + unique + L".txt", forGood = L"gone-" + unique + L".txt";
    WriteFileBytes(dir_ / (L"work\\" + toBin), "to the bin");
    WriteFileBytes(dir_ / (L"work\\" + forGood), "for good");
    StartIn(dir_ / L"work");
    RunningProgram program(L"");
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitForRows(list, 6));
    ShellQuestions questions(program.pid());

    // Del: to the Recycle Bin.
    RemoteListSelect(list, {RowOf(list, toBin)});
    Command(program, kDelete);
    ASSERT_TRUE(WaitForRows(list, 5));
    EXPECT_FALSE(PathExists(dir_ / (L"work\\" + toBin)));

    // Shift+Del, pressed on the keyboard: deleted for good.
    RemoteListSelect(list, {RowOf(list, forGood)});
    SetForegroundWindow(program.frame());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == program.frame(); }));
    PressKeys({VK_SHIFT, VK_DELETE}, {VK_DELETE, VK_SHIFT});
    ASSERT_TRUE(WaitForRows(list, 4));
    questions.Stop();
    EXPECT_EQ(questions.texts().size(), 2u);  // the shell confirmed each delete itself
    EXPECT_FALSE(PathExists(dir_ / (L"work\\" + forGood)));
    EXPECT_TRUE(PathExists(dir_ / L"work\\one.txt"));
    EXPECT_EQ(ReadFileBytes(RecycleBinFiles() + L"\\" + toBin), "to the bin");
    EXPECT_FALSE(PathExists(RecycleBinFiles() + L"\\" + forGood));
    // Leave the desktop's bin as it was.
    DeleteFileW((RecycleBinFiles() + L"\\" + toBin).c_str());
    DeleteFileW((RecycleBinFiles() + L"\\..\\info\\" + toBin + L".trashinfo").c_str());
    EXPECT_EQ(program.Close(), 1u);
}

TEST_F(CommandsTest, DrivesAreNoFilesAndADriveRootProposesANameOfItsOwn) {
    StartIn(L"C:\\");
    RunningProgram program(L"");
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitForPath(program, L"C:\\"));
    RemoteListSelect(list, RowsOf(list, {L"users", L"windows"}));
    Command(program, kAdd);
    HWND dialog = WaitForTopWindow(kAddCaption, program.pid());
    ASSERT_NE(dialog, nullptr);
    const std::wstring proposed = ControlText(dialog, 1007);
    PressButton(dialog, IDCANCEL);
    ASSERT_EQ(proposed.rfind(L"C:\\", 0), 0u) << Narrow(proposed);
    ASSERT_EQ(proposed.find(L':', 2), std::wstring::npos) << Narrow(proposed);
    // Computer, the third fixed location after the entry "C:": its drive rows are no files.
    ChooseLocation(program, 3);
    ASSERT_TRUE(WaitForPath(program, L"Computer"));
    int drive = 0;
    while (drive < RemoteListCount(list) && RemoteListItemText(list, drive, 0).find(L"C:") == std::wstring::npos) ++drive;
    RemoteListSelect(list, {drive});
    EXPECT_EQ(AnswerMessage(program, [&] { Command(program, kDelete); }),
              L"No files selected. You need to select files this operation");
}
