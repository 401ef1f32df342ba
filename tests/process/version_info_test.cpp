// The version a user sees in the window title and the about box is the one that the program
// file carries for Explorer and installers.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "res/resource.h"
#include "support/program_window.h"
#include "support/test_support.h"
#include "support/window_probe.h"

using namespace testsupport;

TEST(VersionInfo, TheTitleAndTheAboutBoxShowTheFilesVersion) {
    const std::wstring program = ProgramExe();
    DWORD ignored = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeW(program.c_str(), &ignored));
    ASSERT_TRUE(!info.empty() && GetFileVersionInfoW(program.c_str(), 0, DWORD(info.size()), info.data()));
    auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
        return VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) && value
                   ? std::wstring(value) : std::wstring();
    };
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    // "1.0" is 1.0.0.0 in the numeric fields.
    const std::wstring version = text(L"ProductVersion");
    EXPECT_EQ(version, L"1.0");
    EXPECT_EQ(text(L"FileVersion"), version);
    EXPECT_TRUE(fixed->dwFileVersionMS == MAKELONG(0, 1) && fixed->dwFileVersionLS == 0 &&
                fixed->dwProductVersionMS == MAKELONG(0, 1) && fixed->dwProductVersionLS == 0);
    EXPECT_EQ(text(L"ProductName"), L"Tolvane Extractor");
    EXPECT_TRUE(!text(L"LegalCopyright").empty() && !text(L"CompanyName").empty());

    RunningProgram run(L"");
    ASSERT_NE(run.WaitForFrame(), nullptr);
    EXPECT_EQ(WindowText(run.frame()), L"Tolvane Extractor - Ver " + version);
    PostMessageW(run.frame(), WM_COMMAND, ID_APP_ABOUT, 0);
    HWND about = WaitForTopWindow(L"About", run.pid());
    ASSERT_NE(about, nullptr);
    // The first of the box's static texts (the icon is the second).
    const std::wstring firstLine = L"Tolvane Extractor v" + version + L"\n";
    EXPECT_EQ(ControlText(about, IDC_STATIC).substr(0, firstLine.size()), firstLine);
    PressButton(about, IDOK);
    EXPECT_TRUE(WaitForNoTopWindow(L"About", run.pid()));
    EXPECT_EQ(run.Close(), 1u);
}
