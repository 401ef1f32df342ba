// Names matched by pattern, directly and over a tree built from the real archiver's listing.
#include <gtest/gtest.h>

#include "catalog/item_catalog.h"
#include "catalog/name_pattern.h"
#include "support/test_support.h"
#include "ui/archive_entries.h"  // the archiver's list of entries (tests/ui)

using namespace testsupport;

TEST(NamePattern, WildcardsCaseAndTextWithin) {
    struct Case {
        const wchar_t* pattern;
        const wchar_t* name;
        bool matches;
    };
    const Case cases[] = {
        {L"*.txt", L"Readme.TXT", true},     {L"*.txt", L"a.txt.bak", false},  {L"a?c", L"abc", true},
        {L"a?c", L"ac", false},              {L"a*b*c", L"aXXbYYc", true},     {L"a*b*c", L"aXXcYYb", false},
        {L"*", L"", true},                   {L"?", L"", false},               {L"read", L"thREADs.c", true},
        {L"read", L"rea", false},            {L"", L"x", false},               {L"**a", L"ba", true},
        // Beyond ASCII, case folds as Windows folds names; other letters stay apart.
        {L"\u00c9T\u00c9", L"\u00e9t\u00e9.doc", true}, {L"\u0416*", L"\u0436\u0443\u043a", true},
        {L"e", L"\u00e9", false},            {L"*\u6587", L"\u4e2d\u6587", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NamePattern(c.pattern).Matches(c.name), c.matches) << Narrow(c.pattern) << " / " << Narrow(c.name);
}

TEST(NamePattern, FindsEntriesDeepInTheTreeWithTheirFolders) {
    // 99,998 entries from the fixture script, listed by the engine into the catalogue; the
    // archiver's own wildcard filter tells which entries match.
    const std::wstring archive = BinDir() + L"\\..\\linux-archives\\many.zip";
    ItemCatalog catalog;
    ListingRun run;
    ASSERT_EQ(listArchive(archive, ArchiveKind::Zip, run, catalog.TreeBuilder()), 0);
    ASSERT_GT(catalog.tree.NodeCount(), 99998u);
    const std::vector<ArchiveTree::NodeId> found = FindInTree(catalog.tree, NamePattern(L"NEEDLE-\u00c9"));
    std::vector<std::wstring> paths;
    for (ArchiveTree::NodeId node : found)
        paths.push_back(FolderPathOf(catalog.tree, node) + L"\\" + std::wstring(catalog.tree[node].nameView()));
    std::sort(paths.begin(), paths.end());
    const std::vector<std::wstring> expected = ArchiveEntries(archive, L"", L"*needle-\u00e9*");
    EXPECT_EQ(expected.size(), 3u);
    EXPECT_EQ(paths, expected);
}
