// The language modules beside the program (bin\lang\*.dll, as built): each loads, every dialog
// and the menu bar come from it; the pseudo-language's longer texts fit every dialog's controls.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "res/resource.h"
#include "support/test_support.h"
#include "ui/app_globals.h"
#include "ui/resource_module.h"
#include "ui/status_texts.h"

using namespace testsupport;

namespace {

struct EnglishAfterwards {
    ~EnglishAfterwards() { UseLanguage(L"en"); }
};

BOOL CALLBACK AddDialog(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids) {
    if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<UINT>*>(ids)->push_back(LOWORD(name));
    return TRUE;
}

// Every dialog of the program.
std::vector<UINT> Dialogs() {
    std::vector<UINT> ids;
    EnumResourceNamesW(g_app.instance, RT_DIALOG, AddDialog, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A dialog made from the template of the language in use, hidden, in a hidden host (property
// pages are child windows).
struct OpenDialog {
    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    HWND dialog;
    explicit OpenDialog(UINT id)
        : dialog(CreateDialogIndirectParamW(g_app.instance, DialogTemplate(id), host, Quiet, 0)) {}
    ~OpenDialog() {
        if (dialog) DestroyWindow(dialog);
        DestroyWindow(host);
    }
};

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The caption and every control's text, one line each.
std::wstring AllTexts(HWND dialog) {
    std::wstring texts = TextOf(dialog);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        texts += L"\n" + TextOf(child);
    return texts;
}

std::wstring MenuTexts(HMENU menu) {
    std::wstring texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
        texts += std::wstring(text) + L"\n";
        if (HMENU sub = GetSubMenu(menu, i)) texts += MenuTexts(sub);
    }
    return texts;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

RECT ClientRectIn(HWND child, HWND dialog) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// What does not fit: each static, button, check box and group box's text measured with the
// control's font against its rectangle, and each pair of sibling controls that overlap.
std::vector<std::wstring> Clipped(HWND dialog, int dpi) {
    std::vector<std::wstring> faults;
    std::vector<std::pair<HWND, RECT>> placed;
    HDC dc = GetDC(dialog);
    const int checkBox = MulDiv(13 + 4, dpi, 96);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        const RECT rect = ClientRectIn(child, dialog);
        const int width = rect.right - rect.left, height = rect.bottom - rect.top;
        if (!(style & WS_VISIBLE) || width <= 0 || height <= 0) continue;
        const std::wstring kind = ClassOf(child), text = TextOf(child);
        const bool groupBox = kind == L"Button" && (style & BS_TYPEMASK) == BS_GROUPBOX;
        if (!groupBox) placed.push_back({child, rect});
        if (text.empty()) continue;
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
        RECT need{0, 0, width, 0};
        int room = width, roomHeight = height;
        if (kind == L"Static") {
            const LONG type = style & SS_TYPEMASK;
            if ((type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP) ||
                (style & SS_ELLIPSISMASK))
                need = {};
            else
                DrawTextW(dc, text.c_str(), -1, &need,
                          DT_CALCRECT | (type == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK) |
                              ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
        } else if (kind == L"Button") {
            const LONG type = style & BS_TYPEMASK;
            DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_SINGLELINE);
            if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) room -= MulDiv(8, dpi, 96);
            else if (groupBox) room -= MulDiv(16, dpi, 96), roomHeight = height;
            else room -= checkBox;
        } else {
            need = {};
        }
        SelectObject(dc, old);
        if (need.right > room || need.bottom > roomHeight)
            faults.push_back(L"clipped: \"" + text + L"\" needs " + std::to_wstring(need.right) + L"x" +
                             std::to_wstring(need.bottom) + L", has " + std::to_wstring(room) + L"x" +
                             std::to_wstring(roomHeight));
    }
    ReleaseDC(dialog, dc);
    for (size_t i = 0; i < placed.size(); ++i)
        for (size_t j = i + 1; j < placed.size(); ++j) {
            RECT common{};
            if (IntersectRect(&common, &placed[i].second, &placed[j].second))
                faults.push_back(L"overlap: \"" + TextOf(placed[i].first) + L"\" (" + ClassOf(placed[i].first) +
                                 L") and \"" + TextOf(placed[j].first) + L"\" (" + ClassOf(placed[j].first) + L")");
        }
    return faults;
}

}  // namespace

TEST(Languages, EachModuleLoadsAndEveryDialogAndTheMenuBarComeFromIt) {
    EnglishAfterwards english;
    std::vector<std::wstring> englishDialogs;
    for (UINT id : Dialogs()) englishDialogs.push_back(AllTexts(OpenDialog(id).dialog));
    const std::wstring englishMenu = MenuTexts(LoadResourceMenu(IDR_MENU_BAR));
    ASSERT_GE(englishDialogs.size(), 14u);

    for (const wchar_t* code : {L"de", L"ja", L"qps"}) {
        SCOPED_TRACE(Narrow(code));
        ASSERT_TRUE(UseLanguage(code));
        EXPECT_EQ(LanguageInUse(), code);
        EXPECT_NE(ResourceModule(), g_app.instance);
        EXPECT_NE(MenuTexts(LoadResourceMenu(IDR_MENU_BAR)), englishMenu);
        EXPECT_NE(ResourceString(ATL_IDS_IDLEMESSAGE), L"Ready");
        EXPECT_FALSE(ResourceString(IDS_LANGUAGE_NAME).empty());
        for (size_t i = 0; i < Dialogs().size(); ++i) {
            const OpenDialog open(Dialogs()[i]);
            ASSERT_NE(open.dialog, nullptr) << Dialogs()[i];
            // A dialog without texts (the view's) is the program's own.
            if (englishDialogs[i].find_first_not_of(L'\n') == std::wstring::npos) continue;
            EXPECT_NE(AllTexts(open.dialog), englishDialogs[i]) << Dialogs()[i];
        }
    }
    // The texts put together in code come from the module too, its values in its order.
    ASSERT_TRUE(UseLanguage(L"de"));
    EXPECT_EQ(ItemsText({2, 0, 0}), L"2 Elemente");
    EXPECT_EQ(ResourceString(IDS_SOME_ENCRYPTED, {L"2", L"5"}), L"verschlüsselt (2 von 5 Dateien)");
    EXPECT_EQ(FillPlaceholders(L"%2 / %1 %% %3", {L"a", L"b"}), L"b / a % %3");
    // A module that is not there leaves the program's English.
    EXPECT_FALSE(UseLanguage(L"xx"));
    EXPECT_EQ(ResourceModule(), g_app.instance);
    EXPECT_EQ(ResourceString(ATL_IDS_IDLEMESSAGE), L"Ready");
    EXPECT_EQ(LanguageCodeOf(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_SWISS)), L"de");
    EXPECT_EQ(LanguageCodeOf(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)), L"ja");
    EXPECT_EQ(LanguageCodeOf(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK)), L"");
}

