// The order of the content view's rows and the small path and size helpers behind it.
#include <gtest/gtest.h>

#include <windows.h>

#include "catalog/name_order.h"
#include "ui/content_model.h"

namespace {

struct Row {
    std::wstring name;
    bool folder = false;
    uint64_t size = 0;
    uint64_t time = 0;
    uint64_t packed = 0;
};

std::vector<Row> Sample() {
    return {{L"b.txt", false, 1200, 30, 900}, {L"Zeta", true}, {L"..", false}, {L"a.txt", false, 99, 20, 1000},
            {L"alpha", true}, {L"C.txt", false, 1100, 10, 5}};
}

// The names of `rows` in the order that sorting by `column` gives.
std::vector<std::wstring> Sorted(const std::vector<Row>& rows, const std::wstring& column, bool descending) {
    std::vector<RowGroup> groups;
    for (const Row& row : rows)
        groups.push_back(row.name == L".." ? RowGroup::Parent : row.folder ? RowGroup::Folder : RowGroup::Other);
    const std::vector<uint32_t> ranks = RankNames(rows.size(), [&](size_t i) { return std::wstring_view(rows[i].name); });
    std::vector<uint64_t> keys;
    std::vector<std::wstring> types;
    for (size_t i = 0; i < rows.size(); ++i) {
        keys.push_back(column == L"Name" ? ranks[i] : column == L"Size" ? rows[i].size
                                                  : column == L"Packed" ? rows[i].packed : rows[i].time);
        types.push_back(rows[i].folder || rows[i].name == L".." ? L"" : rows[i].name == L"a.txt" ? L"Text" : L"Note");
    }
    if (column == L"Type") keys = TypeThenNameKeys(types.size(), [&](size_t i) { return std::wstring_view(types[i]); }, ranks);
    std::vector<std::wstring> names;
    for (uint32_t i : OrderRows(groups, &keys, descending)) names.push_back(rows[i].name);
    return names;
}

}  // namespace

TEST(ContentOrder, ParentRowFirstThenFoldersThenFilesByEachKeyBothWays) {
    struct Case {
        const wchar_t* column;
        bool descending;
        std::vector<std::wstring> expected;
    } cases[] = {
        {L"Name", false, {L"..", L"alpha", L"Zeta", L"a.txt", L"b.txt", L"C.txt"}},
        {L"Name", true, {L"..", L"Zeta", L"alpha", L"C.txt", L"b.txt", L"a.txt"}},
        {L"Size", false, {L"..", L"Zeta", L"alpha", L"a.txt", L"C.txt", L"b.txt"}},
        {L"Size", true, {L"..", L"Zeta", L"alpha", L"b.txt", L"C.txt", L"a.txt"}},
        {L"Packed", false, {L"..", L"Zeta", L"alpha", L"C.txt", L"b.txt", L"a.txt"}},
        {L"Modified", false, {L"..", L"Zeta", L"alpha", L"C.txt", L"a.txt", L"b.txt"}},
        {L"Modified", true, {L"..", L"Zeta", L"alpha", L"b.txt", L"a.txt", L"C.txt"}},
        // By type, then by name within a type ("a.txt" is a "Text" here, the other files "Note").
        {L"Type", false, {L"..", L"alpha", L"Zeta", L"b.txt", L"C.txt", L"a.txt"}},
        {L"Type", true, {L"..", L"Zeta", L"alpha", L"a.txt", L"C.txt", L"b.txt"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Sorted(Sample(), c.column, c.descending), c.expected) << c.column;
}

TEST(ContentOrder, EqualKeysKeepListingOrderAndKeysOfEveryByteSort) {
    std::vector<Row> rows;
    for (int i = 0; i < 100000; ++i) rows.push_back({L"same", false, 1, 0});
    std::vector<std::wstring> expected(100000, L"same");
    EXPECT_EQ(Sorted(rows, L"Name", true), expected);
    std::vector<RowGroup> groups(100000, RowGroup::Other);
    std::vector<uint64_t> keys(100000, 7);
    const std::vector<uint32_t> order = OrderRows(groups, &keys, true);
    for (uint32_t i = 0; i < 100000; ++i) ASSERT_EQ(order[i], i);
    // Keys that differ in every byte, the highest included.
    keys = {0xFF00000000000000ull, 1, 0x0000000100000000ull, 0xFFFFFFFFFFFFFFFFull, 0x00FF00FF00FF00FFull};
    groups.assign(keys.size(), RowGroup::Other);
    EXPECT_EQ(OrderRows(groups, &keys, false), (std::vector<uint32_t>{1, 2, 4, 0, 3}));
    EXPECT_EQ(OrderRows(groups, &keys, true), (std::vector<uint32_t>{3, 0, 4, 2, 1}));
}

TEST(ContentOrder, SizesAreGroupedByThousands) {
    EXPECT_EQ(FormatSize(0), L"");
    EXPECT_EQ(FormatSize(1234567), L"1,234,567");
    EXPECT_EQ(FormatSize(5000000000ULL), L"5,000,000,000");
}

