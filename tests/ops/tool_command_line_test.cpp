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
