// "/e" and "/x" as the shell's verbs start the program: the real tolvane.exe, real archives.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "program_run.h"
#include "resource.h"
#include "support/rar_writer.h"
#include "support/registration_layout.h"
#include "support/remote_list.h"
#include "support/test_support.h"
#include "support/tree_probe.h"
#include "support/window_probe.h"
#include "support/zip_writer.h"

using namespace testsupport;

namespace {

constexpr wchar_t kMessageCaption[] = L"Tolvane Extractor";
constexpr int kPasswordEditId = IDC_PASSWORD_EDIT;

// Source files for the archives: a folder with a non-ASCII name and a file at the root.
void WriteSampleTree(const TempDir& source) {
    WriteFileBytes(source / L"docs\\a.txt", "alpha");
    WriteFileBytes(source / L"docs\\caf\u00e9 \u6587.txt", "beta");
    WriteFileBytes(source / L"c.txt", "gamma");
}

std::wstring MakeArchive(const TempDir& source, const std::wstring& archivePath, const wchar_t* type) {
    const ProcessResult made =
        Run7z(std::wstring(L"a -t") + type + L" " + Quote(archivePath) + L" docs c.txt", source.path());
    EXPECT_TRUE(made.started && made.exitCode == 0) << made.output;
    return archivePath;
}

std::vector<std::wstring> SampleFilesBelow(const std::wstring& prefix) {
    return {prefix + L"c.txt", prefix + L"docs\\a.txt", prefix + L"docs\\caf\u00e9 \u6587.txt"};
}

void ExpectSampleExtractedInto(const std::wstring& folder) {
    EXPECT_EQ(ReadFileBytes(folder + L"\\docs\\a.txt"), "alpha");
    EXPECT_EQ(ReadFileBytes(folder + L"\\docs\\caf\u00e9 \u6587.txt"), "beta");
    EXPECT_EQ(ReadFileBytes(folder + L"\\c.txt"), "gamma");
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

class ExtractOption : public testing::Test {
protected:
    void SetUp() override {
        StoreSampleSettings();
        before_ = ReadStoredSettings();
    }
    void TearDown() override {
        EXPECT_EQ(ReadStoredSettings(), before_) << "a run ended by an option saves no settings";
    }
    StoredSettings before_;
};

std::vector<RarEntry> SampleRarEntries() {
    std::vector<RarEntry> entries(4);
    entries[0].name = "docs";
    entries[0].directory = true;
    entries[1].name = "docs/a.txt";
    entries[1].data = "alpha";
    entries[2].name = "docs/caf\xc3\xa9 \xe6\x96\x87.txt";
    entries[2].data = "beta";
    entries[3].name = "c.txt";
    entries[3].data = "gamma";
    return entries;
}

TEST_F(ExtractOption, ExtractHereWritesZip7zAndRarNextToTheArchiveSilently) {
    TempDir source(L"src");
    WriteSampleTree(source);
    struct Kind {
        const wchar_t* label;
        const wchar_t* extension;
    };
    for (const Kind kind : {Kind{L"zip", L"zip"}, Kind{L"7z", L"7z"}, Kind{L"rar5", L"rar"}, Kind{L"rar4", L"RAR"},
                            Kind{L"tgz", L"tar.gz"}}) {
        SCOPED_TRACE(Narrow(kind.label));
        TempDir work(L"here");
        // A folder name with spaces, shell characters and non-ASCII text.
        const std::wstring folder = work / L"my & 50% !files \u00e9";
        CreateDirectoryW(folder.c_str(), nullptr);
        const std::wstring archiveName = L"pack \u6587." + std::wstring(kind.extension);
        const std::wstring archive = folder + L"\\" + archiveName;
        if (std::wstring(kind.label) == L"rar5")
            WriteFileBytes(archive, MakeRar(SampleRarEntries()));
        else if (std::wstring(kind.label) == L"rar4")
            WriteFileBytes(archive, MakeRar4(SampleRarEntries()));
        else if (std::wstring(kind.label) == L"tgz")  // the tar's content comes out, not the tar
            Run7z(L"a -tgzip " + Quote(archive) + L" " + Quote(MakeArchive(source, work / L"pack.tar", L"tar")));
        else
            MakeArchive(source, archive, kind.label);
        RemoveRegistration();

        DialogResponder messages(kMessageCaption, [](HWND box) { PressButton(box, IDOK); });
        const ProcessResult run = RunProgram(L"/e " + Quoted(archive));
        messages.stop();
        ASSERT_TRUE(run.started);
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(messages.count(), 0) << "success is silent";
        ExpectSampleExtractedInto(folder);
        std::vector<std::wstring> expected = SampleFilesBelow(L"");
        expected.push_back(archiveName);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(ListFilesRecursive(folder), expected);
        // Every start refreshes the shell registration, also before "/e".
        ExpectRegistrationLayout(ProgramExe());
    }
}

TEST_F(ExtractOption, ExtractHereNeverWritesOutsideTheArchivesFolder) {
    TempDir work(L"hostile");
    const std::wstring inner = work / L"inner";
    ASSERT_TRUE(CreateDirectoryW(inner.c_str(), nullptr));
    std::vector<ZipEntry> entries(3);
    entries[0].name = "../escape.txt";
    entries[0].data = "out";
    entries[1].name = "..\\escape2.txt";
    entries[1].data = "out";
    entries[2].name = "ok.txt";
    entries[2].data = "in";
    WriteFileBytes(inner + L"\\hostile.zip", MakeZip(entries));

    DialogResponder messages(kMessageCaption, [](HWND box) { PressButton(box, IDOK); });
    const ProcessResult run = RunProgram(L"/e " + Quoted(inner + L"\\hostile.zip"));
    messages.stop();
    EXPECT_FALSE(run.timedOut);
    EXPECT_NE(run.exitCode, 0u) << "skipped items make the extraction a failure";
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.texts().at(0), L"Could not extract hostile.zip\n\n2 items with unsafe names were skipped:\n"
                                      L"    ..\\escape.txt\n    ..\\escape2.txt\n1 file was written to " + inner + L".");
    EXPECT_EQ(ListFilesRecursive(work.path()),
              (std::vector<std::wstring>{L"inner\\hostile.zip", L"inner\\ok.txt"}));
}

TEST_F(ExtractOption, ADamagedOrMissingArchiveIsReportedAndExitsNonZero) {
    TempDir source(L"src");
    WriteSampleTree(source);
    TempDir work(L"bad");
    const std::wstring good7z = MakeArchive(source, work / L"good.7z", L"7z");
    const std::string whole = ReadFileBytes(good7z);
    ASSERT_GT(whole.size(), 40u);
    WriteFileBytes(work / L"truncated.7z", whole.substr(0, whole.size() / 2));
    WriteFileBytes(work / L"garbage.zip", std::string("PK\x03\x04", 4) + std::string(200, '\x5a'));
    WriteFileBytes(work / L"empty.rar", "");
    WriteFileBytes(work / L"notes.txt", "not an archive");

    struct Case {
        std::wstring arguments;
        std::wstring message;
    };
    const Case cases[] = {
        {L"/e " + Quoted(work / L"truncated.7z"), L"Could not extract truncated.7z\n\nThe file could not be opened"},
        {L"/e " + Quoted(work / L"garbage.zip"), L"Could not extract garbage.zip\n\nThe file could not be opened"},
        {L"/e " + Quoted(work / L"empty.rar"), L"Could not extract empty.rar\n\nThe file could not be opened"},
        {L"/e " + Quoted(work / L"missing.zip"),
         L"Could not extract missing.zip\n\nThe file could not be opened as an archive: the file was not found."},
        {L"/e " + Quoted(work / L"notes.txt"), L"notes.txt is not valid archive file."},
        // Longer than any path the program handles.
        {L"/e " + Quoted(work / (std::wstring(300, L'L') + L".zip")),
         L"Could not extract " + std::wstring(300, L'L') + L".zip"},
        // Not the shape the shell passes: nothing outside the text is taken for a path.
        {L"/e", L"Could not extract "},
        {L"/e \"", L"Could not extract \""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.arguments));
        DialogResponder messages(kMessageCaption, [](HWND box) { PressButton(box, IDOK); });
        const ProcessResult run = RunProgram(c.arguments);
        messages.stop();
        ASSERT_TRUE(run.started);
        EXPECT_FALSE(run.timedOut);
        EXPECT_NE(run.exitCode, 0u);
        ASSERT_EQ(messages.count(), 1);
        EXPECT_EQ(messages.texts().at(0).rfind(c.message, 0), 0u) << Narrow(messages.texts().at(0));
    }
    // Nothing was written beside the archives.
    const std::vector<std::wstring> left = ListFilesRecursive(work.path());
    EXPECT_EQ(left, (std::vector<std::wstring>{L"empty.rar", L"garbage.zip", L"good.7z", L"notes.txt",
                                                L"truncated.7z"}));
}

