// What a screen reader reads (MSAA names and values, through AccessibleObjectFromWindow as a
// reader asks), access keys of every dialog, and the small things a new user noticed.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <map>
#include <set>

#include "res/resource.h"
#include "support/program_window.h"
#include "support/remote_list.h"
#include "support/test_support.h"
#include "support/window_probe.h"
#include "support/zip_writer.h"
#include "ui/framework/dialog_impl.h"

using namespace testsupport;

namespace {

// The name (or with `value` the value) a screen reader reads for the window.
std::wstring ReadAccessible(HWND window, bool value = false) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object))))
        return L"(none)";
    VARIANT self{};
    self.vt = VT_I4;
    BSTR text = nullptr;
    const HRESULT read = value ? object->get_accValue(self, &text) : object->get_accName(self, &text);
    const std::wstring result = read == S_OK && text ? text : L"";
    SysFreeString(text);
    object->Release();
    return result;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool IsStatic(HWND window) { return ClassOf(window) == L"Static"; }
LONG StyleOf(HWND window) { return GetWindowLongW(window, GWL_STYLE); }
// Frames, icons and empty texts show nothing to read and take no focus.
bool IsDecoration(HWND window) {
    const bool groupBox = ClassOf(window) == L"Button" && (StyleOf(window) & BS_TYPEMASK) == BS_GROUPBOX;
    return (IsStatic(window) || groupBox) && WindowText(window).empty() && !(StyleOf(window) & WS_TABSTOP);
}
bool TakesLabel(HWND window) {
    const std::wstring kind = ClassOf(window);
    return kind == L"Edit" || kind == L"ComboBox" || kind == L"SysListView32" || kind == L"msctls_progress32";
}
std::wstring WithoutAccessKey(std::wstring text) { return text.find(L'&') == std::wstring::npos ? text : text.erase(text.find(L'&'), 1); }

// Any dialog of the program's resources, made by the program's own dialog code.
class AnyDialog : public ui::DialogImplBase {
public:
    explicit AnyDialog(int id) : DialogImplBase(id) {}
    bool ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
};

BOOL CALLBACK CollectDialog(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) {
    if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<int>*>(list)->push_back(static_cast<int>(LOWORD(name)));
    return TRUE;
}

BOOL CALLBACK CollectWindow(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

}  // namespace

TEST(Accessibility, EveryDialogNamesItsControlsAndGivesEachLabelItsOwnAccessKey) {
    std::vector<int> dialogs;
    EnumResourceNamesW(GetModuleHandleW(nullptr), RT_DIALOG, CollectDialog, reinterpret_cast<LONG_PTR>(&dialogs));
    ASSERT_GE(dialogs.size(), 10u);
    // The pages of a property sheet are child dialogs: they need a window to live in.
    const HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 500, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    for (int id : dialogs) {
        if (id == IDD_TOLVANE_VIEW) continue;  // the main window's view: read in the next test
        SCOPED_TRACE("dialog " + std::to_string(id));
        AnyDialog dialog(id);
        HWND window = dialog.Create(host);
        ASSERT_NE(window, nullptr);
        std::map<wchar_t, std::wstring> keys;
        HWND before = nullptr;
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const std::wstring text = WindowText(child);
            SCOPED_TRACE(text);
            const size_t amp = text.find(L'&');
            if (amp != std::wstring::npos && amp + 1 < text.size() && !(IsStatic(child) && (StyleOf(child) & SS_NOPREFIX))) {
                const wchar_t key = static_cast<wchar_t>(towupper(text[amp + 1]));
                EXPECT_TRUE(keys.emplace(key, text).second) << "access key shared with " << Narrow(keys[key]);
            }
            const std::wstring name = ReadAccessible(child);
            if (!IsDecoration(child)) EXPECT_FALSE(name.empty()) << Narrow(ClassOf(child));
            if (before && IsStatic(before) && TakesLabel(child)) {
                // Named by its label; a label of a control that takes the focus has an access key.
                EXPECT_EQ(name, WithoutAccessKey(WindowText(before)));
                if (StyleOf(child) & WS_TABSTOP) EXPECT_NE(WindowText(before).find(L'&'), std::wstring::npos);
            }
            before = child;
        }
        if (id == IDD_ABOUTBOX) EXPECT_EQ(ControlText(window, IDC_STATIC).substr(0, 22), L"Tolvane Extractor v1.0");
        RECT first{}, second{};  // the two password boxes of Add To Archive line up
        if (id == IDD_ADD_TO_ARCHIVE && GetWindowRect(GetDlgItem(window, IDC_ADD_PASSWORD), &first) &&
            GetWindowRect(GetDlgItem(window, IDC_ADD_PASSWORD_AGAIN), &second))
            EXPECT_TRUE(first.left == second.left && first.right == second.right);
        DestroyWindow(window);
    }
}

