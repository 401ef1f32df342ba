// The version a user sees in the window title and the about box is the one that the program
// file carries for Explorer and installers.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "support/program_window.h"
#include "support/test_support.h"
#include "support/window_probe.h"

using namespace testsupport;

namespace {

std::wstring VersionText(const std::vector<BYTE>& info, const std::wstring& name) {
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\040904b0\\" + name;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return {};
    return text;
}

}  // namespace

TEST(VersionInfo, TheTitleAndTheAboutBoxShowTheFilesVersion) {
    const std::wstring program = ProgramExe();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));

    const std::wstring version = VersionText(info, L"ProductVersion");
    EXPECT_EQ(version, L"1.0");
    EXPECT_EQ(VersionText(info, L"FileVersion"), version);
    EXPECT_EQ(std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionMS)),
              version);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(VersionText(info, L"ProductName"), L"Tolvane Extractor");
    EXPECT_NE(VersionText(info, L"LegalCopyright"), L"");
    EXPECT_NE(VersionText(info, L"CompanyName"), L"");

    RunningProgram run(L"");
    ASSERT_NE(run.WaitForFrame(), nullptr);
    EXPECT_EQ(WindowText(run.frame()), L"Tolvane Extractor - Ver " + version);
    PostMessageW(run.frame(), WM_COMMAND, ID_APP_ABOUT, 0);
    HWND about = WaitForTopWindow(L"About", 20000, run.pid());
    ASSERT_NE(about, nullptr);
    // The first of the box's static texts (the icon is the second).
    const std::wstring firstLine = L"Tolvane Application v" + version + L"\n";
    EXPECT_EQ(ControlText(about, IDC_STATIC).substr(0, firstLine.size()), firstLine);
    PressButton(about, IDOK);
    EXPECT_TRUE(WaitForNoTopWindow(L"About", 20000, run.pid()));
    EXPECT_EQ(run.Close(), 1u);
}