// Answers the first password prompt with `password` (or cancels it when empty) and any later one
// with Cancel, and message boxes with OK; both carry the program's name as caption.
DialogResponder AnswerPasswordAndMessages(std::wstring password, std::atomic<int>& prompts) {
    return DialogResponder(kMessageCaption, [password, &prompts](HWND window) {
        if (GetDlgItem(window, kPasswordEditId)) {
            if (password.empty() || prompts++ > 0) {
                PressButton(window, IDCANCEL);
                return;
            }
            SetControlText(window, kPasswordEditId, password);
        }
        PressButton(window, IDOK);
    });
}

TEST_F(ExtractOption, AnEncryptedArchiveAsksForThePasswordWithoutAnOwnerWindow) {
    TempDir source(L"src");
    WriteSampleTree(source);
    TempDir work(L"secret");
    const ProcessResult made =
        Run7z(L"a -tzip -psecret " + Quote(work / L"locked.zip") + L" docs c.txt", source.path());
    ASSERT_EQ(made.exitCode, 0u) << made.output;

    {
        std::atomic<int> prompts{0};
        DialogResponder answers = AnswerPasswordAndMessages(L"secret", prompts);
        const ProcessResult run = RunProgram(L"/e " + Quoted(work / L"locked.zip"));
        answers.stop();
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(prompts.load(), 1) << "asked once for the whole extraction";
        EXPECT_EQ(answers.count(), 1) << "and nothing else was shown";
        ExpectSampleExtractedInto(work.path());
    }
    for (const std::wstring& wrong : {std::wstring(L"wrong"), std::wstring()}) {
        // A wrong password is asked for again, saying so; Cancel ends the run quietly.
        SCOPED_TRACE(wrong.empty() ? "cancelled" : "wrong password, then cancelled");
        TempDir again(L"secret2");
        ASSERT_TRUE(CopyFileW((work / L"locked.zip").c_str(), (again / L"locked.zip").c_str(), FALSE));
        std::atomic<int> prompts{0};
        DialogResponder answers = AnswerPasswordAndMessages(wrong, prompts);
        const ProcessResult run = RunProgram(L"/e " + Quoted(again / L"locked.zip"));
        answers.stop();
        EXPECT_FALSE(run.timedOut);
        EXPECT_NE(run.exitCode, 0u);
        std::vector<std::wstring> asked = {L"Enter password for locked.zip:"};
        if (!wrong.empty()) asked.push_back(L"Wrong password. Enter password for locked.zip:");
        EXPECT_EQ(answers.texts(), asked) << "and no message";
        EXPECT_EQ(ListFilesRecursive(again.path()), std::vector<std::wstring>{L"locked.zip"}) << "nothing half-written";
    }
}

