// The order of the content view's rows and the small path and size helpers behind it.
#include <gtest/gtest.h>

#include <windows.h>

#include "ui/content_model.h"

namespace {

ItemRow Row(const std::wstring& name, bool folder, const std::wstring& size = L"", uint64_t time = 0,
            const std::wstring& packed = L"") {
    ItemRow row;
    row.name = name;
    row.attributes = folder ? FILE_ATTRIBUTE_DIRECTORY : 0;
    row.size = size;
    row.packedSize = packed;
    row.modifiedTime = time;
    row.parentRow = name == L"..";
    return row;
}

std::vector<std::wstring> Names(const std::vector<ItemRow>& rows) {
    std::vector<std::wstring> names;
    for (const ItemRow& r : rows) names.push_back(r.name);
    return names;
}

std::vector<ItemRow> Sample() {
    return {Row(L"b.txt", false, L"1,200", 30, L"900"), Row(L"Zeta", true), Row(L"..", false),
            Row(L"a.txt", false, L"99", 20, L"1,000"), Row(L"alpha", true), Row(L"C.txt", false, L"1,100", 10, L"5")};
}

}  // namespace

TEST(ContentOrder, ParentRowFirstThenFoldersThenFilesByEachKeyBothWays) {
    struct Case {
        const wchar_t* column;
        int order;
        std::vector<std::wstring> expected;
    } cases[] = {
        {L"Name", 1, {L"..", L"alpha", L"Zeta", L"a.txt", L"b.txt", L"C.txt"}},
        {L"Name", 2, {L"..", L"Zeta", L"alpha", L"C.txt", L"b.txt", L"a.txt"}},
        {L"Size", 1, {L"..", L"Zeta", L"alpha", L"a.txt", L"C.txt", L"b.txt"}},
        {L"Size", 2, {L"..", L"Zeta", L"alpha", L"b.txt", L"C.txt", L"a.txt"}},
        {L"Packed", 1, {L"..", L"Zeta", L"alpha", L"C.txt", L"b.txt", L"a.txt"}},
        {L"Modified", 1, {L"..", L"Zeta", L"alpha", L"C.txt", L"a.txt", L"b.txt"}},
        {L"Modified", 2, {L"..", L"Zeta", L"alpha", L"b.txt", L"a.txt", L"C.txt"}},
        // By type, then by name within a type ("a.txt" is a "Text" here, the others "Note").
        {L"Type", 1, {L"..", L"alpha", L"Zeta", L"b.txt", L"C.txt", L"a.txt"}},
        {L"Type", 2, {L"..", L"Zeta", L"alpha", L"a.txt", L"C.txt", L"b.txt"}},
        {L"Attributes", 1, {L"..", L"Zeta", L"alpha", L"b.txt", L"a.txt", L"C.txt"}},  // no key: listing order
    };
    for (const Case& c : cases) {
        std::vector<ItemRow> rows = Sample();
        for (ItemRow& row : rows)
            if (!row.parentRow && !(row.attributes & FILE_ATTRIBUTE_DIRECTORY)) row.type = row.name == L"a.txt" ? L"Text" : L"Note";
        SortItemRows(rows, c.column, c.order);
        EXPECT_EQ(Names(rows), c.expected) << c.column << L" " << c.order;
    }
}

TEST(ContentOrder, EqualKeysKeepListingOrderAndManyRowsSortQuickly) {
    std::vector<ItemRow> rows;
    for (int i = 0; i < 100000; ++i) rows.push_back(Row(L"same", false, L"1", 0));
    for (int i = 0; i < 100000; ++i) rows[static_cast<size_t>(i)].fullPath = std::to_wstring(i);
    SortItemRows(rows, L"Name", 2);
    for (int i = 0; i < 100000; ++i) ASSERT_EQ(rows[static_cast<size_t>(i)].fullPath, std::to_wstring(i));
}

TEST(ContentOrder, SizeTextsCompareByLengthThenText) {
    EXPECT_GT(CompareSizeText(L"1,000", L"999"), 0);
    EXPECT_LT(CompareSizeText(L"", L"1"), 0);
    EXPECT_EQ(CompareSizeText(L"abc", L"ABC"), 0);
    EXPECT_LT(CompareSizeText(L"1,234", L"1,235"), 0);
    EXPECT_EQ(FormatSize(0), L"");
    EXPECT_EQ(FormatSize(1234567), L"1,234,567");
    EXPECT_EQ(FormatSize(5000000000ULL), L"5,000,000,000");
    EXPECT_LT(CompareTimes(1, 0xFFFFFFFF00000000ULL), 0);
}