TEST(Accessibility, TheMainWindowReadsANameForEveryControlAndThePathShownAndSortsWithoutAMouse) {
    ProgramInFolder shown({{L"a.tar.gz", "333"}, {L"b.7z.001", "1"}, {L"c.gz", "22"}});
    ASSERT_NE(shown.list, nullptr);
    HWND frame = shown.program->frame();
    const std::wstring path = WindowText(shown.program->pathField());
    ASSERT_EQ(path.substr(0, shown.dir.path().size()), shown.dir.path());
    std::vector<HWND> controls;
    EnumChildWindows(frame, CollectWindow, reinterpret_cast<LPARAM>(&controls));
    EXPECT_GE(controls.size(), 7u);  // rebar, toolbar, status bar, view, location box, path field, list, header
    for (HWND control : controls) EXPECT_FALSE(ReadAccessible(control).empty()) << Narrow(ClassOf(control));
    EXPECT_EQ(ReadAccessible(shown.program->locationBox()), L"Location");
    EXPECT_EQ(ReadAccessible(shown.program->locationBox(), true), path);
    // Archives the shell knows by their last extension only have a type of their own.
    EXPECT_EQ(RowCells(shown.list, RowOf(shown.list, L"a.tar.gz")).at(2), L"TAR.GZ Archive");
    EXPECT_EQ(RowCells(shown.list, RowOf(shown.list, L"b.7z.001")).at(2), L"7Z Archive (part)");
    EXPECT_NE(RowCells(shown.list, RowOf(shown.list, L"c.gz")).at(2), L"TAR.GZ Archive");
    // View > Sort by: by the sizes on disk, 1, 2 and 3 bytes.
    const auto names = [&] {
        std::vector<std::wstring> listed;
        for (int row = 0; row < RemoteListCount(shown.list); ++row) listed.push_back(RowCells(shown.list, row).at(0));
        listed.erase(std::remove(listed.begin(), listed.end(), L".."), listed.end());
        return listed;
    };
    Command(*shown.program, ID_SORT_BY_SIZE);
    EXPECT_TRUE(WaitUntil([&] { return names() == std::vector<std::wstring>{L"b.7z.001", L"c.gz", L"a.tar.gz"}; }));
    EXPECT_EQ(shown.program->Close(), 1u);
}

TEST(Accessibility, AnEntryNamedDotDotIsListedOnceAndIsNoSecondWayUp) {
    TempDir dir(L"dots");
    const std::wstring archive = dir / L"dots.zip";
    WriteFileBytes(archive, MakeZip({{"..", "up"}, {"a.txt", "alpha"}}));
    // What the archive holds, as the archiver lists it.
    const std::string listed = Run7z(L"l -slt " + Quote(archive)).output;
    ASSERT_NE(listed.find("Path = ..\r\n"), std::string::npos);
    ASSERT_NE(listed.find("Path = a.txt\r\n"), std::string::npos);
    RunningProgram program(Quote(archive));
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitForRows(list, 3));
    std::multiset<std::wstring> names;
    for (int row = 0; row < RemoteListCount(list); ++row) names.insert(RowCells(list, row).at(0));
    EXPECT_EQ(names.count(L".."), 1u);  // the way up only
    EXPECT_EQ(names.count(L".. (unsafe name, not extracted)"), 1u);
    EXPECT_EQ(names.count(L"a.txt"), 1u);
    EXPECT_EQ(program.Close(), 1u);
}

TEST(Accessibility, ZipShowsNoSolidModeAndSevenZipGetsTheUsersChoiceBack) {
    ProgramInFolder shown({{L"a.txt", "alpha"}});
    ASSERT_NE(shown.list, nullptr);
    RemoteListSelect(shown.list, {RowOf(shown.list, L"a.txt")});
    Command(*shown.program, ID_ADD_FILES);
    HWND dialog = WaitForTopWindow(L"Tolvane Extractor - Add", shown.program->pid());
    ASSERT_NE(dialog, nullptr);
    HWND format = GetDlgItem(dialog, IDC_ARCHIVE_FORMAT), solid = GetDlgItem(dialog, IDC_SOLID_ARCHIVE);
    const auto choose = [&](const wchar_t* name) {
        SendMessageW(format, CB_SETCURSEL, SendMessageW(format, CB_FINDSTRINGEXACT, ~0u, reinterpret_cast<LPARAM>(name)), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ARCHIVE_FORMAT, CBN_SELCHANGE), reinterpret_cast<LPARAM>(format));
    };
    const auto checked = [&] { return SendMessageW(solid, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    choose(L"zip");
    EXPECT_TRUE(!checked() && !IsWindowEnabled(solid));
    choose(L"7z");
    EXPECT_TRUE(checked() && IsWindowEnabled(solid));  // the default choice
    SendMessageW(solid, BM_CLICK, 0, 0);
    choose(L"zip");
    EXPECT_FALSE(checked());
    choose(L"7z");
    EXPECT_FALSE(checked());  // the user's choice, kept through zip
    PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitForNoTopWindow(L"Tolvane Extractor - Add", shown.program->pid()));
    EXPECT_EQ(shown.program->Close(), 1u);
}