// Answers the folder browser from another thread: reads it, then `choose` decides.
struct BrowserAnswer {
    std::wstring prompt;
    std::wstring startItem;
    bool startExpanded = false;
    bool answered = false;
};

std::wstring LeafName(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

// Answers the folder browser from another thread. It waits until the browser shows
// `expectedStart` selected (the browser fills its tree while it opens), then chooses the child
// `childToChoose` and confirms, or cancels. When the expected start never shows, or the child is
// not there, it cancels: a test never confirms a folder it did not mean.
BrowserAnswer AnswerBrowser(bool confirm, const std::wstring& expectedStart, const std::wstring& childToChoose) {
    BrowserAnswer answer;
    // "/x" shows the Extract dialog; its Browse... opens the browser.
    HWND dialog = WaitForTopWindow(L"Extract");
    if (!dialog) return answer;
    SendDlgItemMessageW(dialog, IDC_EXTRACT_NEW_FOLDER, BM_SETCHECK, BST_UNCHECKED, 0);
    SendDlgItemMessageW(dialog, IDC_EXTRACT_PATH_MODE, CB_SETCURSEL, 0, 0);  // full paths
    PressButton(dialog, IDC_EXTRACT_BROWSE);
    HWND browser = WaitForFolderBrowserWindow();
    if (!browser) return answer;
    answer.prompt = MessageBoxText(browser);
    HWND tree = nullptr;
    HTREEITEM start = nullptr;
    WaitUntil([&] {
        if (!tree) tree = FindDescendantByClass(browser, L"SysTreeView32");
        if (!tree) return false;
        start = TreeSelection(tree);
        answer.startItem = TreeItemText(tree, start);
        return answer.startItem == expectedStart;
    });
    bool chosen = false;
    if (tree && answer.startItem == expectedStart) {
        answer.startExpanded = TreeItemExpanded(tree, start);
        if (HTREEITEM child = TreeChildNamed(tree, start, childToChoose))
            chosen = SelectTreeItem(tree, child) && WaitUntil([&] { return TreeSelection(tree) == child; });
    }
    PressButton(browser, confirm && chosen ? IDOK : IDCANCEL);
    answer.answered = WaitForNoTopWindow(WindowText(browser));
    PressButton(dialog, confirm && chosen ? IDOK : IDCANCEL);
    answer.answered = answer.answered && WaitForNoTopWindow(L"Extract");
    return answer;
}

TEST_F(ExtractOption, ExtractToCancelledExtractsNothingAndExitsZero) {
    TempDir source(L"src");
    WriteSampleTree(source);
    TempDir work(L"cancel");
    const std::wstring archive = MakeArchive(source, work / L"x.zip", L"zip");
    CreateDirectoryW((work / L"chosen").c_str(), nullptr);

    BrowserAnswer answer;
    std::thread answering([&] { answer = AnswerBrowser(false, LeafName(work.path()), L"chosen"); });
    const ProcessResult run = RunProgram(L"/x " + Quoted(archive));
    answering.join();
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.timedOut);
    EXPECT_TRUE(answer.answered);
    EXPECT_EQ(answer.prompt.rfind(L"Please select a folder to extract to...", 0), 0u) << Narrow(answer.prompt);
    EXPECT_EQ(answer.startItem, LeafName(work.path())) << "opens on the archive's folder";
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(ListFilesRecursive(work.path()), std::vector<std::wstring>{L"x.zip"});
}

