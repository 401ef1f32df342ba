// Extracting selected entries behind the progress window, and opening one entry to view it.
#include "catalog/item_catalog.h"
#include "ops/archive_operations.h"
#include "ops/extract_choices.h"
#include "ops/progress.h"
#include "ops_test_util.h"
#include "support/zip_writer.h"

using namespace opstest;

namespace {
ZipEntry Entry(std::string name, std::string data) {
    ZipEntry entry;
    entry.name = std::move(name);
    entry.data = std::move(data);
    return entry;
}
}  // namespace

TEST(ExtractEntries, WritesTheSelectedEntriesOfTheCurrentFolderOnly) {
    TempDir work(L"ext"), out(L"out"), out2(L"out");
    PackTree(work / L"x.7z", {{L"docs\\a.txt", "a"},
                              {L"docs\\a.txt2", "a2"},
                              {L"docs\\sub\\b.txt", "b"},
                              {L"docs2\\c.txt", "c"},
                              {L"top.txt", "top"}});
    ItemCatalog catalog;
    ASSERT_TRUE(OpenArchive(catalog, work / L"x.7z").done());
    catalog.EnterFolder(L"docs");
    const OperationOutcome first = ExtractEntries(catalog, {L"a.txt", L"sub"}, out.path());
    EXPECT_TRUE(first.done());
    EXPECT_TRUE(first.messages.empty());
    EXPECT_EQ(ListFilesRecursive(out.path()), (std::vector<std::wstring>{L"docs\\a.txt", L"docs\\sub\\b.txt"}));
    EXPECT_EQ(catalog.state.load(), OperationState::Idle);
    EXPECT_TRUE(catalog.pending.empty());

    catalog.EnterFolder(L"");
    const OperationOutcome second = ExtractEntries(catalog, {L"docs"}, out2.path());
    EXPECT_TRUE(second.done());
    EXPECT_TRUE(second.messages.empty());
    EXPECT_EQ(ListFilesRecursive(out2.path()),
              (std::vector<std::wstring>{L"docs\\a.txt", L"docs\\a.txt2", L"docs\\sub\\b.txt"}));
    EXPECT_EQ(ReadFileBytes(out2 / L"docs\\sub\\b.txt"), "b");
}

TEST(ExtractEntries, PasswordAskedOnceRememberedAndFailuresReported) {
    TempDir work(L"ext"), out(L"out");
    PackTree(work / L"enc.7z", {{L"a.txt", "alpha"}, {L"b.txt", "beta"}}, L"-psecret");
    ItemCatalog catalog;
    ASSERT_TRUE(OpenArchive(catalog, work / L"enc.7z").done());
    EXPECT_TRUE(catalog.password.empty());
    {
        // A wrong password is asked for again, saying so; Cancel then ends quietly, nothing written.
        AppDialogs wrong({L"nope", L"nope either"});
        const OperationOutcome outcome = ExtractEntries(catalog, {L"a.txt"}, out.path());
        const std::wstring again = L"Wrong password. Enter password for enc.7z:";
        EXPECT_EQ(wrong.promptTexts(), (std::vector<std::wstring>{L"Enter password for enc.7z:", again, again}));
        EXPECT_EQ(outcome.result, OperationResult::Cancelled);
        EXPECT_TRUE(outcome.messages.empty());
        EXPECT_TRUE(catalog.password.empty());
        EXPECT_TRUE(ListFilesRecursive(out.path()).empty());
    }
    {
        // A refused password is the user's choice: nothing to report.
        AppDialogs refusing(L"", true);
        const OperationOutcome outcome = ExtractEntries(catalog, {L"a.txt"}, out.path());
        EXPECT_EQ(refusing.passwordPrompts(), 1);
        EXPECT_EQ(outcome.result, OperationResult::Cancelled);
        EXPECT_TRUE(outcome.messages.empty());
    }
    {
        AppDialogs right({L"nope", L"secret"});
        const OperationOutcome a = ExtractEntries(catalog, {L"a.txt"}, out.path());
        const OperationOutcome b = ExtractEntries(catalog, {L"b.txt"}, out.path());
        EXPECT_EQ(right.passwordPrompts(), 2) << "the right password, given on the second prompt, is remembered";
        EXPECT_TRUE(a.done() && b.done());
        EXPECT_TRUE(a.messages.empty() && b.messages.empty());
        EXPECT_EQ(catalog.password, L"secret");
    }
    EXPECT_EQ(ReadFileBytes(out / L"a.txt"), "alpha");
    EXPECT_EQ(ReadFileBytes(out / L"b.txt"), "beta");

    // The archive damaged after it was opened.
    TempDir out2(L"out");
    WriteFileBytes(work / L"enc.7z", "7z\xbc\xaf\x27\x1c damaged");
    const OperationOutcome damaged = ExtractEntries(catalog, {L"a.txt"}, out2.path());
    EXPECT_EQ(damaged.result, OperationResult::Failed);
    ASSERT_EQ(damaged.messages.size(), 1u);
    EXPECT_EQ(damaged.messages[0].rfind(L"Could not extract enc.7z\n\nThe file could not be opened as an archive", 0), 0u);
}