// The pseudo-language (every text 40 % longer) and German, at the prefix's DPI here and at 144 DPI
// by the case below in a process of its own.
TEST(Languages, LongerTextsFitEveryDialogAtThisDpi) {
    EnglishAfterwards english;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    printf("measured at %d DPI\n", dpi);
    for (const wchar_t* code : {L"qps", L"de"}) {
        ASSERT_TRUE(UseLanguage(code));
        for (UINT id : Dialogs()) {
            const OpenDialog open(id);
            ASSERT_NE(open.dialog, nullptr) << id;
            for (const std::wstring& fault : Clipped(open.dialog, dpi))
                ADD_FAILURE() << Narrow(code) << " dialog " << id << " at " << dpi << " DPI: " << Narrow(fault);
        }
    }
}

TEST(Languages, LongerTextsFitEveryDialogAt144Dpi) {
    constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop";
    const DWORD dpi = 144;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi)), 0);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const ProcessResult run = RunProcess(
        Quote(self) + L" --gtest_filter=Languages.LongerTextsFitEveryDialogAtThisDpi");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("measured at 144 DPI"), std::string::npos) << run.output;
}

// The system's own answer is the oracle: "20,000" in English, "20.000" in German.
TEST(Languages, CountsAndSizesAreWrittenAsTheUsersLocaleWritesNumbers) {
    wchar_t decimal[8] = {}, whole[64] = {}, half[64] = {};
    ASSERT_GT(GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8), 0);
    ASSERT_GT(GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, L"20000", nullptr, whole, 64), 0);
    ASSERT_GT(GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, L"1.5", nullptr, half, 64), 0);
    const std::wstring count = std::wstring(whole).substr(0, std::wstring(whole).find(decimal));
    const std::wstring oneAndHalf = std::wstring(half).substr(0, std::wstring(half).find(decimal) + wcslen(decimal) + 1);
    EXPECT_EQ(ItemsText({20000, 0, 0}), count + L" items");
    EXPECT_EQ(SelectionText({20000, 1, 1572864}), count + L" selected, " + oneAndHalf + L" MB");
}
