// Renaming entries and making folders inside .zip, .7z and .tar archives with the real archiver:
// exactly the names typed, or the archive stays as it was.
#include "catalog/item_catalog.h"
#include "ops/edited_entries.h"
#include "ops_test_util.h"

using namespace opstest;

namespace {

const Tree kTree = {{L"docs\\a.txt", "alpha"}, {L"docs\\sub\\b.txt", "bravo"}, {L"Top.txt", "top"},
                    {L"-x", "dash"},           {L"@x", "at"},                  {L"keep.txt", "keep"}};

void RenameAndMakeFolders(const std::wstring& archive) {
    PackTree(archive, kTree);
    ItemCatalog catalog;
    AppDialogs dialogs;
    Told told;
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());

    // Names the archiver would read as switches or list files, and a change of case only.
    EXPECT_TRUE(told(RenameEntry(catalog, L"-x", L"@y")).done());
    EXPECT_TRUE(told(RenameEntry(catalog, L"@x", L"-z")).done());
    EXPECT_TRUE(told(RenameEntry(catalog, L"docs", L"Docs")).done());
    catalog.EnterFolder(L"Docs");
    const std::wstring unusual = L"\u00e4 100% & ! ^ \u6587 \U0001F600.txt";
    EXPECT_TRUE(told(RenameEntry(catalog, L"a.txt", unusual)).done());
    EXPECT_EQ(catalog.currentFolder, L"Docs") << "the reload stays in the folder";
    EXPECT_TRUE(told(AddNewFolder(catalog, L"New folder")).done());
    EXPECT_TRUE(told.messages().empty()) << told.messages().front();
    EXPECT_EQ(EntriesOf(archive), (std::vector<std::wstring>{L"-z", L"@y", L"Docs\\", L"Docs\\New folder\\",
                                                             L"Docs\\sub\\", L"Docs\\sub\\b.txt",
                                                             L"Docs\\" + unusual, L"Top.txt", L"keep.txt"}));
    EXPECT_EQ(ContentsOf(archive).at(L"Docs\\" + unusual), "alpha");

    // Refused before anything runs: the archive keeps every byte.
    const std::string before = ReadFileBytes(archive);
    catalog.EnterFolder(L"");
    for (const wchar_t* refused : {L"a\"b", L"trailing.", L"trailing ", L"..", L"a\\b", L"KEEP.TXT", L""}) {
        const OperationOutcome outcome = RenameEntry(catalog, L"Top.txt", refused);
        EXPECT_EQ(outcome.result, OperationResult::Failed) << Narrow(refused);
    }
    EXPECT_EQ(AddNewFolder(catalog, L"docs").result, OperationResult::Failed) << "taken, whatever the case";
    // The archiver cannot replace a read-only archive: it is told, and nothing changes.
    SetFileAttributesW(archive.c_str(), FILE_ATTRIBUTE_READONLY);
    const OperationOutcome failed = RenameEntry(catalog, L"Top.txt", L"Other.txt");
    SetFileAttributesW(archive.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(failed.result, OperationResult::Failed);
    EXPECT_EQ(ReadFileBytes(archive), before);
}

}  // namespace

TEST(RenameEntry, ExactNamesInAZip) {
    TempDir work(L"ren");
    RenameAndMakeFolders(work / L"x.zip");
}

TEST(RenameEntry, ExactNamesInA7z) {
    TempDir work(L"ren");
    RenameAndMakeFolders(work / L"x.7z");
}

// Any archive the archiver updates in place, not only the two the program names by extension.
TEST(RenameEntry, ExactNamesInATar) {
    TempDir work(L"ren");
    RenameAndMakeFolders(work / L"x.tar");
}

