// The folder tree built from a listing, its rows and the navigation through it.
#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "catalog/item_catalog.h"

namespace {

// 2011-03-04 05:06:07 UTC.
uint64_t Stamp() {
    SYSTEMTIME when{2011, 3, 0, 4, 5, 6, 7, 0};
    FILETIME time{};
    SystemTimeToFileTime(&when, &time);
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

struct Item {
    std::wstring path;
    uint32_t attributes = 0x20;
    std::optional<uint64_t> size = 10;
    std::optional<uint64_t> modified = Stamp();
};

// Hands the items to the catalogue as a listing does.
void Build(ItemCatalog& catalog, const std::vector<Item>& items, ProgressCounters* progress = nullptr) {
    ListingSink& sink = catalog.TreeBuilder(progress);
    sink.begin(static_cast<uint32_t>(items.size()));
    for (const Item& item : items) {
        ListedItem listed;
        listed.path = item.path;
        listed.attributes = item.attributes;
        listed.hasSize = item.size.has_value();
        listed.size = item.size.value_or(0);
        listed.hasPackedSize = true;
        listed.packedSize = 7;
        listed.hasModified = item.modified.has_value();
        listed.modified = item.modified.value_or(0);
        sink.add(listed);
    }
}

std::vector<std::wstring> RowNames(const ItemCatalog& catalog) {
    std::vector<std::wstring> names;
    for (int i = 0; i < catalog.RowCount(); ++i) names.push_back(catalog.RowAt(i).name);
    return names;
}

class CatalogTree : public ::testing::Test {
protected:
    void SetUp() override { catalog.archivePath = L"C:\\in\\x.zip"; }
    ItemCatalog catalog;
};

}  // namespace

TEST_F(CatalogTree, EmptyArchiveShowsOnlyTheParentRow) {
    Build(catalog, {});
    catalog.EnterFolder(L"");
    ASSERT_EQ(catalog.RowCount(), 1);
    const ItemRow parent = catalog.RowAt(0);
    EXPECT_EQ(parent.name, L"..");
    EXPECT_EQ(parent.type, L"Folder");
    EXPECT_TRUE(parent.fullPath.empty());
    EXPECT_EQ(parent.attributes, 0u);
    EXPECT_EQ(catalog.DisplayPath(), L"C:\\in\\x.zip");
}

TEST_F(CatalogTree, ImpliedFoldersAreCreatedAndCanBeEntered) {
    Build(catalog, {{L"a\\b\\c.txt", 0x20, 1234567}});
    const ArchiveTree& tree = catalog.tree;
    const ArchiveTree::NodeId a = tree.Find(L"a"), b = tree.Find(L"a\\b"), c = tree.Find(L"a\\b\\c.txt");
    ASSERT_NE(a, ArchiveTree::kNoNode);
    ASSERT_NE(b, ArchiveTree::kNoNode);
    ASSERT_NE(c, ArchiveTree::kNoNode);
    // The implied folders carry no item data of their own...
    EXPECT_EQ(tree[a].attributes, 0u);
    EXPECT_FALSE(tree[a].has(ArchiveTree::kHasItem));
    EXPECT_FALSE(tree[a].has(ArchiveTree::kHasSize));
    EXPECT_FALSE(tree[b].has(ArchiveTree::kHasModified));
    // ...but are folders with their path, so their rows are found and entered.
    EXPECT_TRUE(tree[a].isFolder());
    EXPECT_EQ(tree[c].size, 1234567u);
    EXPECT_EQ(tree[c].parent, b);

    catalog.EnterFolder(L"");
    ASSERT_EQ(catalog.RowCount(), 2);
    const ItemRow row = catalog.RowAt(1);
    EXPECT_EQ(row.name, L"a");
    EXPECT_EQ(row.fullPath, L"a");
    EXPECT_EQ(row.attributes, 16u);
    EXPECT_EQ(row.type, L"Folder");
    EXPECT_TRUE(row.size.empty());
    EXPECT_TRUE(row.modified.empty());

    catalog.EnterFolder(L"a");
    EXPECT_EQ(catalog.RowAt(1).fullPath, L"a\\b");
    catalog.EnterFolder(L"a\\b");
    ASSERT_EQ(catalog.RowCount(), 2);
    const ItemRow file = catalog.RowAt(1);
    EXPECT_EQ(file.name, L"c.txt");
    EXPECT_EQ(file.fullPath, L"a\\b\\c.txt");
    EXPECT_EQ(file.size, L"1,234,567");
    EXPECT_EQ(file.packedSize, L"7");
    EXPECT_EQ(file.attributes, 0u);
    EXPECT_EQ(file.modified, FormatModified(Stamp()));
    EXPECT_NE(file.modified.find(L"2011"), std::wstring::npos) << std::string(file.modified.begin(), file.modified.end());
    EXPECT_EQ(catalog.DisplayPath(), L"C:\\in\\x.zip\\a\\b");
}

TEST_F(CatalogTree, NamesDifferingInCaseAreSiblingsAndDuplicatesMerge) {
    Build(catalog, {{L"Docs\\x"}, {L"docs\\y"}, {L"d.txt", 0x20, 1}, {L"d.txt", 0x20, 2222}, {L"Docs", 16}});
    catalog.EnterFolder(L"");
    EXPECT_EQ(RowNames(catalog), (std::vector<std::wstring>{L"..", L"Docs", L"docs", L"d.txt"}));
    // The later of two items with the same path wins.
    EXPECT_EQ(catalog.RowAt(3).size, L"2,222");
    // A folder named by an item keeps its children.
    catalog.EnterFolder(L"Docs");
    EXPECT_EQ(RowNames(catalog), (std::vector<std::wstring>{L"..", L"x"}));
    catalog.EnterFolder(L"docs");
    EXPECT_EQ(RowNames(catalog), (std::vector<std::wstring>{L"..", L"y"}));
}

TEST_F(CatalogTree, FindCreatesOnlyWhenAskedAndKeepsEmptyComponents) {
    ArchiveTree& tree = catalog.tree;
    EXPECT_EQ(tree.Find(L""), ArchiveTree::kRoot);
    EXPECT_EQ(tree.Find(L"p\\q"), ArchiveTree::kNoNode);
    const ArchiveTree::NodeId q = tree.FindOrAdd(L"p\\q");
    ASSERT_NE(q, ArchiveTree::kNoNode);
    EXPECT_EQ(tree.Find(L"p\\q"), q);
    EXPECT_EQ(tree.FindOrAdd(L"p\\q"), q);
    // Two adjacent backslashes and a trailing one give empty components.
    const ArchiveTree::NodeId odd = tree.FindOrAdd(L"p\\\\r\\");
    ASSERT_NE(odd, ArchiveTree::kNoNode);
    EXPECT_EQ(tree[odd].nameView(), L"");
    EXPECT_NE(tree.Find(L"p\\"), ArchiveTree::kNoNode);
    EXPECT_EQ(tree[ArchiveTree::kRoot].firstChild, tree[ArchiveTree::kRoot].lastChild);
    // An empty item path names the root itself.
    Build(catalog, {{L"", 0x20, 5}});
    EXPECT_EQ(tree[ArchiveTree::kRoot].size, 5u);
}

TEST_F(CatalogTree, NavigateToAndRowAtBounds) {
    Build(catalog, {{L"docs\\old\\a.txt"}, {L"b.txt"}});
    EXPECT_EQ(catalog.NavigateTo(L"C:\\in\\x.zip\\docs\\old"), 2);
    EXPECT_EQ(catalog.currentFolder, L"docs\\old");
    // A folder that does not exist changes nothing.
    EXPECT_EQ(catalog.NavigateTo(L"C:\\in\\x.zip\\nothing"), 2);
    EXPECT_EQ(catalog.currentFolder, L"docs\\old");
    // A file is not a folder to navigate to.
    catalog.NavigateTo(L"C:\\in\\x.zip\\b.txt");
    EXPECT_EQ(catalog.currentFolder, L"docs\\old");
    // Not longer than the archive path: the root. The separator is skipped unread.
    EXPECT_EQ(catalog.NavigateTo(L"C:\\in\\x.zip"), 3);
    EXPECT_EQ(catalog.currentFolder, L"");
    EXPECT_EQ(catalog.NavigateTo(L"C:\\in\\x.zip/docs"), 2);
    EXPECT_EQ(catalog.currentFolder, L"docs");
    EXPECT_EQ(catalog.NavigateTo(L""), 3);

    EXPECT_TRUE(catalog.RowAt(-1).name.empty());
    EXPECT_TRUE(catalog.RowAt(catalog.RowCount()).name.empty());
    EXPECT_TRUE(catalog.RowAt(1 << 30).name.empty());
    EXPECT_EQ(catalog.RowAt(catalog.RowCount() - 1).name, L"b.txt");
}

TEST_F(CatalogTree, ReenteringAVanishedFolderShowsTheRoot) {
    Build(catalog, {{L"docs\\a.txt"}, {L"b.txt"}});
    catalog.EnterFolder(L"docs");
    catalog.ClearRows();
    catalog.ClearTree();
    EXPECT_EQ(catalog.RowCount(), 0);
    Build(catalog, {{L"b.txt"}});
    catalog.EnterFolder(L"docs");
    EXPECT_EQ(catalog.currentFolder, L"");
    EXPECT_EQ(RowNames(catalog), (std::vector<std::wstring>{L"..", L"b.txt"}));
}

TEST_F(CatalogTree, MissingValuesGiveEmptyTextsAndNamesStayExactlyAsListed) {
    Build(catalog, {{L"a.txt", 0x20, std::nullopt},
                    {L"b.txt", 0x20, 12, 0xFFFFFFFFFFFFFFFFull},
                    {std::wstring(L"bad") + wchar_t(0xD800) + L".txt", 0x20, 1, std::nullopt}});
    catalog.EnterFolder(L"");
    ASSERT_EQ(catalog.RowCount(), 4);
    EXPECT_TRUE(catalog.RowAt(1).size.empty());
    EXPECT_TRUE(catalog.RowAt(2).modified.empty());  // no valid date
    EXPECT_TRUE(catalog.RowAt(3).modified.empty());
    // A name that is not valid Unicode is listed as the archive holds it, so that it is found again.
    EXPECT_EQ(catalog.RowAt(3).name, std::wstring(L"bad") + wchar_t(0xD800) + L".txt");
    EXPECT_EQ(catalog.RowOfName(catalog.RowAt(3).name), 3);
}

TEST_F(CatalogTree, WideFolderKeepsCreationOrderAndFindsEveryName) {
    std::vector<Item> items;
    for (int i = 0; i < 20000; ++i) items.push_back({L"wide\\f" + std::to_wstring(19999 - i) + L".dat"});
    Build(catalog, items);
    catalog.EnterFolder(L"wide");
    ASSERT_EQ(catalog.RowCount(), 20001);
    EXPECT_EQ(catalog.RowAt(1).name, L"f19999.dat");
    EXPECT_EQ(catalog.RowAt(20000).name, L"f0.dat");
    EXPECT_EQ(catalog.RowOfName(L"f12345.dat"), 1 + 19999 - 12345);
    EXPECT_EQ(catalog.tree.Find(L"wide\\f12345.dat"), catalog.RowNode(1 + 19999 - 12345));
    EXPECT_EQ(catalog.RowOfName(L"F12345.dat"), -1);
}

TEST_F(CatalogTree, NamesOfEveryKindKeepTheirFolderAndSortAsLstrcmpiW) {
    const std::vector<std::wstring> names = {
        L"% ! ^ & | < > \"", L"-dash", L"@at", L"*star?", L"trailing. ", L"trailing...", L"caf\u00e9",
        L"CAF\u00c9", L"\u6587\u5b57", L"\U0001F600 smile", L"a'b", L"a-b", L"ab", L"A", L"a", L"Zeta", L"zeta2",
        L"10", L"9", std::wstring(9000, L'x') + L".long", L""};
    std::vector<Item> items = {{L"..\\up.txt"}, {L"\\rooted.txt"}};
    for (const std::wstring& name : names) items.push_back({L"all\\" + name});
    Build(catalog, items);

    catalog.EnterFolder(L"");
    EXPECT_EQ(RowNames(catalog), (std::vector<std::wstring>{L"..", L"..", L"", L"all"}));
    EXPECT_FALSE(catalog.RowIsParent(1));  // a folder named ".." is no way up
    EXPECT_EQ(catalog.RowFullPath(2), L"");
    catalog.EnterFolder(L"..");
    EXPECT_EQ(RowNames(catalog), (std::vector<std::wstring>{L"..", L"up.txt"}));
    EXPECT_EQ(catalog.RowFullPath(1), L"..\\up.txt");

    catalog.EnterFolder(L"all");
    ASSERT_EQ(catalog.RowCount(), static_cast<int>(names.size()) + 1);
    const std::vector<uint32_t>& ranks = catalog.NameRanks();
    for (size_t i = 0; i < names.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        EXPECT_EQ(catalog.RowName(row), names[i]);
        EXPECT_EQ(catalog.RowFullPath(row), L"all\\" + names[i]);
        EXPECT_EQ(catalog.RowOfName(names[i]), row);
        for (size_t j = 0; j < names.size(); ++j) {
            const int expected = lstrcmpiW(names[i].c_str(), names[j].c_str());
            const int actual = ranks[i + 1] < ranks[j + 1] ? -1 : ranks[i + 1] > ranks[j + 1] ? 1 : 0;
            EXPECT_EQ(actual, expected < 0 ? -1 : expected > 0 ? 1 : 0) << i << " " << j;
        }
    }
}

TEST_F(CatalogTree, VeryDeepPathIsBuiltAndFreedWithoutExhaustingTheStack) {
    std::wstring deep;
    for (int i = 0; i < 100000; ++i) deep += L"d\\";
    deep += L"leaf.txt";
    Build(catalog, {{deep}});
    EXPECT_NE(catalog.tree.Find(deep), ArchiveTree::kNoNode);
    catalog.ClearTree();
    EXPECT_EQ(catalog.tree.NodeCount(), 1u);
    // And once more, freed by the catalogue's own end.
    auto other = std::make_unique<ItemCatalog>();
    Build(*other, {{deep}});
    other.reset();
}

TEST_F(CatalogTree, BuildTreeReportsProgressPerItem) {
    ProgressCounters progress;
    Build(catalog, {{L"a"}, {L"b"}, {L"c"}}, &progress);
    EXPECT_EQ(progress.total.load(), 3u);
    EXPECT_EQ(progress.completed.load(), 2u);
}

TEST(CatalogInstance, CreatedOnFirstUseAndDestroyedWithItsTemporaryFolder) {
    EXPECT_FALSE(CatalogExists());
    ItemCatalog* catalog = GetCatalog();
    ASSERT_NE(catalog, nullptr);
    EXPECT_TRUE(CatalogExists());
    EXPECT_EQ(GetCatalog(), catalog);
    EXPECT_EQ(catalog->state.load(), OperationState::Idle);
    EXPECT_TRUE(catalog->archivePath.empty());

    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    const std::wstring temp = std::wstring(base) + L"catalog-temp-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
    const std::wstring inner = temp + L"\\x.txt";
    HANDLE file = CreateFileW(inner.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    catalog->tempFolder = temp;
    Build(*catalog, {{L"a\\b"}});
    catalog->EnterFolder(L"a");

    DestroyCatalog();
    EXPECT_FALSE(CatalogExists());
    EXPECT_EQ(GetFileAttributesW(temp.c_str()), INVALID_FILE_ATTRIBUTES);
    ItemCatalog* fresh = GetCatalog();
    EXPECT_EQ(fresh->RowCount(), 0);
    EXPECT_TRUE(fresh->currentFolder.empty());
    DestroyCatalog();
}
