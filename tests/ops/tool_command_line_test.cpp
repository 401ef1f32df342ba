// Command lines of the archiver: names reach it through a list file, never its command line.
#include "catalog/item_catalog.h"
#include "ops/tool_command_line.h"
#include "ops/tool_runner.h"
#include "ops_test_util.h"

using namespace opstest;

TEST(ToolCommandLine, RealArchiverTakesHostileNamesLiterally) {
    // Built by the same class, run by the real archiver: each odd name adds exactly its file
    // (and "ab.txt" beside them is not taken by anything).
    TempDir work(L"cmd");
    const std::vector<std::wstring> names = {L"@x", L"-x", L"%OS% !x! ^&()';,= .txt", L" lead", L"trail ",
                                             L"caf\u00e9 \u6587 \U0001F600.txt"};
    WriteFileBytes(work / L"ab.txt", "ab");
    for (const auto& name : names) WriteFileBytes(L"\\\\?\\" + (work / name), Narrow(name));
    ToolCommandLine add(SevenZipExe(), L"a", work / L"-out.zip");
    add.setWorkingFolder(work.path());
    for (const auto& name : names) add.addName(name);
    ToolRunSettings settings;
    settings.state = OperationState::Adding;
    ASSERT_TRUE(RunTool(add, settings).succeeded());
    std::vector<std::wstring> expected = names;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(EntriesOf(work / L"-out.zip"), expected);
}

TEST(ToolCommandLine, WhatCannotBeToldToTheArchiverIsRefused) {
    // It has no quoting for a double quote, and without a name it would add the whole folder.
    ToolCommandLine quoted(L"C:\\core\\7z.exe", L"d", L"C:\\in\\a\"b.zip");
    quoted.addName(L"x");
    EXPECT_EQ(quoted.text(L"C:\\list"), L"");
    EXPECT_EQ(ToolCommandLine(L"C:\\core\\7z.exe", L"a", L"C:\\in\\x.zip").text(L"C:\\list"), L"");
    // Entry names it would read as something else (found with the real archiver).
    for (const wchar_t* bad : {L"a\nb", L"\\abs.txt", L"d\\..\\x", L".\\x", L"C:\\x.txt", L"c:", L"...", L"nul.txt",
                               L"COM1 .txt", L"aux.c\\x"})
        EXPECT_NE(EntryNameProblem(bad), L"") << Narrow(bad);
    for (const wchar_t* good : {L"docs\"", L"a*b", L" lead", L"trail ", L"dot.", L"nul", L"d\\nul.txt", L"d\\...",
                                L"x:y", L"com0.txt", L"\U0001F600"})
        EXPECT_EQ(EntryNameProblem(good), L"") << Narrow(good);
}

TEST(ToolCommandLine, PathsWithTheSameNameGoToSeparateRunsInTheirOrder) {
    const auto groups =
        GroupByDistinctLeafNames({L"C:\\a\\Notes.txt", L"C:\\b\\other.txt", L"C:\\b\\notes.TXT", L"C:\\c\\x"});
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0], (std::vector<std::wstring>{L"C:\\a\\Notes.txt", L"C:\\b\\other.txt"}));
    EXPECT_EQ(groups[1], (std::vector<std::wstring>{L"C:\\b\\notes.TXT", L"C:\\c\\x"}));
    EXPECT_TRUE(GroupByDistinctLeafNames({}).empty());
}

TEST(ToolCommandLine, FilesOfOneFolderAreNamedFromThatFolder) {
    EXPECT_EQ(SharedParentFolder({L"C:\\in\\a.txt", L"c:\\IN\\b.txt", L"C:\\in\\sub"}), L"C:\\in");
    EXPECT_EQ(SharedParentFolder({L"C:\\a.txt", L"C:\\b"}), L"C:\\");
    EXPECT_EQ(SharedParentFolder({L"C:\\in\\a.txt", L"C:\\out\\b.txt"}), L"");
    EXPECT_EQ(SharedParentFolder({L"C:\\in\\"}), L"");   // no name of its own
    EXPECT_EQ(SharedParentFolder({L"relative.txt"}), L"");
    EXPECT_EQ(SharedParentFolder({}), L"");
}

TEST(ToolCommandLine, AWholeFolderIsAddedInOnePassWithoutTheArchiveItself) {
    const std::vector<std::wstring> items = {L".", L"..", L"a.txt", L"Sub", L"x.zip", L"x.zip.1.tmp"};
    const std::vector<std::wstring> skipped = {L"x.zip", L"x.zip.1.tmp"};
    EXPECT_TRUE(NamesCoverFolder({L"A.TXT", L"sub"}, items, skipped));
    EXPECT_FALSE(NamesCoverFolder({L"a.txt"}, items, skipped));                    // Sub left out
    EXPECT_FALSE(NamesCoverFolder({L"a.txt", L"Sub", L"x.zip"}, items, skipped));  // the archive itself
    EXPECT_TRUE(NamesCoverFolder({L"a.txt", L"Sub", L"x.zip", L"x.zip.1.tmp"}, items, {}));
    EXPECT_FALSE(NamesCoverFolder({L"a.txt", L"a.txt", L"Sub"}, items, skipped));
    EXPECT_FALSE(NamesCoverFolder({}, {L".", L".."}, {}));
}
