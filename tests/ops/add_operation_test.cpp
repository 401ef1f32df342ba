// Adding files and folders with the real archiver, at the root and inside a folder.
#include <thread>

#include "catalog/item_catalog.h"
#include "ops/progress.h"
#include "ops/temp_workspace.h"
#include "ops_test_util.h"

using namespace opstest;

namespace {

const std::wstring kOddName = L"%OS% !x! ^&() ';,= caf\u00e9 \u6587 \U0001F600.txt";

// Files to add: a plain file, one with an odd name, and a folder with a nested folder.
Tree SourceTree() {
    return {{L"plain.txt", "plain"},
            {kOddName, "odd"},
            {L"folder\\one.txt", "1"},
            {L"folder\\inner\\two.txt", "2"},
            {L"folder\\inner\\-three.txt", "3"}};
}

std::vector<std::wstring> SourcePaths(const TempDir& source) {
    return {source / L"plain.txt", source / kOddName, source / L"folder"};
}

// What the archive holds after the source was added below `prefix` ("" or "docs\\old\\").
Tree Added(const std::wstring& prefix) {
    Tree tree;
    for (const auto& [path, content] : SourceTree()) tree[prefix + path] = content;
    return tree;
}

void AddAtRootIntoNewArchive(const std::wstring& extension, const std::wstring& password) {
    TempDir source(L"src"), work(L"add");
    MakeTree(source.path(), SourceTree());
    const std::wstring archive = work / (L"new" + extension);
    AppDialogs dialogs;
    Told told;
    ProgressSeen seen;
    ItemCatalog catalog;
    told(AddFilesToArchive(catalog, archive, SourcePaths(source), password));
    EXPECT_NE(told.last(), OperationResult::Cancelled);
    EXPECT_TRUE(told.messages().empty());
    EXPECT_EQ(dialogs.passwordPrompts(), 0);
    // Every file counted: the folder by its files.
    EXPECT_EQ(seen.total(L"Add Files"), 5u);
    EXPECT_EQ(seen.completed(L"Add Files"), 5u);
    EXPECT_EQ(ContentsOf(archive, password), Added(L""));
    if (!password.empty()) {
        EXPECT_NE(ContentsOf(archive, L"wrong"), Added(L""));
    }
}

void AddInsideAFolder(const std::wstring& extension, const std::wstring& password) {
    TempDir source(L"src"), work(L"add");
    MakeTree(source.path(), SourceTree());
    const std::wstring archive = work / (L"old" + extension);
    const std::wstring switches = password.empty() ? L"" : Quote(L"-p" + password);
    PackTree(archive, {{L"docs\\old\\kept.txt", "kept"}, {L"top.txt", "top"}}, switches);
    AppDialogs dialogs(password);
    Told told;
    ProgressSeen seen;
    ItemCatalog catalog;
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    // Content encrypted, item list not: the password is known only once typed, so type it.
    catalog.password = password;
    catalog.EnterFolder(L"docs\\old");
    ASSERT_EQ(catalog.currentFolder, L"docs\\old");
    told(AddFiles(catalog, SourcePaths(source)));
    EXPECT_TRUE(told.messages().empty());
    EXPECT_EQ(dialogs.passwordPrompts(), 0);
    EXPECT_EQ(seen.total(L"Add Files"), 5u);
    EXPECT_EQ(seen.completed(L"Add Files"), 5u);
    Tree expected = Added(L"docs\\old\\");
    expected[L"docs\\old\\kept.txt"] = "kept";
    expected[L"top.txt"] = "top";
    EXPECT_EQ(ContentsOf(archive, password), expected);
    // The view reloads afterwards and finds the files in the same folder.
    told(ReloadArchive(catalog));
    EXPECT_EQ(catalog.currentFolder, L"docs\\old");
    EXPECT_EQ(catalog.RowCount(), 5);
}

}  // namespace

