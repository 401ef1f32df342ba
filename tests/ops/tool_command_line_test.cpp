// Command lines of the archiver: every name reaches it as one literal argument.
#include "ops_test_util.h"

#include <shellapi.h>

#include "ops/tool_command_line.h"

using namespace opstest;

namespace {
std::vector<std::wstring> Split(const std::wstring& commandLine) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> out;
    for (int i = 0; i < count; ++i) out.push_back(arguments[i]);
    LocalFree(arguments);
    return out;
}
}  // namespace

TEST(ToolCommandLine, EveryNameIsOneLiteralArgumentAfterTheSwitches) {
    const std::vector<std::wstring> names = {L"plain.txt", L"with space.txt", L"a*.txt", L"@list.txt", L"-x.txt",
                                             L"%PATH% !x! ^ & | < > ( ) ' ; , =", L"trailing\\", L"two  \\\\",
                                             L"quote\"inside", L"caf\u00e9 \u6587 \U0001F600", L""};
    ToolCommandLine command(L"C:\\Program Files\\T\\core\\7z.exe", L"d", L"C:\\in\\my archive.zip");
    for (const auto& name : names) command.addName(name);
    const std::vector<std::wstring> split = Split(command.text());
    std::vector<std::wstring> expected = {L"C:\\Program Files\\T\\core\\7z.exe", L"d", L"-sccUTF-8", L"-spd", L"-bb1",
                                          L"--", L"C:\\in\\my archive.zip"};
    expected.insert(expected.end(), names.begin(), names.end());
    EXPECT_EQ(split, expected);
}

TEST(ToolCommandLine, PasswordIsAskedForNeverWritten) {
    ToolCommandLine command(L"C:\\t\\7z.exe", L"a", L"C:\\in\\x.7z");
    command.addName(L"C:\\files\\a.txt");
    EXPECT_EQ(Split(command.text()), (std::vector<std::wstring>{L"C:\\t\\7z.exe", L"a", L"-sccUTF-8", L"-spd", L"-bb1",
                                                                L"--", L"C:\\in\\x.7z", L"C:\\files\\a.txt"}));
    command.askForPassword(true);
    const std::vector<std::wstring> split = Split(command.text());
    ASSERT_EQ(split.size(), 9u);
    EXPECT_EQ(split[5], L"-p");
    EXPECT_EQ(split[6], L"--");
}

TEST(ToolCommandLine, RealArchiverTakesHostileNamesLiterally) {
    // Built by the same class, run by the real archiver: each odd name adds exactly its file
    // (and "ab.txt" beside them is not taken by anything).
    TempDir work(L"cmd");
    const std::vector<std::wstring> names = {L"@x", L"-x", L"%OS% !x! ^&()';,= .txt",
                                             L"caf\u00e9 \u6587 \U0001F600.txt"};
    Tree tree{{L"ab.txt", "ab"}};
    for (const auto& name : names) tree[name] = Narrow(name);
    MakeTree(work.path(), tree);
    ToolCommandLine add(SevenZipExe(), L"a", work / L"-out.zip");
    add.setWorkingFolder(work.path());
    for (const auto& name : names) add.addName(name);
    const ProcessResult r = RunProcess(add.text(), work.path());
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_EQ(ContentsOf(work / L"-out.zip"),
              (Tree{{L"%OS% !x! ^&()';,= .txt", "%OS% !x! ^&()';,= .txt"}, {L"-x", "-x"}, {L"@x", "@x"},
                    {L"caf\u00e9 \u6587 \U0001F600.txt", Narrow(L"caf\u00e9 \u6587 \U0001F600.txt")}}));
}

TEST(ToolCommandLine, NamesAreGroupedIntoFewRunsWithinTheLimit) {
    const ToolCommandLine base(L"C:\\core\\7z.exe", L"a", L"C:\\out\\x.zip");
    const size_t baseLength = base.text().size();
    std::vector<std::wstring> names;
    for (int i = 0; i < 10; ++i) names.push_back(L"C:\\in\\file" + std::to_wstring(i) + L".txt");
    // Room for exactly three names per run (" C:\in\fileN.txt" is 17 units).
    const auto groups = GroupNamesForRuns(base, names, false, baseLength + 3 * 17);
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0], (std::vector<std::wstring>{names[0], names[1], names[2]}));
    EXPECT_EQ(groups[3], std::vector<std::wstring>{names[9]});
    for (const auto& group : groups) {
        ToolCommandLine command = base;
        for (const auto& name : group) command.addName(name);
        EXPECT_LE(command.text().size(), baseLength + 3 * 17);
    }
    // Everything fits one run under the real limit; a name longer than any run still gets one.
    EXPECT_EQ(GroupNamesForRuns(base, names, false).size(), 1u);
    const std::wstring huge(40000, L'x');
    const auto alone = GroupNamesForRuns(base, {L"a", huge, L"b"}, false);
    ASSERT_EQ(alone.size(), 3u);
    EXPECT_EQ(alone[1], std::vector<std::wstring>{huge});
    EXPECT_TRUE(GroupNamesForRuns(base, {}, false).empty());
}

TEST(ToolCommandLine, PathsWithTheSameNameGoToSeparateRunsInTheirOrder) {
    const ToolCommandLine base(L"7z.exe", L"a", L"x.zip");
    const auto groups =
        GroupNamesForRuns(base, {L"C:\\a\\Notes.txt", L"C:\\b\\other.txt", L"C:\\b\\notes.TXT", L"C:\\c\\x"}, true);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0], (std::vector<std::wstring>{L"C:\\a\\Notes.txt", L"C:\\b\\other.txt"}));
    EXPECT_EQ(groups[1], (std::vector<std::wstring>{L"C:\\b\\notes.TXT", L"C:\\c\\x"}));
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
    const std::vector<std::wstring> items = {L".", L"..", L"a.txt", L"Sub", L"x.zip"};
    EXPECT_TRUE(NamesCoverFolder({L"A.TXT", L"sub"}, items, L"x.zip"));
    EXPECT_FALSE(NamesCoverFolder({L"a.txt"}, items, L"x.zip"));                    // Sub left out
    EXPECT_FALSE(NamesCoverFolder({L"a.txt", L"Sub", L"x.zip"}, items, L"x.zip"));  // the archive itself
    EXPECT_TRUE(NamesCoverFolder({L"a.txt", L"Sub", L"x.zip"}, items, L""));
    EXPECT_FALSE(NamesCoverFolder({L"a.txt", L"a.txt", L"Sub"}, items, L"x.zip"));
    EXPECT_FALSE(NamesCoverFolder({}, {L".", L".."}, L""));

    ToolCommandLine whole(L"7z.exe", L"a", L"C:\\in\\x.zip");
    whole.setWorkingFolder(L"C:\\in");
    whole.addWholeWorkingFolder(L"x y.zip");
    EXPECT_EQ(whole.text(), L"7z.exe a -sccUTF-8 -bb1 \"-x!x y.zip\" -- C:\\in\\x.zip *");
}
