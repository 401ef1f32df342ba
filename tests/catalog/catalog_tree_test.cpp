// The folder tree built from a listing, its rows and the navigation through it.
#include <gtest/gtest.h>

#include <set>

#include "catalog/item_catalog.h"

namespace {

ArchiveItem Item(std::wstring path, uint32_t attributes = 0x20, std::wstring size = L"10",
                 std::wstring date = L"2011-03-04", std::wstring time = L"05:06:07") {
    ArchiveItem item;
    item.path = std::move(path);
    item.attributes = attributes;
    item.size = std::move(size);
    item.packedSize = L"7";
    item.modifiedDate = std::move(date);
    item.modifiedTime = std::move(time);
    item.modified = 129435615670000000ull;
    return item;
}

ListingResult Listing(std::vector<ArchiveItem> items) {
    ListingResult listing;
    listing.items = std::move(items);
    return listing;
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

TEST_F(CatalogTree, EmptyArchiveShowsOnlyTheParentRow) {
    catalog.BuildTree(Listing({}));
    catalog.EnterFolder("");
    ASSERT_EQ(catalog.RowCount(), 1);
    const ItemRow parent = catalog.RowAt(0);
    EXPECT_EQ(parent.name, L"..");
    EXPECT_EQ(parent.type, L"Folder");
    EXPECT_TRUE(parent.fullPath.empty());
    EXPECT_EQ(parent.attributes, 0u);
    EXPECT_EQ(catalog.DisplayPath(), L"C:\\in\\x.zip");
}

TEST_F(CatalogTree, ImpliedFoldersAreCreatedAndCanBeEntered) {
    catalog.BuildTree(Listing({Item(L"a\\b\\c.txt", 0x20, L"1234567")}));
    FolderNode* a = catalog.FindNode("a", false);
    FolderNode* b = catalog.FindNode("a\\b", false);
    FolderNode* c = catalog.FindNode("a\\b\\c.txt", false);
    ASSERT_TRUE(a && b && c);
    // The implied folders carry no item data of their own...
    EXPECT_EQ(a->attributes, 0u);
    EXPECT_TRUE(a->size.empty());
    EXPECT_TRUE(a->modifiedDate.empty());
    EXPECT_FALSE(a->hasItem);
    // ...but are folders with their path, so their rows are found and entered.
    EXPECT_TRUE(a->isFolder());
    EXPECT_TRUE(b->fullPath.empty());
    EXPECT_EQ(c->size, "1234567");
    EXPECT_EQ(c->fullPath, "a\\b\\c.txt");

    catalog.EnterFolder("");
    ASSERT_EQ(catalog.RowCount(), 2);
    const ItemRow row = catalog.RowAt(1);
    EXPECT_EQ(row.name, L"a");
    EXPECT_EQ(row.fullPath, L"a");
    EXPECT_EQ(row.attributes, 16u);
    EXPECT_EQ(row.type, L"Folder");
    EXPECT_TRUE(row.size.empty());
    EXPECT_TRUE(row.modified.empty());

    catalog.EnterFolder("a");
    EXPECT_EQ(catalog.RowAt(1).fullPath, L"a\\b");
    catalog.EnterFolder("a\\b");
    ASSERT_EQ(catalog.RowCount(), 2);
    const ItemRow file = catalog.RowAt(1);
    EXPECT_EQ(file.name, L"c.txt");
    EXPECT_EQ(file.fullPath, L"a\\b\\c.txt");
    EXPECT_EQ(file.size, L"1,234,567");
    EXPECT_EQ(file.packedSize, L"7");
    EXPECT_EQ(file.attributes, 0u);
    EXPECT_NE(file.modified.find(L"2011"), std::wstring::npos) << std::string(file.modified.begin(), file.modified.end());
    EXPECT_EQ(catalog.DisplayPath(), L"C:\\in\\x.zip\\a\\b");
}

TEST_F(CatalogTree, NamesDifferingInCaseAreSiblingsAndDuplicatesMerge) {
    catalog.BuildTree(Listing({Item(L"Docs\\x"), Item(L"docs\\y"), Item(L"d.txt", 0x20, L"1"),
                               Item(L"d.txt", 0x20, L"2222"), Item(L"Docs", 16)}));
    catalog.EnterFolder("");
    EXPECT_EQ(RowNames(catalog), (std::vector<std::wstring>{L"..", L"Docs", L"docs", L"d.txt"}));
    // The later of two items with the same path wins.
    EXPECT_EQ(catalog.RowAt(3).size, L"2,222");
    // A folder named by an item keeps its children.
    catalog.EnterFolder("Docs");
    EXPECT_EQ(RowNames(catalog), (std::vector<std::wstring>{L"..", L"x"}));
    catalog.EnterFolder("docs");
    EXPECT_EQ(RowNames(catalog), (std::vector<std::wstring>{L"..", L"y"}));
}

TEST_F(CatalogTree, FindNodeCreatesOnlyWhenAskedAndKeepsEmptyComponents) {
    EXPECT_EQ(catalog.FindNode("", false), &catalog.root);
    EXPECT_EQ(catalog.FindNode("p\\q", false), nullptr);
    FolderNode* q = catalog.FindNode("p\\q", true);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(catalog.FindNode("p\\q", false), q);
    // Two adjacent backslashes and a trailing one give empty components.
    FolderNode* odd = catalog.FindNode("p\\\\r\\", true);
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->name, "");
    EXPECT_NE(catalog.FindNode("p\\", false), nullptr);
    EXPECT_EQ(catalog.root.children.size(), 1u);
    // An empty item path names the root itself.
    catalog.BuildTree(Listing({Item(L"", 0x20, L"5")}));
    EXPECT_EQ(catalog.root.size, "5");
}

TEST_F(CatalogTree, NavigateToAndRowAtBounds) {
    catalog.BuildTree(Listing({Item(L"docs\\old\\a.txt"), Item(L"b.txt")}));
    EXPECT_EQ(catalog.NavigateTo(L"C:\\in\\x.zip\\docs\\old"), 2);
    EXPECT_EQ(catalog.currentFolder, "docs\\old");
    // A folder that does not exist changes nothing.
    EXPECT_EQ(catalog.NavigateTo(L"C:\\in\\x.zip\\nothing"), 2);
    EXPECT_EQ(catalog.currentFolder, "docs\\old");
    // A file is not a folder to navigate to.
    catalog.NavigateTo(L"C:\\in\\x.zip\\b.txt");
    EXPECT_EQ(catalog.currentFolder, "docs\\old");
    // Not longer than the archive path: the root. The separator is skipped unread.
    EXPECT_EQ(catalog.NavigateTo(L"C:\\in\\x.zip"), 3);
    EXPECT_EQ(catalog.currentFolder, "");
    EXPECT_EQ(catalog.NavigateTo(L"C:\\in\\x.zip/docs"), 2);
    EXPECT_EQ(catalog.currentFolder, "docs");
    EXPECT_EQ(catalog.NavigateTo(L""), 3);

    EXPECT_TRUE(catalog.RowAt(-1).name.empty());
    EXPECT_TRUE(catalog.RowAt(catalog.RowCount()).name.empty());
    EXPECT_TRUE(catalog.RowAt(1 << 30).name.empty());
    EXPECT_EQ(catalog.RowAt(catalog.RowCount() - 1).name, L"b.txt");
}

TEST_F(CatalogTree, ReenteringAVanishedFolderShowsTheRoot) {
    catalog.BuildTree(Listing({Item(L"docs\\a.txt"), Item(L"b.txt")}));
    catalog.EnterFolder("docs");
    catalog.ClearRows();
    catalog.ClearTree();
    EXPECT_EQ(catalog.RowCount(), 0);
    catalog.BuildTree(Listing({Item(L"b.txt")}));
    catalog.EnterFolder("docs");
    EXPECT_EQ(catalog.currentFolder, "");
    EXPECT_EQ(RowNames(catalog), (std::vector<std::wstring>{L"..", L"b.txt"}));
}

TEST_F(CatalogTree, BadTextsGiveEmptyOrReplacedTextsNotFailures) {
    catalog.BuildTree(Listing({Item(L"a.txt", 0x20, L"", L"2011/03/04", L"05:06:07"),
                               Item(L"b.txt", 0x20, L"12", L"2011-03-04-05", L"05:06"),
                               Item(std::wstring(L"bad") + wchar_t(0xD800) + L".txt")}));
    catalog.EnterFolder("");
    ASSERT_EQ(catalog.RowCount(), 4);
    EXPECT_TRUE(catalog.RowAt(1).size.empty());
    EXPECT_TRUE(catalog.RowAt(1).modified.empty());
    EXPECT_TRUE(catalog.RowAt(2).modified.empty());
    // A name that is not valid Unicode is still listed, with a replacement character.
    EXPECT_EQ(catalog.RowAt(3).name, std::wstring(L"bad") + wchar_t(0xFFFD) + L".txt");
}

TEST_F(CatalogTree, WideFolderKeepsCreationOrderAndFindsTheFirstOfEqualNames) {
    std::vector<ArchiveItem> items;
    for (int i = 0; i < 20000; ++i) items.push_back(Item(L"wide\\f" + std::to_wstring(19999 - i) + L".dat"));
    catalog.BuildTree(Listing(std::move(items)));
    FolderNode* wide = catalog.FindNode("wide", false);
    ASSERT_NE(wide, nullptr);
    ASSERT_EQ(wide->children.size(), 20000u);
    EXPECT_EQ(wide->children.front()->name, "f19999.dat");
    EXPECT_EQ(wide->children.back()->name, "f0.dat");
    EXPECT_EQ(catalog.FindNode("wide\\f12345.dat", false), wide->children[19999 - 12345].get());
    // A child appended directly with a name already present is found second, never first.
    FolderNode* again = wide->addChild("f5.dat");
    EXPECT_NE(wide->findChild("f5.dat"), again);
    EXPECT_EQ(wide->findChild("f5.dat"), wide->children[19999 - 5].get());
    wide->clearChildren();
    EXPECT_EQ(wide->findChild("f5.dat"), nullptr);
}

TEST_F(CatalogTree, VeryDeepPathIsBuiltAndFreedWithoutExhaustingTheStack) {
    std::wstring deep;
    for (int i = 0; i < 100000; ++i) deep += L"d\\";
    deep += L"leaf.txt";
    catalog.BuildTree(Listing({Item(deep)}));
    EXPECT_NE(catalog.FindNode(std::string(deep.begin(), deep.end()), false), nullptr);
    catalog.ClearTree();
    EXPECT_TRUE(catalog.root.children.empty());
    // And once more, freed by the catalogue's own end.
    auto other = std::make_unique<ItemCatalog>();
    other->BuildTree(Listing({Item(deep)}));
    other.reset();
}

TEST_F(CatalogTree, BuildTreeReportsProgressPerItem) {
    ProgressCounters progress;
    catalog.BuildTree(Listing({Item(L"a"), Item(L"b"), Item(L"c")}), &progress);
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
    catalog->BuildTree(Listing({Item(L"a\\b")}));
    catalog->EnterFolder("a");

    DestroyCatalog();
    EXPECT_FALSE(CatalogExists());
    EXPECT_EQ(GetFileAttributesW(temp.c_str()), INVALID_FILE_ATTRIBUTES);
    ItemCatalog* fresh = GetCatalog();
    EXPECT_EQ(fresh->RowCount(), 0);
    EXPECT_TRUE(fresh->currentFolder.empty());
    DestroyCatalog();
}

}  // namespace