// A saved copy replaces its entry only while the archive holds the entry as it was opened.
TEST(EditedEntry, ASavedCopyReplacesOnlyTheEntryItWasOpenedFrom) {
    TempDir work(L"edit");
    const std::wstring archive = work / L"x.7z";
    PackTree(archive, kTree, L"-psecret");
    OpenedEntry entry;
    entry.archivePath = archive;
    entry.entryPath = L"docs\\sub\\b.txt";
    entry.folder = work / L"copy";
    entry.file = entry.folder + L"\\b.txt";
    entry.password = L"secret";
    WriteFileBytes(entry.file, "bravo");
    entry.openedDigest = CopyDigest(entry.file);
    ASSERT_TRUE(ReadFileStamp(entry.file, entry.size, entry.written));
    EXPECT_FALSE(OpenedEntryChanged(entry));
    WriteFileBytes(entry.file, "bravo, edited and longer");
    ASSERT_TRUE(OpenedEntryChanged(entry));
    AppDialogs dialogs;
    WriteBackCheck check = CheckWriteBack(entry);
    ASSERT_EQ(check.state, WriteBack::Replace);
    EXPECT_TRUE(UpdateOpenedEntry(entry, check).done());
    Tree expected = kTree;
    expected[L"docs\\sub\\b.txt"] = "bravo, edited and longer";
    EXPECT_EQ(ContentsOf(archive, L"secret"), expected);
    EXPECT_EQ(dialogs.passwordPrompts(), 0) << "the archive's password is known";

    // Another program puts its own b.txt there meanwhile: the copy goes beside it, never over it.
    entry.openedDigest = CopyDigest(entry.file);
    MakeTree(work / L"other", {{L"docs\\sub\\b.txt", "their version"}});
    Run7z(L"a -psecret " + Quote(archive) + L" docs", work / L"other");
    WriteFileBytes(entry.file, "my second edit");
    check = CheckWriteBack(entry);
    ASSERT_EQ(check.state, WriteBack::EntryChanged);
    EXPECT_EQ(check.besideName, L"docs\\sub\\b (2).txt");
    EXPECT_NE(WriteBackQuestion(entry, check).find(L"another program changed"), std::wstring::npos);
    WriteBackCheck stale{WriteBack::Replace, {}, {}};
    EXPECT_EQ(UpdateOpenedEntry(entry, stale).result, OperationResult::Failed) << "the user agreed to another state";
    EXPECT_TRUE(UpdateOpenedEntry(entry, check).done());
    expected[L"docs\\sub\\b.txt"] = "their version";
    expected[L"docs\\sub\\b (2).txt"] = "my second edit";
    EXPECT_EQ(ContentsOf(archive, L"secret"), expected);

    // The archive moved away: nothing new is made where it was.
    MoveFileW(archive.c_str(), (work / L"moved.7z").c_str());
    check = CheckWriteBack(entry);
    EXPECT_EQ(check.state, WriteBack::ArchiveGone);
    EXPECT_NE(WriteBackQuestion(entry, check).find(L"save your copy elsewhere"), std::wstring::npos);
    EXPECT_EQ(UpdateOpenedEntry(entry, WriteBackCheck{WriteBack::Replace, {}, {}}).result, OperationResult::Failed);
    EXPECT_FALSE(PathExists(archive));

    // Archives the archiver cannot update: the copy is offered elsewhere, the archive untouched.
    Run7z(L"a -ttar " + Quote(work / L"t.tar") + L" docs", work / L"other");
    Run7z(L"a -tgzip " + Quote(work / L"t.tar.gz") + L" " + Quote(work / L"t.tar"));
    Run7z(L"a -v1k -psecret " + Quote(work / L"y.7z") + L" docs", work / L"other");
    for (const wchar_t* name : {L"t.tar.gz", L"y.7z.001"}) {
        entry.archivePath = work / name;
        check = CheckWriteBack(entry);
        EXPECT_EQ(check.state, WriteBack::NotUpdatable) << Narrow(name);
    }
    EXPECT_EQ(UpdateOpenedEntry(entry, check).result, OperationResult::Unsupported);
    EXPECT_EQ(ContentsOf(work / L"y.7z.001", L"secret"), (Tree{{L"docs\\sub\\b.txt", "their version"}}));
}