TEST(AddFiles, AtTheRootIntoANewZip) { AddAtRootIntoNewArchive(L".zip", L""); }
TEST(AddFiles, AtTheRootIntoANew7z) { AddAtRootIntoNewArchive(L".7z", L""); }
// The zip format takes ASCII passwords only (see below).
TEST(AddFiles, AtTheRootIntoANewZipWithPassword) { AddAtRootIntoNewArchive(L".zip", L"p@ss w0rd!%^&x"); }
TEST(AddFiles, AtTheRootIntoANew7zWithPassword) { AddAtRootIntoNewArchive(L".7z", L"p\u00e4ss w\u00f6rd"); }
TEST(AddFiles, InsideAFolderOfAZip) { AddInsideAFolder(L".zip", L""); }
TEST(AddFiles, InsideAFolderOfA7z) { AddInsideAFolder(L".7z", L""); }
TEST(AddFiles, InsideAFolderOfAZipWithPassword) { AddInsideAFolder(L".zip", L"secret"); }
TEST(AddFiles, InsideAFolderOfA7zWithPassword) { AddInsideAFolder(L".7z", L"secret"); }

TEST(AddFiles, IntoA7zWithEncryptedItemListAnswersTheArchiverWithTheKnownPassword) {
    TempDir source(L"src"), work(L"add");
    MakeTree(source.path(), {{L"new.txt", "new"}});
    const std::wstring archive = work / L"h.7z";
    PackTree(archive, {{L"old.txt", "old"}}, L"-psecret -mhe=on");
    AppDialogs dialogs(L"secret");
    Told told;
    ItemCatalog catalog;
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    ASSERT_EQ(dialogs.passwordPrompts(), 1);
    told(AddFiles(catalog, {source / L"new.txt"}));
    EXPECT_EQ(dialogs.passwordPrompts(), 1) << "the archiver's prompt is answered without asking again";
    EXPECT_TRUE(told.messages().empty());
    EXPECT_EQ(ContentsOf(archive, L"secret"), (Tree{{L"new.txt", "new"}, {L"old.txt", "old"}}));
    EXPECT_TRUE(EntriesOf(archive).empty()) << "the item list stays encrypted";
    told(ReloadArchive(catalog));
    EXPECT_EQ(dialogs.passwordPrompts(), 1) << "the reload opens with the known password";
    EXPECT_EQ(catalog.RowCount(), 3);
}

TEST(AddFiles, PasswordIsNeitherOnDiskNorOnTheArchiversCommandLine) {
    TempDir source(L"src"), work(L"add");
    const std::string big = IncompressibleBytes(60u << 20, 3);
    MakeTree(source.path(), {{L"big.bin", big}, {L"small.txt", "small"}});
    const std::wstring archive = work / L"secret.7z";
    PackTree(archive, {{L"docs\\x.txt", "x"}});
    const std::wstring password = L"Pw-9f3Kq-unique";

    ItemCatalog catalog;
    Told told;
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    catalog.password = password;
    catalog.EnterFolder(L"docs");  // staged in the temporary base

    std::atomic<bool> done{false};
    std::vector<std::wstring> commandLines;
    std::vector<std::wstring> filesWithPassword;
    const std::string needle8 = Narrow(password);
    const std::string needle16(reinterpret_cast<const char*>(password.data()), password.size() * sizeof(wchar_t));
    auto scanTemp = [&] {
        const std::wstring base = TempBase();
        for (const std::wstring& file : ListFilesRecursive(base)) {
            const std::string bytes = ReadFileBytes(base + L"\\" + file);
            if (bytes.find(needle8) != std::string::npos || bytes.find(needle16) != std::string::npos)
                filesWithPassword.push_back(file);
        }
    };
    std::thread watcher([&] {
        // Looks at the archivers that run, and at the temporary base while the first one does.
        WaitUntil(
            [&] {
                for (DWORD pid : ProcessesNamed(L"7z.exe")) {
                    const std::wstring line = ProcessCommandLine(pid);
                    if (!line.empty() && std::find(commandLines.begin(), commandLines.end(), line) == commandLines.end())
                        commandLines.push_back(line);
                }
                if (commandLines.size() == 1) scanTemp();
                return done.load();
            },
            INFINITE);
    });
    told(AddFiles(catalog, {source / L"big.bin", source / L"small.txt"}));
    done = true;
    watcher.join();
    scanTemp();

    ASSERT_FALSE(commandLines.empty()) << "the archiver was not seen running";
    for (const std::wstring& line : commandLines) {
        EXPECT_EQ(line.find(password), std::wstring::npos) << Narrow(line);
        EXPECT_NE(line.find(L" -p "), std::wstring::npos) << Narrow(line);
    }
    EXPECT_TRUE(filesWithPassword.empty()) << Narrow(filesWithPassword.front());
    const Tree contents = ContentsOf(archive, password);
    EXPECT_EQ(contents.count(L"docs\\big.bin"), 1u);
    EXPECT_EQ(contents.at(L"docs\\small.txt"), "small");
}

