// Deleting entries with the real archiver: exactly the named entries, nothing else.
#include "catalog/item_catalog.h"
#include "ops_test_util.h"
#include "support/zip_writer.h"

using namespace opstest;

namespace {

// Entries whose names the archiver would read as wildcards, list files or switches.
const std::vector<std::wstring> kAllEntries = {L"-x", L"@x", L"a*.txt", L"ab.txt", L"docs\\", L"docs\\a.txt",
                                               L"docs\\sub\\", L"docs\\sub\\b.txt", L"keep.txt"};

void MakeHostileZip(const std::wstring& archive) {
    std::vector<ZipEntry> entries;
    for (const char* name : {"-x", "@x", "a*.txt", "ab.txt", "docs/", "docs/a.txt", "docs/sub/", "docs/sub/b.txt",
                             "keep.txt"}) {
        ZipEntry entry;
        entry.name = name;
        entry.data = name[std::string(name).size() - 1] == '/' ? "" : name;
        if (entry.data.empty()) entry.dosAttributes = 0x10;
        entries.push_back(entry);
    }
    WriteFileBytes(archive, MakeZip(entries));
}

void MakeHostile7z(const std::wstring& archive, const std::wstring& switches) {
    PackTree(archive, {{L"-x", "-x"}, {L"@x", "@x"}, {L"aSTAR.txt", "a*.txt"}, {L"ab.txt", "ab.txt"},
                       {L"docs\\a.txt", "docs/a.txt"}, {L"docs\\sub\\b.txt", "docs/sub/b.txt"},
                       {L"keep.txt", "keep.txt"}},
             switches);
    // No file system holds "a*.txt"; the archiver renames the entry inside the archive.
    std::wstring password;
    if (!switches.empty()) password = switches.substr(0, switches.find(L' '));  // "-p..." first
    const ProcessResult r = Run7z(L"rn -spd " + password + L" -- " + Quote(archive) + L" aSTAR.txt a*.txt");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
}

void DeleteExactly(const std::wstring& archive, const std::wstring& password) {
    ItemCatalog catalog;
    AppDialogs dialogs(password);
    Told told;
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    ASSERT_EQ(EntriesOf(archive, password), kAllEntries);
    told(DeleteEntries(catalog, {L"a*.txt", L"@x", L"-x"}));
    EXPECT_EQ(EntriesOf(archive, password),
              (std::vector<std::wstring>{L"ab.txt", L"docs\\", L"docs\\a.txt", L"docs\\sub\\", L"docs\\sub\\b.txt",
                                         L"keep.txt"}));
    // Inside a folder: the entry's path there.
    catalog.EnterFolder(L"docs");
    told(DeleteEntries(catalog, {L"a.txt"}));
    EXPECT_EQ(catalog.currentFolder, L"docs") << "the reload returns to the folder";
    EXPECT_EQ(EntriesOf(archive, password),
              (std::vector<std::wstring>{L"ab.txt", L"docs\\", L"docs\\sub\\", L"docs\\sub\\b.txt", L"keep.txt"}));
    // A folder goes with its content; the reload then shows the root.
    told(DeleteEntries(catalog, {L"sub"}));
    catalog.EnterFolder(L"");
    told(DeleteEntries(catalog, {L"docs"}));
    EXPECT_EQ(EntriesOf(archive, password), (std::vector<std::wstring>{L"ab.txt", L"keep.txt"}));
    EXPECT_EQ(catalog.RowCount(), 3);
    EXPECT_TRUE(told.messages().empty());
    EXPECT_EQ(ContentsOf(archive, password), (Tree{{L"ab.txt", "ab.txt"}, {L"keep.txt", "keep.txt"}}));
}

}  // namespace

TEST(DeleteEntries, ExactEntriesFromAZip) {
    TempDir work(L"del");
    MakeHostileZip(work / L"x.zip");
    DeleteExactly(work / L"x.zip", L"");
}

TEST(DeleteEntries, ExactEntriesFromA7z) {
    TempDir work(L"del");
    MakeHostile7z(work / L"x.7z", L"");
    DeleteExactly(work / L"x.7z", L"");
}

TEST(DeleteEntries, FromA7zWithEncryptedItemListTheKnownPasswordAnswersTheArchiver) {
    TempDir work(L"del");
    const std::wstring archive = work / L"h.7z";
    PackTree(archive, {{L"a.txt", "a"}, {L"b.txt", "b"}, {L"c.txt", "c"}}, L"-psecret -mhe=on");
    AppDialogs dialogs(L"secret");
    Told told;
    ItemCatalog catalog;
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    ASSERT_EQ(dialogs.passwordPrompts(), 1);
    told(DeleteEntries(catalog, {L"a.txt", L"c.txt"}));
    // The archiver and the reload are both answered with the known password.
    EXPECT_EQ(dialogs.passwordPrompts(), 1);
    EXPECT_TRUE(told.messages().empty());
    EXPECT_EQ(ContentsOf(archive, L"secret"), (Tree{{L"b.txt", "b"}}));
    EXPECT_TRUE(EntriesOf(archive).empty()) << "the item list stays encrypted";
    EXPECT_EQ(catalog.RowCount(), 2);
}

TEST(DeleteEntries, ARefusedPasswordStopsTheDeleteAndChangesNothing) {
    TempDir work(L"del");
    const std::wstring archive = work / L"h.7z";
    PackTree(archive, {{L"a.txt", "a"}, {L"b.txt", "b"}}, L"-psecret -mhe=on");
    const std::string before = ReadFileBytes(archive);
    ItemCatalog catalog;
    {
        AppDialogs dialogs(L"secret");
        Told told;
        ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    }
    catalog.password.clear();  // as if the password were not known
    AppDialogs refusing(L"", true);
    Told told;
    told(DeleteEntries(catalog, {L"a.txt", L"b.txt"}));
    EXPECT_EQ(refusing.passwordPrompts(), 2);  // the archiver's, then the reload's
    EXPECT_TRUE(told.messages().empty());
    EXPECT_EQ(ReadFileBytes(archive), before);
    EXPECT_EQ(ListFilesRecursive(work.path()), std::vector<std::wstring>{L"h.7z"});
}
