// "/e" on a zip made on another machine: the names its bytes tell reach the disk, without a window.
#include <gtest/gtest.h>

#include <algorithm>

#include "program_run.h"
#include "support/test_support.h"

using namespace testsupport;

TEST(LegacyNamesRun, ExtractHereWritesTheNamesInTheirOwnCodePage) {
    TempDir work(L"legacy run");
    for (const wchar_t* name : {L"names-gbk.zip", L"names-cp866.zip"}) {
        ASSERT_TRUE(CopyFileW((BinDir() + L"\\..\\linux-archives\\" + name).c_str(), (work / name).c_str(), FALSE));
        const ProcessResult run = RunProgram(L"/e \"" + (work / name) + L"\"");
        ASSERT_TRUE(run.started);
        EXPECT_EQ(run.exitCode, 0u);
    }
    // Each file holds its name as the Linux side wrote it.
    for (const std::wstring& file : {std::wstring(L"\u4e2d\u6587\u6587\u4ef6.txt"),
                                     std::wstring(L"\u76ee\u5f55\\\u6d4b\u8bd5\u6587\u6863.txt"),
                                     std::wstring(L"\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440.txt"),
                                     std::wstring(L"\u043f\u0430\u043f\u043a\u0430\\\u0434\u043e\u043a\u0443\u043c\u0435\u043d\u0442.txt")}) {
        std::wstring stored = file;
        std::replace(stored.begin(), stored.end(), L'\\', L'/');
        EXPECT_EQ(ReadFileBytes(work / file), Narrow(stored)) << Narrow(file);
    }
}