TEST(ExtractEntries, CancelStopsALongExtraction) {
    TempDir work(L"ext"), out(L"out");
    std::vector<ZipEntry> entries;
    for (int i = 0; i < 20000; ++i)
        entries.push_back(Entry(std::string("f").append(std::to_string(i % 50)) + "/file" + std::to_string(i) + ".txt", std::string(100, 'x')));
    WriteFileBytes(work / L"many.zip", MakeZip(entries));
    ItemCatalog catalog;
    ASSERT_TRUE(OpenArchive(catalog, work / L"many.zip").done());
    std::vector<std::wstring> all;
    for (int i = 0; i < 50; ++i) all.push_back(L"f" + std::to_wstring(i));
    OperationOutcome outcome;
    {
        ProgressCanceller cancel(L"Extract Files", 800);
        outcome = ExtractEntries(catalog, all, out.path());
        EXPECT_TRUE(cancel.pressed());
    }
    EXPECT_EQ(outcome.result, OperationResult::Cancelled);
    EXPECT_TRUE(outcome.messages.empty()) << "a cancelled extraction is no failure";
    const size_t written = ListFilesRecursive(out.path()).size();
    EXPECT_LT(written, 20000u) << "the engine stopped early";
    // The Cancel was this extraction's own: the next one runs to its end.
    TempDir again(L"again");
    EXPECT_TRUE(ExtractEntries(catalog, {L"f0"}, again.path()).done());
    EXPECT_EQ(ListFilesRecursive(again.path()).size(), 400u);
}

TEST(ExtractForViewing, WritesExactlyTheChosenEntryIntoAFreshFolder) {
    TempDir work(L"view");
    // Names that a plain prefix test or the shell's name completion would confuse.
    WriteFileBytes(work / L"x.zip", MakeZip({Entry("doc.pdf ", "%PDF the document"),
                                             Entry("doc.pdf .cmd", "@echo off\r\necho ran> marker.txt\r\n"),
                                             Entry("doc.pdf /doc.pdf .cmd", "@echo off\r\necho ran> marker.txt\r\n"),
                                             Entry("doc.pdf2", "other"),
                                             Entry("docs/readme.txt", "readme")}));
    ItemCatalog catalog;
    ASSERT_TRUE(OpenArchive(catalog, work / L"x.zip").done());
    std::wstring file;
    ASSERT_TRUE(ExtractForViewing(catalog, L"doc.pdf ", file).done());
    const std::wstring folder = catalog.tempFolder;
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(file.substr(0, folder.size() + 1), folder + L"\\");
    EXPECT_EQ(ReadFileBytes(file), "%PDF the document");
    EXPECT_EQ(ListFilesRecursive(folder).size(), 1u) << "only the chosen entry is written";

    // The next entry gets a fresh folder; the previous one is gone.
    std::wstring readme;
    ASSERT_TRUE(ExtractForViewing(catalog, L"docs\\readme.txt", readme).done());
    EXPECT_FALSE(PathExists(folder));
    EXPECT_EQ(ReadFileBytes(readme), "readme");
    EXPECT_EQ(ListFilesRecursive(catalog.tempFolder), std::vector<std::wstring>{L"docs\\readme.txt"});

    // An entry that is not there opens nothing.
    std::wstring none;
    const OperationOutcome missing = ExtractForViewing(catalog, L"doc.pdf", none);
    EXPECT_EQ(missing.result, OperationResult::Failed);
    EXPECT_TRUE(none.empty());
    ASSERT_EQ(missing.messages.size(), 1u);
    EXPECT_EQ(missing.messages[0].rfind(L"Could not extract x.zip\n", 0), 0u);
    EXPECT_NE(missing.messages[0].find(L"doc.pdf  -  not in the archive"), std::wstring::npos);
}