TEST_F(ExtractOption, ExtractToOpensOnTheArchivesFolderAndExtractsIntoTheChosenOne) {
    TempDir source(L"src");
    WriteSampleTree(source);
    TempDir work(L"pick");
    const std::wstring archive = MakeArchive(source, work / L"x.7z", L"7z");
    CreateDirectoryW((work / L"chosen").c_str(), nullptr);

    BrowserAnswer answer;
    std::thread answering([&] { answer = AnswerBrowser(true, LeafName(work.path()), L"chosen"); });
    DialogResponder messages(kMessageCaption, [](HWND box) { PressButton(box, IDOK); });
    const ProcessResult run = RunProgram(L"/x " + Quoted(archive));
    answering.join();
    messages.stop();
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.timedOut);
    EXPECT_TRUE(answer.answered);
    EXPECT_EQ(answer.prompt.rfind(L"Please select a folder to extract to...", 0), 0u) << Narrow(answer.prompt);
    EXPECT_EQ(answer.startItem, LeafName(work.path())) << "opens on the archive's folder";
    EXPECT_TRUE(answer.startExpanded);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(messages.count(), 0);
    ExpectSampleExtractedInto(work / L"chosen");
    std::vector<std::wstring> expected = SampleFilesBelow(L"chosen\\");
    expected.push_back(L"x.7z");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ListFilesRecursive(work.path()), expected);
}

TEST_F(ExtractOption, ExtractToADamagedArchiveIsReportedAfterTheFolderIsChosen) {
    TempDir work(L"pickbad");
    WriteFileBytes(work / L"bad.zip", std::string("PK\x03\x04", 4) + std::string(64, '\x01'));
    CreateDirectoryW((work / L"chosen").c_str(), nullptr);
    BrowserAnswer answer;
    std::thread answering([&] { answer = AnswerBrowser(true, LeafName(work.path()), L"chosen"); });
    DialogResponder messages(kMessageCaption, [](HWND box) { PressButton(box, IDOK); });
    const ProcessResult run = RunProgram(L"/x " + Quoted(work / L"bad.zip"));
    answering.join();
    messages.stop();
    EXPECT_FALSE(run.timedOut);
    EXPECT_TRUE(answer.answered);
    EXPECT_NE(run.exitCode, 0u);
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.texts().at(0).rfind(L"Could not extract bad.zip\n", 0), 0u);
}

