// Runs of the real archiver: prompts answered on its input, failures and Cancel seen.
#include "catalog/item_catalog.h"
#include "ops/tool_runner.h"
#include "ops_test_util.h"

using namespace opstest;

namespace {
ToolRunSettings AddingSettings(std::atomic<int32_t>& cancel, std::atomic<int32_t>& yes, int& progress) {
    ToolRunSettings settings;
    settings.state = OperationState::Adding;
    settings.cancel = &cancel;
    settings.yesToAll = &yes;
    settings.countProgress = [&progress] { ++progress; };
    return settings;
}
}  // namespace

TEST(ToolRunner, EncryptedAddAnswersThePromptAndCountsFiles) {
    TempDir work(L"run");
    MakeTree(work.path(), {{L"a.txt", "alpha"}, {L"sub\\b.txt", "beta"}, {L"sub\\c.txt", "gamma"}});
    std::atomic<int32_t> cancel{0}, yes{0};
    int progress = 0;
    ToolRunSettings settings = AddingSettings(cancel, yes, progress);
    settings.knownPassword = "p\xc3\xa4ss word";
    int asked = 0;
    settings.askPassword = [&asked]() -> std::optional<std::string> {
        ++asked;
        return std::nullopt;
    };
    ToolCommandLine command(SevenZipExe(), L"a", work / L"out.7z");
    command.askForPassword(true);
    command.setWorkingFolder(work.path());
    command.addName(L"a.txt");
    command.addName(L"sub");
    const ToolRunResult result = RunTool(command, settings);
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(progress, 3);
    const std::wstring password = L"p\u00e4ss word";
    const Tree expected{{L"a.txt", "alpha"}, {L"sub\\b.txt", "beta"}, {L"sub\\c.txt", "gamma"}};
    EXPECT_EQ(ContentsOf(work / L"out.7z", password), expected);
    // With another password the content does not come out: it really is encrypted.
    EXPECT_NE(ContentsOf(work / L"out.7z", L"wrong"), expected);
}

TEST(ToolRunner, CancelledPasswordEndsTheRunAndChangesNothing) {
    TempDir work(L"run");
    PackTree(work / L"h.7z", {{L"a.txt", "a"}, {L"b.txt", "b"}}, L"-psecret -mhe=on");
    const std::string before = ReadFileBytes(work / L"h.7z");
    std::atomic<int32_t> cancel{0}, yes{0};
    int progress = 0;
    ToolRunSettings settings = AddingSettings(cancel, yes, progress);
    settings.state = OperationState::Deleting;
    int asked = 0;
    settings.askPassword = [&asked]() -> std::optional<std::string> {
        ++asked;
        return std::nullopt;
    };
    ToolCommandLine command(SevenZipExe(), L"d", work / L"h.7z");
    command.addName(L"a.txt");
    const DWORD start = GetTickCount();
    const ToolRunResult result = RunTool(command, settings);
    EXPECT_LT(GetTickCount() - start, 20000u);
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.stopped);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ReadFileBytes(work / L"h.7z"), before);
}

TEST(ToolRunner, FailuresAreReportedByExitCodeAndAMissingToolDoesNotStart) {
    TempDir work(L"run");
    WriteFileBytes(work / L"broken.zip", "this is no zip archive");
    std::atomic<int32_t> cancel{0}, yes{0};
    int progress = 0;
    ToolCommandLine command(SevenZipExe(), L"d", work / L"broken.zip");
    command.addName(L"x");
    const ToolRunResult result = RunTool(command, AddingSettings(cancel, yes, progress));
    EXPECT_TRUE(result.started);
    EXPECT_NE(result.exitCode, 0u);
    EXPECT_FALSE(result.succeeded());

    ToolCommandLine missing(work / L"no-such-tool.exe", L"d", work / L"broken.zip");
    const ToolRunResult notStarted = RunTool(missing, AddingSettings(cancel, yes, progress));
    EXPECT_FALSE(notStarted.started);
    EXPECT_FALSE(notStarted.succeeded());
}

TEST(ToolRunner, CancelEndsALongRunAtOnce) {
    TempDir work(L"run");
    WriteFileBytes(work / L"big.bin", IncompressibleBytes(200u << 20, 7));
    std::atomic<int32_t> cancel{0}, yes{0};
    int progress = 0;
    ToolRunSettings settings = AddingSettings(cancel, yes, progress);
    DWORD childId = 0;
    settings.started = [&childId](DWORD id) { childId = id; };
    ToolCommandLine command(SevenZipExe(), L"a", work / L"big.7z");
    command.setWorkingFolder(work.path());
    command.addName(L"big.bin");
    std::thread canceller([&cancel] {
        Sleep(1500);
        cancel = 1;
    });
    const DWORD start = GetTickCount();
    const ToolRunResult result = RunTool(command, settings);
    const DWORD elapsed = GetTickCount() - start;
    canceller.join();
    EXPECT_TRUE(result.stopped);
    EXPECT_LT(elapsed, 10000u);
    ASSERT_NE(childId, 0u);
    HANDLE child = OpenProcess(SYNCHRONIZE, FALSE, childId);
    if (child) {
        EXPECT_EQ(WaitForSingleObject(child, 0), WAIT_OBJECT_0) << "the archiver still runs";
        CloseHandle(child);
    }
}
