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

TEST(ToolRunner, CancelledPasswordEndsTheRunAndChangesNothing) {
    TempDir work(L"run");
    PackTree(work / L"h.7z", {{L"a.txt", "a"}, {L"b.txt", "b"}}, L"-psecret -mhe=on");
    const std::string before = ReadFileBytes(work / L"h.7z");
    std::atomic<int32_t> cancel{0}, yes{0};
    int progress = 0;
    ToolRunSettings settings = AddingSettings(cancel, yes, progress);
    settings.state = OperationState::Deleting;
    int asked = 0;
    settings.askPassword = [&asked](bool) -> std::optional<std::string> {
        ++asked;
        return std::nullopt;
    };
    ToolCommandLine command(SevenZipExe(), L"d", work / L"h.7z");
    command.addName(L"a.txt");
    const ToolRunResult result = RunTool(command, settings);
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
