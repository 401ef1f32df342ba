// The archive view's extra columns, chosen through the "Columns" dialog of the real program: their
// values as the archiver lists them, and the choice kept per kind of view in the settings.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "support/program_window.h"
#include "ui/column_choice.h"
#include "ui/columns_dialog.h"
#include "support/registry_reader.h"
#include "support/remote_list.h"
#include "support/test_support.h"
#include "support/window_probe.h"

using namespace testsupport;

namespace {

constexpr int kChooseColumns = 33154, kHidden = 1461, kShow = 1462;
const wchar_t kSettingsKey[] = L"Software\\Tolvane Extractor";

// "Key = value" lines of `7z.exe l -slt` for each path.
std::map<std::wstring, std::map<std::wstring, std::wstring>> Slt(const std::wstring& archive) {
    const std::wstring text = Widen(Run7z(L"l -slt -ba -sccUTF-8 " + Quote(archive)).output);
    std::map<std::wstring, std::map<std::wstring, std::wstring>> items;
    std::wstring path;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find_first_of(L"\r\n", pos);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = text.substr(pos, end - pos);
        const size_t eq = line.find(L" = ");
        if (eq != std::wstring::npos) {
            if (line.compare(0, eq, L"Path") == 0) path = line.substr(eq + 3);
            items[path][line.substr(0, eq)] = line.substr(eq + 3);
        }
        pos = end + 1;
    }
    return items;
}

void ForgetSetting(const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, name);
    RegCloseKey(key);
}
void ForgetArchiveColumns() { ForgetSetting(L"columns_archive"); }

}  // namespace

TEST(Columns, CrcMethodEncryptedAndAttributesAsTheArchiverListsThemAndTheChoiceIsKept) {
    ForgetArchiveColumns();
    TempDir dir(L"cols");
    WriteFileBytes(dir / L"src\\alpha.txt", "alpha, the first of the files");
    WriteFileBytes(dir / L"src\\beta.bin", std::string(3000, 'b'));
    const std::wstring archive = dir / L"cols.7z";
    ASSERT_EQ(Run7z(L"a -mx=1 " + Quote(archive) + L" alpha.txt beta.bin", dir / L"src").exitCode, 0u);
    const auto listed = Slt(archive);
    {
        RunningProgram program(Quote(archive));
        ASSERT_NE(program.WaitForFrame(), nullptr);
        HWND list = program.list();
        ASSERT_TRUE(WaitForRows(list, 3));
        ASSERT_EQ(ColumnCount(list), 5);
        Command(program, kChooseColumns);
        HWND dialog = WaitForTopWindow(L"Columns", program.pid());
        ASSERT_NE(dialog, nullptr);
        for (const wchar_t* title : {L"CRC", L"Method", L"Encrypted", L"Attributes"}) {
            HWND hidden = GetDlgItem(dialog, kHidden);
            const LRESULT index = SendMessageW(hidden, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                               reinterpret_cast<LPARAM>(title));
            ASSERT_GE(index, 0) << Narrow(title);
            SendMessageW(hidden, LB_SETCURSEL, index, 0);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kShow, BN_CLICKED), 0);
        }
        PressButton(dialog, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return ColumnCount(list) == 9; }));
        for (const wchar_t* name : {L"alpha.txt", L"beta.bin"}) {
            const std::vector<std::wstring> cells = RowCells(list, RowOf(list, name));
            const auto& item = listed.at(name);
            EXPECT_EQ(cells[5], item.at(L"CRC")) << Narrow(name);
            EXPECT_EQ(cells[6], item.at(L"Method")) << Narrow(name);
            EXPECT_EQ(cells[7], item.at(L"Encrypted")) << Narrow(name);
            EXPECT_EQ(cells[8], item.at(L"Attributes")) << Narrow(name);
        }
        EXPECT_EQ(program.Close(), 1u);
    }
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kSettingsKey, L"columns_archive").value_or(L"(none)"),
              L"name,size,packed,type,modified,crc,method,encrypted,attributes");
    // The next window shows the archive with them, and a folder with its own columns.
    RunningProgram again(Quote(archive));
    ASSERT_NE(again.WaitForFrame(), nullptr);
    ASSERT_TRUE(WaitForRows(again.list(), 3));
    EXPECT_EQ(ColumnCount(again.list()), 9);
    EnterPath(again, dir.path());
    EXPECT_TRUE(WaitUntil([&] { return ColumnCount(again.list()) == 4; }));
    again.Close();
    ForgetArchiveColumns();  // the other tests' windows show the usual columns
}

TEST(Columns, EachColumnKeepsItsOwnStoredWidthWhereverItIsShown) {
    // Stored widths 300 for the name and 77 for the packed size only: in a folder the type, third
    // there as the packed size is third in an archive, keeps the usual width.
    TempDir dir(L"colw");
    const std::wstring archive = dir / L"w.zip";
    WriteFileBytes(dir / L"src\\a.txt", "a");
    ASSERT_EQ(Run7z(L"a " + Quote(archive) + L" a.txt", dir / L"src").exitCode, 0u);
    StartIn(dir.path());
    int32_t widths[32] = {300, 0, 77};
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegSetValueExW(key, L"column_width", 0, REG_BINARY, reinterpret_cast<const BYTE*>(widths), sizeof(widths));
    RegCloseKey(key);
    RunningProgram program(L"");
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    const auto width = [&](int column) { return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)); };
    ASSERT_TRUE(WaitUntil([&] { return ColumnCount(list) == 4 && RowOf(list, L"w.zip") >= 0; }));
    EXPECT_EQ(width(0), 300);
    EXPECT_EQ(width(2), 150);  // Type
    RemoteListDoubleClick(list, RowOf(list, L"w.zip"));
    ASSERT_TRUE(WaitUntil([&] { return ColumnCount(list) == 5; }));
    EXPECT_EQ(width(2), 77);  // Packed
    program.Close();
    ForgetSetting(L"column_width");  // the other tests' windows start at the usual widths
}

TEST(Columns, StoredChoicesAreReadSafelyAndTheNameStaysFirst) {
    using C = ColumnId;
    // Unknown, repeated and unoffered keys go; the name comes first; nothing usable: the defaults.
    EXPECT_EQ(ParseColumns(ViewKind::Folder, L"crc,type,type,bogus,,modified_seconds"),
              (std::vector<C>{C::Name, C::Type, C::ModifiedSeconds}));
    EXPECT_EQ(ParseColumns(ViewKind::Archive, L"method,name"), (std::vector<C>{C::Name, C::Method}));
    EXPECT_EQ(ParseColumns(ViewKind::Drives, L"packed"), DefaultColumns(ViewKind::Drives));
    EXPECT_EQ(ParseColumns(ViewKind::Archive, FormatColumns(DefaultColumns(ViewKind::Archive))),
              DefaultColumns(ViewKind::Archive));
    EXPECT_EQ(ToggleColumn({C::Name, C::Size}, C::Name), (std::vector<C>{C::Name, C::Size}));
    EXPECT_EQ(MoveColumn({C::Name, C::Size, C::Crc}, 2, -1), (std::vector<C>{C::Name, C::Crc, C::Size}));
    EXPECT_EQ(MoveColumn({C::Name, C::Size, C::Crc}, 1, -1), (std::vector<C>{C::Name, C::Size, C::Crc}));
    EXPECT_EQ(MoveColumn({C::Name, C::Size, C::Crc}, 2, 1), (std::vector<C>{C::Name, C::Size, C::Crc}));
}
