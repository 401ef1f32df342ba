// The main window in the colours of Windows' app mode, and sized for the screen's DPI: the real
// program, its pixels read off the screen and its settings off the registry.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <vector>

#include "support/program_window.h"
#include "support/remote_list.h"
#include "support/test_support.h"
#include "support/window_probe.h"
#include "ui/window_placement.h"

using namespace testsupport;

namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Tolvane Extractor";
constexpr wchar_t kPersonalizeKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

void SetDword(const wchar_t* path, const wchar_t* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), 0);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

// Puts a value of the user's back as it was (absent) when the test ends.
struct ValueRemoved {
    const wchar_t* path;
    const wchar_t* name;
    ~ValueRemoved() { RegDeleteKeyValueW(HKEY_CURRENT_USER, path, name); }
};

std::string StoredValue(const wchar_t* name) {
    std::string data(256, '\0');
    DWORD size = static_cast<DWORD>(data.size());
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY, nullptr, data.data(), &size)) return {};
    data.resize(size);
    return data;
}

// The mean brightness (0 to 255) of a rectangle of the screen.
double Brightness(RECT area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return -1;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    std::vector<RGBQUAD> pixels(static_cast<size_t>(width) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    double sum = 0;
    for (const RGBQUAD& pixel : pixels) sum += (pixel.rgbRed + pixel.rgbGreen + pixel.rgbBlue) / 3.0;
    return sum / static_cast<double>(pixels.size());
}

RECT Inside(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    InflateRect(&rect, -4, -4);
    return rect;
}

// The menu bar: the band above the frame's client area.
RECT MenuBar(HWND frame) {
    POINT client{0, 0};
    ClientToScreen(frame, &client);
    RECT window{};
    GetWindowRect(frame, &window);
    return {window.left + 8, client.y - GetSystemMetrics(SM_CYMENU) + 2, window.right - 8, client.y - 2};
}

bool Dark(RECT area) {
    const double brightness = Brightness(area);
    return brightness >= 0 && brightness < 80;
}
bool Light(RECT area) { return Brightness(area) > 170; }

SIZE SizeOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

TEST(SchemeAndDpi, TheWindowAndItsDialogsFollowTheAppModeAtStartAndWhileTheProgramRuns) {
    TempDir dir(L"scheme");
    WriteFileBytes(dir / L"a.txt", "a");
    ValueRemoved restore{kPersonalizeKey, L"AppsUseLightTheme"};
    SetDword(kPersonalizeKey, L"AppsUseLightTheme", 1);
    StartIn(dir.path());
    {
        RunningProgram program(L"");
        ASSERT_NE(program.WaitForFrame(), nullptr);
        ASSERT_TRUE(WaitForRows(program.list(), 2));
        EXPECT_TRUE(WaitUntil([&] { return Light(Inside(program.list())); }));
        EXPECT_TRUE(WaitUntil([&] { return Light(MenuBar(program.frame())); }));
        // Switched while it runs, as Windows tells every window.
        SetDword(kPersonalizeKey, L"AppsUseLightTheme", 0);
        SendMessageTimeoutW(program.frame(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"),
                            SMTO_ABORTIFHUNG, kPatienceMs, nullptr);
        EXPECT_TRUE(WaitUntil([&] { return Dark(Inside(program.list())); })) << Brightness(Inside(program.list()));
        EXPECT_TRUE(WaitUntil([&] { return Dark(MenuBar(program.frame())); })) << Brightness(MenuBar(program.frame()));
        EXPECT_EQ(program.Close(), 1u);
    }
    RunningProgram program(L"");  // dark from the start, and its dialogs too
    ASSERT_NE(program.WaitForFrame(), nullptr);
    ASSERT_TRUE(WaitForRows(program.list(), 2));
    EXPECT_TRUE(WaitUntil([&] { return Dark(Inside(program.list())); }));
    EXPECT_TRUE(WaitUntil([&] { return Dark(MenuBar(program.frame())) && Dark(Inside(program.locationBox())); }));
    for (const wchar_t* bar : {REBARCLASSNAMEW, STATUSCLASSNAMEW}) {
        HWND window = FindWindowExW(program.frame(), nullptr, bar, nullptr);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(WaitUntil([&] { return Dark(Inside(window)); })) << Brightness(Inside(window));
    }
    PostMessageW(program.frame(), WM_COMMAND, 57664, 0);  // Help > About
    HWND about = WaitForTopWindow(L"About", program.pid());
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return Dark(Inside(about)); })) << Brightness(Inside(about));
    PressButton(about, IDOK);
    EXPECT_TRUE(WaitForNoTopWindow(L"About", program.pid()));
    EXPECT_EQ(program.Close(), 1u);
}

