// Texts and shell data of the rows: grouping, dates, one icon and type per file type.
#include <gtest/gtest.h>

#include <set>

#include "catalog/item_catalog.h"

TEST(GroupThousands, GroupsAnyCharactersFromTheRight) {
    EXPECT_EQ(GroupThousands(L"1234567"), L"1,234,567");
    EXPECT_EQ(GroupThousands(L"999"), L"999");
    EXPECT_EQ(GroupThousands(L"1000"), L"1,000");
    EXPECT_EQ(GroupThousands(L"100000"), L"100,000");
    EXPECT_EQ(GroupThousands(L""), L"");
    EXPECT_EQ(GroupThousands(L"7"), L"7");
    EXPECT_EQ(GroupThousands(L"abcdefg"), L"a,bcd,efg");
}

TEST(FormatModified, UsesTheSystemFormatsAsTheTimeIsAndRefusesInvalidTimes) {
    SYSTEMTIME when{};
    when.wYear = 2011;
    when.wMonth = 3;
    when.wDay = 4;
    when.wHour = 5;
    when.wMinute = 6;
    when.wSecond = 7;
    when.wMilliseconds = 890;
    wchar_t date[256], time[256];
    ASSERT_GT(GetDateFormatW(LOCALE_SYSTEM_DEFAULT, DATE_SHORTDATE, &when, nullptr, date, 256), 0);
    ASSERT_GT(GetTimeFormatW(LOCALE_SYSTEM_DEFAULT, TIME_NOSECONDS, &when, nullptr, time, 256), 0);
    FILETIME stamp{};
    ASSERT_TRUE(SystemTimeToFileTime(&when, &stamp));
    EXPECT_EQ(FormatModified((static_cast<uint64_t>(stamp.dwHighDateTime) << 32) | stamp.dwLowDateTime),
              std::wstring(date) + L" " + time);
    EXPECT_EQ(FormatModified(0xFFFFFFFFFFFFFFFFull), L"");  // no such date

    EXPECT_EQ(FormatGroupedNumber(0), L"0");
    EXPECT_EQ(FormatGroupedNumber(999), L"999");
    EXPECT_EQ(FormatGroupedNumber(1234567), L"1,234,567");
    EXPECT_EQ(FormatGroupedNumber(18446744073709551615ull), L"18,446,744,073,709,551,615");
}

TEST(ShellTypes, AHundredThousandFilesShareOneIconPerType) {
    const DWORD userObjectsBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    const DWORD gdiObjectsBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    ItemCatalog catalog;
    const wchar_t* extensions[] = {L".txt", L".TXT", L".dat", L".bmp", L""};
    ListingSink& sink = catalog.TreeBuilder();
    sink.begin(100001);
    for (int i = 0; i < 100000; ++i) {
        const std::wstring path = L"many\\f" + std::to_wstring(i) + extensions[i % 5];
        ListedItem item;
        item.path = path;
        item.attributes = 0x20;
        item.hasSize = true;
        item.size = 1;
        sink.add(item);
    }
    ListedItem folder;
    folder.path = L"many\\sub";
    folder.attributes = 16;
    sink.add(folder);
    catalog.EnterFolder(L"many");
    ASSERT_EQ(catalog.RowCount(), 100002);

    std::set<HICON> icons;
    std::set<std::wstring> types;
    for (int i = 1; i < catalog.RowCount(); ++i) {
        const ItemRow row = catalog.RowAt(i);
        icons.insert(row.icon);
        types.insert(row.type);
    }
    EXPECT_NE(catalog.RowAt(0).icon, nullptr);
    EXPECT_NE(catalog.RowAt(1).icon, nullptr);
    EXPECT_FALSE(catalog.RowAt(1).type.empty());
    // .txt and .TXT are one type; four file types and the folder.
    EXPECT_LE(icons.size(), 5u);
    EXPECT_EQ(catalog.shellTypes.size(), 4u);
    EXPECT_EQ(catalog.RowAt(1).type, catalog.RowAt(2).type);
    EXPECT_EQ(catalog.RowAt(100001).type, L"Folder");
    EXPECT_EQ(catalog.RowAt(100001).icon, catalog.RowAt(0).icon);
    EXPECT_LT(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userObjectsBefore + 50);
    EXPECT_LT(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiObjectsBefore + 50);

    // Entering again reuses the same icons.
    const HICON first = catalog.RowAt(1).icon;
    catalog.EnterFolder(L"many");
    EXPECT_EQ(catalog.RowAt(1).icon, first);
}
