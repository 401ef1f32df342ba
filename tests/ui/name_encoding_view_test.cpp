// A zip made on a Japanese machine, opened in the window: its names as they were written, the
// code page named in the status bar, and View > Name encoding reading them another way.
#include <gtest/gtest.h>

#include <algorithm>

#include <windows.h>

#include "res/resource.h"
#include "support/program_window.h"
#include "support/remote_list.h"
#include "support/window_probe.h"
#include "ui/name_encoding_menu.h"

using namespace testsupport;

TEST(NameEncodingView, TheStatusBarNamesTheNamesCodePageAndTheMenuReadsThemAnotherWayFromThenOn) {
    TempDir dir(L"names view");
    const std::wstring archive = dir / L"japanese.zip";
    ASSERT_TRUE(CopyFileW((BinDir() + L"\\..\\linux-archives\\names-cp932.zip").c_str(), archive.c_str(), FALSE));
    StartIn(dir.path());
    RunningProgram program(Quote(archive));
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitForRows(list, 5));
    HWND bar = FindWindowExW(program.frame(), nullptr, L"msctls_statusbar32", nullptr);
    std::vector<std::wstring> status;
    ASSERT_TRUE(WaitUntil([&] { return (status = RemoteStatusTexts(bar)).size() == 5; }));
    EXPECT_EQ(status[4], L"Names: Shift-JIS");
    EXPECT_GE(RowOf(list, L"\u65e5\u672c\u8a9e\u306e\u30d5\u30a1\u30a4\u30eb.txt"), 0);
    EXPECT_GE(RowOf(list, L"\u30d5\u30a9\u30eb\u30c0"), 0);

    // Read as a DOS machine in the United States would: the names change, and the bar says so.
    const std::vector<unsigned>& pages = EncodingMenuCodePages();
    const UINT dos = ID_NAME_ENCODING_FIRST + static_cast<UINT>(std::find(pages.begin(), pages.end(), 437u) - pages.begin());
    Command(program, dos);
    EXPECT_TRUE(WaitUntil([&] { return RemoteStatusTexts(bar).back() == L"Names: CP437"; }));
    EXPECT_GE(RowOf(list, L"\u00f4\u00b7\u00fb{\u00ee\u03a9\u00e9\u2560\u00e2t\u00e2@\u00e2C\u00e2\u00ef.txt"), 0);
    EXPECT_EQ(RowOf(list, L"\u30d5\u30a9\u30eb\u30c0"), -1);
    EXPECT_EQ(program.Close(), 1u);
    // The choice stays with the archive; Automatic again reads what the names tell, from then on.
    for (int run = 0; run < 2; ++run) {
        RunningProgram again(Quote(archive));
        ASSERT_NE(again.WaitForFrame(), nullptr);
        HWND bar2 = FindWindowExW(again.frame(), nullptr, L"msctls_statusbar32", nullptr);
        const std::wstring expected = run == 0 ? L"Names: CP437" : L"Names: Shift-JIS";
        EXPECT_TRUE(WaitUntil([&] { return RemoteStatusTexts(bar2).back() == expected; })) << run;
        if (run == 0) Command(again, ID_NAME_ENCODING_AUTO);
        EXPECT_EQ(again.Close(), 1u);
    }
}