// Entries that are no plain files, data after the end, and an item that cannot be written, as
// the shell's verbs meet them.
TEST_F(ExtractOption, LinksTrailingDataAndUnwritableItemsAreToldAsTheyAre) {
    TempDir work(L"kinds");
    const std::wstring fixtures = BinDir() + L"\\..\\linux-archives\\";
    ASSERT_TRUE(CopyFileW((fixtures + L"hardlinks.tar").c_str(), (work / L"hard.tar").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((fixtures + L"links.tar").c_str(), (work / L"links.tar").c_str(), FALSE));
    WriteFileBytes(work / L"src\\a.txt", "alpha");
    WriteFileBytes(work / L"src\\b.txt", "bravo");
    ASSERT_EQ(Run7z(L"a " + Quote(work / L"out\\x.zip") + L" a.txt b.txt", work / L"src").exitCode, 0u);
    WriteFileBytes(work / L"tail\\x.zip", ReadFileBytes(work / L"out\\x.zip") + "junk");
    WriteFileBytes(work / L"out\\a.txt", "the user's, held open");
    const HANDLE held = CreateFileW((work / L"out\\a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto extractHere = [](const std::wstring& archive) {
        DialogResponder messages(kMessageCaption, [](HWND box) { PressButton(box, IDOK); });
        const ProcessResult run = RunProgram(L"/e " + Quoted(archive));
        messages.stop();
        EXPECT_FALSE(run.timedOut);
        return std::make_pair(run.exitCode, messages.texts());
    };
    // A hard link gets its target's data.
    EXPECT_EQ(extractHere(work / L"hard.tar"), std::make_pair(0ul, std::vector<std::wstring>{}));
    EXPECT_EQ(ReadFileBytes(work / L"copy.txt"), ReadFileBytes(work / L"data.txt"));
    EXPECT_EQ(ReadFileBytes(work / L"copy.txt").size(), 1500u);
    // A link to what the archive lacks fails the test, which says why.
    const ProcessResult test = RunProcess(Quote(ProgramExe()) + L" /t " + Quoted(work / L"links.tar"));
    EXPECT_EQ(test.exitCode, 1u);
    EXPECT_NE(test.output.find("orphan.txt  -  a link to nothere.txt, which is not in the archive"), std::string::npos)
        << test.output;
    // Data after the end is a warning: everything is written.
    const auto tail = extractHere(work / L"tail\\x.zip");
    EXPECT_EQ(tail.first, 0u);
    EXPECT_EQ(tail.second, std::vector<std::wstring>{L"x.zip was extracted.\nWarning: there is data after the end of the archive."});
    EXPECT_EQ(ReadFileBytes(work / L"tail\\b.txt"), "bravo");
    // A file held open by another program, replacing it agreed to: its cause, what was written, and where.
    DialogResponder replace(L"Confirm File Replace", [](HWND question) { PressButton(question, IDYES); });
    const auto blocked = extractHere(work / L"out\\x.zip");
    replace.stop();
    EXPECT_EQ(replace.count(), 1);
    CloseHandle(held);
    EXPECT_EQ(blocked.first, 1u);
    EXPECT_EQ(blocked.second, std::vector<std::wstring>{L"Could not extract x.zip\n\n1 item could not be extracted:\n"
                                                      L"    a.txt  -  the file is in use\n1 file was written to " +
                                                      work / L"out" + L"."});
    EXPECT_EQ(ReadFileBytes(work / L"out\\a.txt"), "the user's, held open");
}

TEST_F(ExtractOption, CapitalOptionsAreNotTheVerbs) {
    TempDir source(L"src");
    WriteSampleTree(source);
    TempDir work(L"caps");
    const std::wstring archive = MakeArchive(source, work / L"x.zip", L"zip");
    DialogResponder messages(kMessageCaption, [](HWND box) { PressButton(box, IDOK); });
    for (const std::wstring& arguments : {L"/E " + Quoted(archive), L"/X " + Quoted(archive)}) {
        SCOPED_TRACE(Narrow(arguments));
        const InteractiveRun run = RunProgramClosingItsWindow(arguments);
        ASSERT_TRUE(run.started);
        EXPECT_FALSE(run.timedOut);
    }
    messages.stop();
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(ListFilesRecursive(work.path()), std::vector<std::wstring>{L"x.zip"});
    // These runs show the main window, which saves the settings: the fixture's check does
    // not hold for them.
    before_ = ReadStoredSettings();
}

}  // namespace

TEST(ChecksumOption, TheShellVerbShowsTheFilesChecksums) {
    TempDir dir(L"sumopt");
    WriteFileBytes(dir / L"nine.txt", "123456789");
    HANDLE run = StartProcess(Quote(ProgramExe()) + L" /h " + Quoted(dir / L"nine.txt"));
    ASSERT_NE(run, nullptr);
    HWND dialog = WaitForTopWindow(L"Checksums", GetProcessId(run));
    ASSERT_NE(dialog, nullptr);
    const std::wstring shown = ControlText(dialog, IDC_CHECKSUM_TEXT);
    EXPECT_NE(shown.find(L"CRC32"), std::wstring::npos) << Narrow(shown);
    EXPECT_NE(shown.find(L"CBF43926"), std::wstring::npos);
    EXPECT_NE(shown.find(L"15E2B0D3C33891EBB0F1EF609EC419420C20E320CE94C65FBC8C3312448EB225"), std::wstring::npos);
    PressButton(dialog, IDOK);
    EXPECT_EQ(WaitForExitCode(run), 0u);
    CloseHandle(run);
}