TEST(AddFiles, ReadOnlyLockedOrHeldArchiveIsReportedAndKeptIntact) {
    TempDir source(L"src"), work(L"add");
    MakeTree(source.path(), {{L"new.txt", "new"}});
    const std::wstring archive = work / L"kept.zip";
    PackTree(archive, {{L"old.txt", "old"}});
    const std::string before = ReadFileBytes(archive);
    const std::wstring unchanged = L"\nThe archive was not changed.";
    const std::wstring inUse = L"Could not update kept.zip: the archive is in use by another program." + unchanged;
    ItemCatalog catalog;
    Told told;
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    {
        AppDialogs dialogs;
        Told told;
        SetFileAttributesW(archive.c_str(), FILE_ATTRIBUTE_READONLY);
        told(AddFiles(catalog, {source / L"new.txt"}));
        SetFileAttributesW(archive.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(told.messages(),
                  (std::vector<std::wstring>{L"Could not update kept.zip: the archive is read-only." + unchanged}));
    }
    EXPECT_EQ(ReadFileBytes(archive), before);
    {
        AppDialogs dialogs;
        Told told;
        HANDLE lock = CreateFileW(archive.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        told(AddFiles(catalog, {source / L"new.txt"}));
        told(DeleteEntries(catalog, {L"old.txt"}));
        CloseHandle(lock);
        // The delete's reload cannot read the held archive either, and says so.
        EXPECT_EQ(told.messages(),
                  (std::vector<std::wstring>{inUse, inUse, L"Couldn't open the file.\nThe file kept.zip could not be "
                                                           L"read: the file is in use."}));
    }
    EXPECT_EQ(ReadFileBytes(archive), before);
    EXPECT_TRUE(ListFilesRecursive(work.path()) == std::vector<std::wstring>{L"kept.zip"})
        << "no work file of the archiver is left";
    {
        // Held by a program that lets others delete it: the archive must not vanish with that
        // program's handle. It is replaced, or it stays as it was and the user is told.
        AppDialogs dialogs;
        Told told;
        HANDLE holder = CreateFileW(archive.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        told(AddFiles(catalog, {source / L"new.txt"}));
        CloseHandle(holder);
        const bool replaced = ReadFileBytes(archive) != before;
        EXPECT_EQ(told.messages(), replaced ? std::vector<std::wstring>{} : std::vector<std::wstring>{inUse});
    }
    const Tree contents = ContentsOf(archive);
    EXPECT_TRUE(contents == (Tree{{L"old.txt", "old"}}) ||
                contents == (Tree{{L"new.txt", "new"}, {L"old.txt", "old"}}));
    EXPECT_EQ(ListFilesRecursive(work.path()), std::vector<std::wstring>{L"kept.zip"});
}

TEST(AddFiles, ZipWithANonAsciiPasswordIsReportedNotLeftHalfMade) {
    TempDir source(L"src"), work(L"add");
    MakeTree(source.path(), {{L"a.txt", "a"}});
    AppDialogs dialogs;
    Told told;
    ItemCatalog catalog;
    told(AddFilesToArchive(catalog, work / L"new.zip", {source / L"a.txt"}, L"p\u00e4ss"));
    EXPECT_EQ(told.messages(),
              (std::vector<std::wstring>{L"Could not update new.zip: a .zip archive takes only printable ASCII "
                                         L"characters in its password.\nNo archive was made."}));
    EXPECT_NE(told.last(), OperationResult::Cancelled);
    EXPECT_TRUE(ListFilesRecursive(work.path()).empty());
}

TEST(AddFiles, RarArchivesAreNotChanged) {
    TempDir source(L"src"), work(L"add");
    MakeTree(source.path(), {{L"new.txt", "new"}});
    const std::wstring archive = work / L"x.rar";
    const std::string bytes = "Rar!\x1a\x07\x01\x00 some archive bytes";
    WriteFileBytes(archive, bytes);
    AppDialogs dialogs;
    Told told;
    ItemCatalog catalog;
    catalog.archivePath = archive;
    EXPECT_EQ(told(AddFiles(catalog, {source / L"new.txt"})).result, OperationResult::Unsupported);
    EXPECT_EQ(told(DeleteEntries(catalog, {L"a.txt"})).result, OperationResult::Unsupported);
    told(AddFilesToArchive(catalog, work / L"other.rar", {source / L"new.txt"}, L""));
    EXPECT_EQ(told.messages(),
              (std::vector<std::wstring>{L"Operation is not supported.", L"Operation is not supported.",
                                         L"Operation is not supported."}));
    EXPECT_EQ(ReadFileBytes(archive), bytes);
    EXPECT_FALSE(PathExists(work / L"other.rar"));
}

TEST(AddFiles, CancelEndsALongAddAndLeavesTheArchiveAsItWas) {
    TempDir source(L"src"), work(L"add");
    MakeTree(source.path(), {{L"big.bin", IncompressibleBytes(200u << 20, 11)}, {L"later.txt", "later"}});
    const std::wstring archive = work / L"kept.7z";
    PackTree(archive, {{L"old.txt", "old"}});
    const std::string before = ReadFileBytes(archive);

    AppDialogs dialogs;

    Told told;
    ItemCatalog catalog;
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    {
        ProgressCanceller cancel(L"Add Files", 1500);
        told(AddFiles(catalog, {source / L"big.bin", source / L"later.txt"}));
        EXPECT_TRUE(cancel.pressed());
    }
    EXPECT_EQ(told.last(), OperationResult::Cancelled);
    EXPECT_TRUE(told.messages().empty());
    EXPECT_TRUE(ProcessesNamed(L"7z.exe").empty());
    EXPECT_EQ(ReadFileBytes(archive), before);
    EXPECT_EQ(ListFilesRecursive(work.path()), std::vector<std::wstring>{L"kept.7z"});

    // A new archive that a cancelled add was writing is not left behind half-written.
    {
        ProgressCanceller cancel(L"Add Files", 1500);
        ItemCatalog fresh;
        told(AddFilesToArchive(fresh, work / L"new.7z", {source / L"big.bin"}, L""));
        EXPECT_EQ(told.last(), OperationResult::Cancelled);
    }
    EXPECT_EQ(ListFilesRecursive(work.path()), std::vector<std::wstring>{L"kept.7z"});
}

TEST(AddFiles, ManyFilesFromSeveralFoldersAtTheRootLaterSameNameWins) {
    TempDir source(L"src"), work(L"many");
    Tree tree;
    std::vector<std::wstring> paths;
    for (int i = 0; i < 400; ++i) {
        const std::wstring name = L"file" + std::to_wstring(i) + L".txt";
        tree[L"a\\" + name] = std::string("a").append(std::to_string(i));
        paths.push_back(source / (L"a\\" + name));
    }
    tree[L"b\\file7.txt"] = "from b";
    paths.push_back(source / L"b\\file7.txt");
    MakeTree(source.path(), tree);
    AppDialogs dialogs;
    Told told;
    ProgressSeen seen;
    ItemCatalog catalog;
    told(AddFilesToArchive(catalog, work / L"many.zip", paths, L""));
    EXPECT_TRUE(told.messages().empty());
    EXPECT_EQ(seen.completed(L"Add Files"), 401u);
    const Tree contents = ContentsOf(work / L"many.zip");
    ASSERT_EQ(contents.size(), 400u);
    EXPECT_EQ(contents.at(L"file7.txt"), "from b");  // as if each path had been added in turn
    EXPECT_EQ(contents.at(L"file399.txt"), "a399");
}

TEST(AddFiles, EveryItemOfAFolderIntoAnArchiveBesideThem) {
    TempDir work(L"whole");
    Tree tree = {{L"a.txt", "a"}, {L"-b.txt", "b"}, {L"@c.txt", "c"}, {L"sub\\d.txt", "d"}};
    MakeTree(work.path(), tree);
    WriteFileBytes(work / L"hidden.txt", "h");
    SetFileAttributesW((work / L"hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    tree[L"hidden.txt"] = "h";
    std::vector<std::wstring> paths;
    for (const wchar_t* name : {L"a.txt", L"-b.txt", L"@c.txt", L"sub", L"hidden.txt"}) paths.push_back(work / name);
    AppDialogs dialogs;
    Told told;
    ProgressSeen seen;
    ItemCatalog catalog;
    // The archive is written into the folder whose items are added: it must not add itself.
    told(AddFilesToArchive(catalog, work / L"whole.zip", paths, L""));
    EXPECT_TRUE(told.messages().empty());
    EXPECT_EQ(ContentsOf(work / L"whole.zip"), tree);
    EXPECT_EQ(seen.completed(L"Add Files"), 5u);
}
