// Names matched by pattern, directly and over a tree built from the real archiver's listing.
#include <gtest/gtest.h>

#include "catalog/item_catalog.h"
#include "catalog/name_pattern.h"
#include "support/test_support.h"

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
    const ProcessResult listed = Run7z(L"l -ba -slt -sccUTF-8 " + Quote(archive) + L" -r \"*needle-\u00e9*\"");
    std::vector<std::wstring> expected;
    const std::wstring text = Widen(listed.output);
    for (size_t pos = 0; (pos = text.find(L"Path = ", pos)) != std::wstring::npos;) {
        const size_t end = text.find_first_of(L"\r\n", pos);
        expected.push_back(text.substr(pos + 7, end - pos - 7));
        pos = end;
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected.size(), 3u);
    EXPECT_EQ(paths, expected);
}