TEST(ActivateEntry, TheDocumentAttackNeverRunsTheScript) {
    TempDir work(L"view");
    const std::string script = "@echo off\r\necho ran> \"" + Narrow(work / L"marker.txt") + "\"\r\n";
    WriteFileBytes(work / L"x.zip", MakeZip({Entry("doc.pdf ", "%PDF the document"),
                                             Entry("doc.pdf /doc.pdf .cmd", script),
                                             Entry("doc.pdf .cmd", script)}));
    ItemCatalog catalog;
    ASSERT_TRUE(OpenArchive(catalog, work / L"x.zip").done());
    // The row of "doc.pdf " is a file row (its item is a file); activating it opens the document.
    int documentRow = -1;
    for (int i = 0; i < catalog.RowCount(); ++i)
        if (catalog.RowAt(i).name == L"doc.pdf ") documentRow = i;
    ASSERT_GE(documentRow, 0);
    EXPECT_EQ(catalog.RowAt(documentRow).attributes, 0u);
    const ActivationOutcome opened = ActivateEntry(catalog, L"doc.pdf ");
    EXPECT_EQ(opened.activation, Activation::OpenedFile);
    EXPECT_TRUE(opened.extraction.messages.empty());
    // A program that opened it owns the folder from now on (it is watched for changes).
    const std::wstring folder = opened.openedFolder.empty() ? catalog.tempFolder : opened.openedFolder;
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(ListFilesRecursive(folder).size(), 1u);
    // Were the script run, its marker would appear within moments.
    EXPECT_FALSE(WaitUntil([&] { return PathExists(work / L"marker.txt"); }, 3000)) << "the script ran";
    EXPECT_FALSE(PathExists(folder + L"\\marker.txt")) << "the script ran";
}

TEST(ActivateEntry, FolderRowsAreEnteredAndAnInnerArchiveStartsTheProgram) {
    TempDir work(L"view"), inner(L"inner");
    PackTree(inner / L"inner.zip", {{L"deep.txt", "deep"}});
    WriteFileBytes(work / L"outer.zip", MakeZip({Entry("sub/inner.zip", ReadFileBytes(inner / L"inner.zip")),
                                                 Entry("implied/x/y.txt", "y")}));
    ItemCatalog catalog;
    ASSERT_TRUE(OpenArchive(catalog, work / L"outer.zip").done());
    // A folder no item names is entered like any other.
    EXPECT_EQ(ActivateEntry(catalog, L"implied").activation, Activation::EnteredFolder);
    EXPECT_EQ(catalog.currentFolder, L"implied");
    EXPECT_EQ(catalog.RowCount(), 2);
    EXPECT_EQ(ActivateEntry(catalog, L"implied\\x").activation, Activation::EnteredFolder);
    catalog.EnterFolder(L"");
    EXPECT_EQ(ActivateEntry(catalog, L"nothing").activation, Activation::NoSuchEntry);
    EXPECT_EQ(ActivateEntry(catalog, L"sub").activation, Activation::EnteredFolder);
    EXPECT_EQ(catalog.RowCount(), 2);

    // The program is the real one; it is watched for and ended again.
    SetSelfProgramPathForTesting(ProgramExe());
    const std::vector<DWORD> before = ProcessesNamed(L"tolvane.exe");
    const ActivationOutcome nested = ActivateEntry(catalog, L"sub\\inner.zip");
    EXPECT_EQ(nested.activation, Activation::OpenedFile);
    EXPECT_TRUE(nested.extraction.messages.empty());
    SetSelfProgramPathForTesting(L"");
    EXPECT_TRUE(catalog.tempFolder.empty()) << "the copy belongs to the new window";

    DWORD started = 0;
    std::wstring commandLine;
    WaitUntil([&] {
        for (DWORD pid : ProcessesNamed(L"tolvane.exe"))
            if (std::find(before.begin(), before.end(), pid) == before.end() &&
                !(commandLine = ProcessCommandLine(pid)).empty())
                started = pid;
        return started != 0;
    });
    ASSERT_NE(started, 0u) << "the program was not started";
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, started);
    if (process) {
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
    const std::wstring extracted = commandLine.substr(commandLine.find(L' ', commandLine.rfind(L".exe")) + 1);
    EXPECT_NE(extracted.find(L"\\sub\\inner.zip"), std::wstring::npos) << Narrow(commandLine);
    EXPECT_EQ(ReadFileBytes(extracted), ReadFileBytes(inner / L"inner.zip"));
}

TEST(ExtractChoicesRules, TheLastTenDestinationsAreRememberedMostRecentFirst) {
    std::vector<std::wstring> list;
    for (int i = 0; i < 12; ++i) list = RememberDestination(list, L"C:\\d" + std::to_wstring(i));
    list = RememberDestination(list, L"c:\\D5\\");  // the same folder, written otherwise, moves to the front
    EXPECT_EQ(list, (std::vector<std::wstring>{L"c:\\D5\\", L"C:\\d11", L"C:\\d10", L"C:\\d9", L"C:\\d8", L"C:\\d7",
                                               L"C:\\d6", L"C:\\d4", L"C:\\d3", L"C:\\d2"}));
    // What lands at the top decides the new folder: a selection in "docs" is one item with full
    // paths, two relative to "docs"; a folder without paths lands as its files.
    const std::vector<std::wstring> selected{L"docs\\a.txt", L"docs\\b.txt"};
    EXPECT_EQ(LandingTopCount(selected, {}, PathMode::Full, L"docs"), 1u);
    EXPECT_EQ(LandingTopCount(selected, {}, PathMode::Relative, L"docs"), 2u);
    EXPECT_EQ(LandingTopCount({L"docs\\sub"}, {true}, PathMode::None, L"docs"), 2u);
}