TEST(SchemeAndDpi, At144DpiTheWindowIsSizedForItAndItsSizesAreStoredAsAt96Dpi) {
    TempDir dir(L"dpi");
    WriteFileBytes(dir / L"a.txt", "a");
    ValueRemoved restore{kDesktopKey, L"LogPixels"};
    struct FirstRun {
        SIZE window;
        std::vector<int> parts;
    };
    const auto firstRun = [&](DWORD dpi) {
        SetDword(kDesktopKey, L"LogPixels", dpi);
        StartIn(dir.path());
        RunningProgram program(L"");
        FirstRun seen{};
        if (!program.WaitForFrame() || !WaitForRows(program.list(), 2)) return seen;
        HWND status = FindWindowExW(program.frame(), nullptr, STATUSCLASSNAMEW, nullptr);
        WaitUntil([&] { return RemoteStatusParts(status).size() >= 2; });
        seen = {SizeOf(program.frame()), RemoteStatusParts(status)};
        EXPECT_EQ(program.Close(), 1u);
        return seen;
    };
    const FirstRun at96 = firstRun(96);
    const FirstRun at144 = firstRun(144);
    EXPECT_NEAR(at144.window.cx, at96.window.cx * 3 / 2, 2);
    EXPECT_NEAR(at144.window.cy, at96.window.cy * 3 / 2, 2);
    ASSERT_GE(at96.parts.size(), 2u);
    ASSERT_EQ(at144.parts.size(), at96.parts.size());
    EXPECT_NEAR(at144.parts[0], at96.parts[0] * 1.5, at96.parts[0] * 0.15);

    // Stored as at 96 DPI: the columns' widths and the window's size.
    const std::string widths = StoredValue(L"column_width");
    ASSERT_EQ(widths.size(), 128u);
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(widths.data()), 350);
    const std::string placement = StoredValue(L"MAIN_WP");
    ASSERT_EQ(placement.size(), sizeof(WINDOWPLACEMENT));
    const RECT stored = reinterpret_cast<const WINDOWPLACEMENT*>(placement.data())->rcNormalPosition;
    EXPECT_EQ(stored.right - stored.left, at96.window.cx);
    EXPECT_EQ(stored.bottom - stored.top, at96.window.cy);
    // Started and closed twice on it: the window opens where and as large as it was, and the
    // stored placement stays as it was.
    for (int run = 0; run < 2; ++run) {
        RunningProgram program(L"");
        ASSERT_NE(program.WaitForFrame(), nullptr);
        RECT shown{};
        GetWindowRect(program.frame(), &shown);
        EXPECT_EQ(shown.left, stored.left);
        EXPECT_EQ(shown.top, stored.top);
        EXPECT_NEAR(shown.right - shown.left, at144.window.cx, 1);
        EXPECT_EQ(program.Close(), 1u);
        EXPECT_EQ(StoredValue(L"MAIN_WP"), placement);
    }
}

TEST(SchemeAndDpi, APlacementIsPutBelowATaskbarAtTheTopOrRightOfOneAtTheLeft) {
    // Wine shows no taskbar: the conversion that SetWindowPlacement makes is checked here.
    const RECT monitor{0, 0, 1280, 800};
    const RECT top = WorkAreaToScreen({100, 100, 900, 620}, monitor, {0, 40, 1280, 800});
    EXPECT_EQ(top.top, 140);
    EXPECT_EQ(top.bottom, 660);
    const RECT left = WorkAreaToScreen({1400, 100, 2200, 620}, {1280, 0, 2560, 800}, {1330, 0, 2560, 800});
    EXPECT_EQ(left.left, 1450);
    const RECT scaled = ScaleRectSize({10, 20, 810, 540}, 96, 144);
    EXPECT_EQ(scaled.left, 10);
    EXPECT_EQ(scaled.right, 1210);
    EXPECT_EQ(scaled.bottom, 800);
    EXPECT_EQ(FirstWindowSize(144, {0, 0, 1280, 800}).cx, 1260);
    EXPECT_EQ(FirstWindowSize(144, {0, 0, 1024, 700}).cy, 700);  // never beyond the work area
}
