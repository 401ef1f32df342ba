// The temporary workspace: tool path, fresh names, staging, copying and counting files.
#include "catalog/item_catalog.h"
#include "ops/temp_workspace.h"
#include "ops_test_util.h"

using namespace opstest;

TEST(Workspace, ToolPathAndFreshNames) {
    const std::wstring tool = ToolPath(L"7z.exe");
    EXPECT_EQ(tool, BinDir() + L"\\core\\7z.exe");
    EXPECT_TRUE(PathExists(tool));
    EXPECT_EQ(ToolPath(L""), BinDir() + L"\\core\\");

    const std::wstring base = TempBase();
    EXPECT_TRUE(IsFolder(base));
    EXPECT_EQ(base.substr(base.size() - 5), L"\\Temp");
    const std::wstring name = NewTempName(L"Tolvar");
    ASSERT_GT(name.size(), base.size() + 7);
    EXPECT_EQ(name.substr(0, base.size() + 7), base + L"\\Tolvar");
    const std::wstring digits = name.substr(base.size() + 7);
    EXPECT_EQ(digits.find_first_not_of(L"-0123456789"), std::wstring::npos) << Narrow(digits);
    EXPECT_FALSE(PathExists(name));  // nothing is created under the name

    // Fresh folders are new and empty even when taken within one tick.
    const std::wstring first = CreateFreshTempFolder(L"Tolvar");
    const std::wstring second = CreateFreshTempFolder(L"Tolvar");
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
    EXPECT_TRUE(ListFilesRecursive(second).empty());
    EXPECT_TRUE(RemoveFolderTree(first));
    EXPECT_TRUE(RemoveFolderTree(second));
    EXPECT_FALSE(PathExists(first));
}

TEST(Workspace, StageFilesMirrorsTheArchiveFolderAndCopiesFilesAndFolders) {
    TempDir source(L"src"), temp(L"stage");
    MakeTree(source.path(), {{L"one.txt", "1"},
                             {L"pics\\a.bmp", "a"},
                             {L"pics\\deep\\b.bmp", "b"},
                             {L"pics\\empty\\", ""},
                             {L"caf\u00e9 \u6587 \U0001F600 %x% !y! ^&.txt", "odd"}});
    const std::wstring stage = temp / L"Tolvar1";
    const StageResult result =
        StageFiles(stage, L"docs\\old",
                   {source / L"one.txt", source / L"pics\\", source / L"caf\u00e9 \u6587 \U0001F600 %x% !y! ^&.txt",
                    source / L"missing.txt"});
    EXPECT_EQ(result.copied, 4);
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(ListFilesRecursive(stage),
              (std::vector<std::wstring>{L"docs\\old\\caf\u00e9 \u6587 \U0001F600 %x% !y! ^&.txt", L"docs\\old\\one.txt",
                                         L"docs\\old\\pics\\a.bmp", L"docs\\old\\pics\\deep\\b.bmp"}));
    EXPECT_TRUE(IsFolder(stage + L"\\docs\\old\\pics\\empty"));
    EXPECT_EQ(ReadFileBytes(stage + L"\\docs\\old\\pics\\deep\\b.bmp"), "b");

    // At the archive's root the files go straight into the folder.
    const std::wstring flat = temp / L"Tolvar2";
    EXPECT_EQ(StageFiles(flat, L"", {source / L"one.txt"}).copied, 1);
    EXPECT_EQ(ListFilesRecursive(flat), (std::vector<std::wstring>{L"one.txt"}));
    // A dot name never climbs out of the staging folder.
    const StageResult dots = StageFiles(temp / L"Tolvar3", L"x", {source / L"pics\\.."});
    EXPECT_EQ(dots.copied, 0);
    EXPECT_EQ(dots.failed, 1);
}

TEST(Workspace, CopyFolderMergesWithTheLaterFilesWinningAndTheFilesAndTheirBytesAreCountedRecursively) {
    TempDir source(L"src"), target(L"dst");
    MakeTree(source.path(), {{L"a.txt", "new"}, {L"b.txt", "b"}, {L"sub\\c.txt", "c"}, {L"sub\\sub2\\d.txt", "d"}});
    MakeTree(target.path(), {{L"copy\\a.txt", "old"}, {L"copy\\kept.txt", "kept"}});
    EXPECT_EQ(CopyFolder(source.path(), target / L"copy"), 4);
    EXPECT_EQ(ReadFileBytes(target / L"copy\\a.txt"), "new");
    EXPECT_EQ(ReadFileBytes(target / L"copy\\kept.txt"), "kept");
    EXPECT_EQ(ReadFileBytes(target / L"copy\\sub\\sub2\\d.txt"), "d");
    EXPECT_EQ(CopyFolder(source / L"missing", target / L"none"), 0);

    EXPECT_EQ(CountFiles(source.path(), true), 4);
    EXPECT_EQ(CountFiles(source.path() + L"\\", false), 2);
    const FileTally tally = TallyFiles(source.path(), true);
    EXPECT_EQ(tally.files, 4u);
    EXPECT_EQ(tally.bytes, 6u);
    TempDir empty(L"empty");
    EXPECT_EQ(CountFiles(empty.path(), true), 0);
}

TEST(Workspace, RemoveTempFolderDeletesReadOnlyContentAndEmptiesTheField) {
    ItemCatalog catalog;
    catalog.tempFolder = CreateFreshTempFolder(L"Tolvar");
    ASSERT_FALSE(catalog.tempFolder.empty());
    const std::wstring folder = catalog.tempFolder;
    MakeTree(folder, {{L"a\\b\\c.txt", "c"}, {L"r.txt", "r"}});
    SetFileAttributesW((folder + L"\\r.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((folder + L"\\a\\b\\c.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    catalog.RemoveTempFolder();
    EXPECT_TRUE(catalog.tempFolder.empty());
    EXPECT_FALSE(PathExists(folder));
    catalog.RemoveTempFolder();  // nothing held: nothing happens
    EXPECT_TRUE(catalog.tempFolder.empty());
}
