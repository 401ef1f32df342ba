// Updates that must never lose data: hostile names, a killed archiver, a cancelled delete,
// folders whose names Windows would change. The real archiver's listing is the oracle.
#include <thread>

#include "base/handles.h"
#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "ops/leftovers.h"
#include "ops/temp_workspace.h"
#include "ops/update_failure.h"
#include "ops/update_runs.h"
#include "ops_test_util.h"
#include "support/zip_writer.h"

using namespace opstest;

namespace {

// Names a file can carry, written through "\\?\" so that trailing dots and spaces stay.
const std::vector<std::wstring> kFileNames = {L"-dash.txt", L"@at.txt",  L"[br].txt", L" lead.txt",
                                              L"trail.txt ", L"dot.", L"%PATH% !x! ^ &.txt",
                                              L"\U0001F600 caf\u00e9.txt"};
// Names no file can carry: renamed inside the archive from s1, s2, ...
const std::vector<std::wstring> kEntryOnlyNames = {L"docs\"", L"a*b.txt", L"q?.txt", L"Dup.txt", L"DUP.TXT"};

void RoundTrip(const std::wstring& extension) {
    TempDir source(L"src"), work(L"names");
    std::vector<std::wstring> paths, expected = {L"docs\\", L"docs\\a.txt", L"docs\\b.txt", L"keep.txt"};
    // "unused.txt" stays behind, so that the names are handed over one by one.
    MakeTree(source.path(), {{L"docs\\a.txt", "a"}, {L"docs\\b.txt", "b"}, {L"keep.txt", "k"}, {L"unused.txt", ""}});
    paths = {source / L"docs", source / L"keep.txt"};
    for (const std::wstring& name : kFileNames) {
        WriteFileBytes(L"\\\\?\\" + (source / name), Narrow(name));
        paths.push_back(source / name);
    }
    std::string renames;
    for (size_t i = 0; i < kEntryOnlyNames.size(); ++i) {
        const std::wstring stand = L"s" + std::to_wstring(i);
        WriteFileBytes(source / stand, Narrow(kEntryOnlyNames[i]));
        paths.push_back(source / stand);
        for (const std::wstring& name : {stand, kEntryOnlyNames[i]})
            renames.append("\"").append(Narrow(name)).append("\"\n");
    }
    const std::wstring archive = work / (L"names" + extension);
    AppDialogs dialogs;
    Told told;
    ItemCatalog catalog;
    told(AddFilesToArchive(catalog, archive, paths, L""));
    WriteFileBytes(work / L"renames.txt", renames);
    ASSERT_EQ(Run7z(L"rn -scsUTF-8 " + Quote(archive) + L" @" + Quote(work / L"renames.txt")).exitCode, 0u);
    DeleteFileW((work / L"renames.txt").c_str());
    std::vector<std::wstring> hostile = kFileNames;
    hostile.insert(hostile.end(), kEntryOnlyNames.begin(), kEntryOnlyNames.end());
    expected.insert(expected.end(), hostile.begin(), hostile.end());
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(EntriesOf(archive), expected);
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    for (const std::wstring& name : hostile) {
        told(DeleteEntries(catalog, {name}));
        expected.erase(std::find(expected.begin(), expected.end(), name));
        EXPECT_EQ(EntriesOf(archive), expected) << "deleting " << Narrow(name);
    }
    EXPECT_TRUE(told.messages().empty());
    EXPECT_EQ(ListFilesRecursive(work.path()), std::vector<std::wstring>{L"names" + extension});
}

}  // namespace

TEST(ArchiveUpdate, HostileNamesAreAddedAndListedExactlyAndEachIsDeletedAlone) {
    RoundTrip(L".zip");
    RoundTrip(L".7z");
}

TEST(ArchiveUpdate, AnArchiverKilledFromOutsideIsReportedAndTheArchiveKept) {
    TempDir source(L"src"), work(L"kill");
    MakeTree(source.path(), {{L"big\\data.bin", IncompressibleBytes(100u << 20, 5)}});
    const std::wstring archive = work / L"base.7z";
    PackTree(archive, {{L"old.txt", "old"}});
    const std::string before = ReadFileBytes(archive);
    std::thread killer([&] {
        // Once the archiver writes, it is ended as "kill -9" ends it under Wine: exit code 0.
        std::vector<DWORD> ids;
        if (!WaitUntil([&] { return !(ids = ProcessesNamed(L"7z.exe")).empty() && ListFilesRecursive(work.path()).size() >= 2; },
                       kLongPatienceMs))
            return;
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, ids.front());
        TerminateProcess(process, 0);
        CloseHandle(process);
    });
    AppDialogs dialogs;
    Told told;
    ItemCatalog catalog;
    told(AddFilesToArchive(catalog, archive, {source / L"big"}, L""));
    killer.join();
    ASSERT_EQ(told.messages().size(), 1u);
    EXPECT_EQ(told.messages()[0],
              L"Could not update base.7z: the archiver ended before it had finished.\nThe archive was not changed.");
    EXPECT_EQ(ReadFileBytes(archive), before);
    EXPECT_EQ(ListFilesRecursive(work.path()), std::vector<std::wstring>{L"base.7z"});
}

TEST(ArchiveUpdate, DeleteRunsBehindAProgressWindowWhoseCancelKeepsTheArchive) {
    TempDir work(L"del");
    const std::wstring archive = work / L"solid.7z";
    PackTree(archive, {{L"big.bin", IncompressibleBytes(60u << 20, 7)}, {L"small.txt", "small"}}, L"-ms=on -mx1");
    const std::string before = ReadFileBytes(archive);
    AppDialogs dialogs;
    Told told;
    ItemCatalog catalog;
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    {
        ProgressCanceller cancel(L"Delete Files", 1000);
        told(DeleteEntries(catalog, {L"small.txt"}));
        EXPECT_TRUE(cancel.pressed());
    }
    EXPECT_TRUE(told.messages().empty());
    EXPECT_TRUE(ProcessesNamed(L"7z.exe").empty());
    EXPECT_EQ(ReadFileBytes(archive), before);
    EXPECT_EQ(ListFilesRecursive(work.path()), std::vector<std::wstring>{L"solid.7z"});
    EXPECT_EQ(catalog.RowCount(), 3);
}

TEST(ArchiveUpdate, AddsIntoFoldersEndingInADotOrSpaceAndOfSameNamedFoldersGoWhereTheyAtTheRootGo) {
    TempDir source(L"src"), work(L"add");
    MakeTree(source.path(), {{L"report.txt", "new"}, {L"one\\same\\a.txt", "1a"}, {L"one\\same\\b.txt", "1b"},
                             {L"two\\same\\b.txt", "2b"}, {L"two\\same\\c.txt", "2c"}});
    const std::wstring archive = work / L"x.zip";
    WriteFileBytes(archive, MakeZip({{"docs/report.txt", "plain"}, {"docs./old.txt", "o"}, {"sp /old.txt", "o"},
                                     {"a*b/old.txt", "o"}}));
    AppDialogs dialogs;
    Told told;
    ItemCatalog catalog;
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    Tree expected = {{L"docs\\report.txt", "plain"}, {L"docs_\\old.txt", "o"}, {L"sp_\\old.txt", "o"},
                     {L"a_b\\old.txt", "o"}};
    for (const std::wstring folder : {L"docs.", L"sp ", L""}) {
        catalog.EnterFolder(folder);
        ASSERT_EQ(catalog.currentFolder, folder);
        told(AddFiles(catalog, {source / L"report.txt"}));
        told(AddFiles(catalog, {source / L"one\\same", source / L"two\\same"}));
        told(ReloadArchive(catalog));
        // The extraction oracle writes a trailing dot or space as "_".
        std::wstring prefix = folder;
        if (!prefix.empty()) prefix = prefix.substr(0, prefix.size() - 1) + L"_\\";
        for (const auto& [name, data] : Tree{{L"report.txt", "new"}, {L"same\\a.txt", "1a"}, {L"same\\b.txt", "2b"},
                                             {L"same\\c.txt", "2c"}})
            expected[prefix + name] = data;
    }
    // No folder on disk can stand for "a*b": refused, and the message names it.
    catalog.EnterFolder(L"a*b");
    told(AddFiles(catalog, {source / L"report.txt"}));
    EXPECT_EQ(told.messages(), std::vector<std::wstring>{L"Could not update x.zip: no folder on disk can be named "
                                                            L"\"a*b\", and files are added to the archive from such "
                                                            L"a folder.\nThe archive was not changed."});
    EXPECT_EQ(ContentsOf(archive), expected);
    const std::vector<std::wstring> entries = EntriesOf(archive);
    for (const wchar_t* name : {L"docs.\\report.txt", L"sp \\same\\c.txt", L"docs\\report.txt"})
        EXPECT_NE(std::find(entries.begin(), entries.end(), name), entries.end()) << Narrow(name);
}

TEST(ArchiveUpdate, FailuresNameTheirCause) {
    TempDir work(L"cause");
    const std::wstring archive = work / L"h.7z";
    PackTree(archive, {{L"a.txt", "a"}, {L"b.txt", "b"}}, L"-psecret -mhe=on");
    const std::string before = ReadFileBytes(archive);
    WriteFileBytes(work / L"bad.zip", "PK\x03\x04 no archive");
    AppDialogs dialogs(L"secret");
    Told told;
    ItemCatalog catalog;
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    catalog.password = L"wrong";
    told(DeleteEntries(catalog, {L"a.txt"}));
    EXPECT_EQ(catalog.RowCount(), 3) << "the reload asks when the known password fails";
    catalog.archivePath = work / L"bad.zip";
    told(DeleteEntries(catalog, {L"x"}));
    const std::wstring unchanged = L".\nThe archive was not changed.";
    EXPECT_EQ(told.messages(),
              (std::vector<std::wstring>{L"Could not update h.7z: the password is wrong" + unchanged,
                                         L"Could not update bad.zip: the archive is damaged or is not an archive of "
                                         L"its kind" + unchanged,
                                         // and the delete's reload of it
                                         L"Couldn't open the file.\nIt is damaged, or it is not an archive of its "
                                         L"type."}));
    EXPECT_EQ(ReadFileBytes(archive), before);
    EXPECT_EQ(ListFilesRecursive(work.path()), (std::vector<std::wstring>{L"bad.zip", L"h.7z"}));
    // What the archiver printed when it ran out of space on a full volume under this system.
    EXPECT_EQ(FailureInToolOutput({"Add new data to archive: 1 file", "System ERROR:", "Disk full."},
                                  CauseNamingSystemTexts()),
              UpdateFailure::DiskFull);
}

// Run only as the child of the next test, which kills it half-way: an add into a folder of the
// archive named in the environment, which stages its file and writes a work file.
TEST(ArchiveUpdate, DISABLED_AddKilledHalfWay) {
    wchar_t archive[MAX_PATH] = {}, file[MAX_PATH] = {};
    ASSERT_TRUE(GetEnvironmentVariableW(L"TOLVANE_KILLED_ADD_ARCHIVE", archive, MAX_PATH));
    ASSERT_TRUE(GetEnvironmentVariableW(L"TOLVANE_KILLED_ADD_FILE", file, MAX_PATH));
    ItemCatalog catalog;
    catalog.archivePath = archive;
    catalog.currentFolder = L"sub";
    AddFiles(catalog, {file});
}

// A program killed during an update leaves its work file, staging folder and list of names; the
// next update of that archive removes them, and nothing a running process may still use.
TEST(ArchiveUpdate, WhatAKilledUpdateLeftIsRemovedByTheNextOne) {
    TempDir source(L"src"), work(L"left");
    MakeTree(source.path(), {{L"big.bin", IncompressibleBytes(100u << 20, 9)}});
    const std::wstring archive = work / L"x.zip";
    PackTree(archive, {{L"sub\\old.txt", "old"}});
    // Marks of processes still running (this one, one of the system's) and a name of an older form:
    // never touched.
    const std::vector<DWORD> services = ProcessesNamed(L"services.exe");
    ASSERT_FALSE(services.empty());
    const std::wstring mine = archive + L".tlv" + std::to_wstring(GetCurrentProcessId()) + L"-1.tmp";
    const std::wstring running = archive + L".tlv" + std::to_wstring(services.front()) + L"-1.tmp";
    WriteFileBytes(mine, "mine");
    WriteFileBytes(running, "running");
    WriteFileBytes(archive + L".77.tmp", "older form");

    SetEnvironmentVariableW(L"TOLVANE_KILLED_ADD_ARCHIVE", archive.c_str());
    SetEnvironmentVariableW(L"TOLVANE_KILLED_ADD_FILE", (source / L"big.bin").c_str());
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    DWORD child = 0;
    UniqueHandle process(StartProcess(Quote(self) + L" --gtest_also_run_disabled_tests "
                                                    L"--gtest_filter=ArchiveUpdate.DISABLED_AddKilledHalfWay",
                                      &child));
    const std::wstring childWork = archive + L".tlv" + std::to_wstring(child) + L"-";
    const auto childLeft = [&] {
        std::vector<std::wstring> left;
        for (const std::wstring& name : ListFilesRecursive(work.path()))
            if ((work / name).rfind(childWork, 0) == 0) left.push_back(name);
        return left;
    };
    ASSERT_TRUE(WaitUntil([&] { return !childLeft().empty(); }, kLongPatienceMs));
    TerminateProcess(process.get(), 1);
    WaitForExitCode(process.get());
    for (DWORD pid : ProcessesNamed(L"7z.exe")) {
        if (ProcessCommandLine(pid).find(FileNameOf(archive)) == std::wstring::npos) continue;
        UniqueHandle tool(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        TerminateProcess(tool.get(), 1);
        WaitForSingleObject(tool.get(), kPatienceMs);
    }
    const std::wstring staging = TempBase() + L"\\" + kStagingPrefix + std::to_wstring(child) + L"-";
    const auto stagingLeft = [&] {
        for (const std::wstring& name : ListFilesRecursive(TempBase()))
            if ((TempBase() + L"\\" + name).rfind(staging, 0) == 0) return true;
        return false;
    };
    ASSERT_FALSE(childLeft().empty());
    EXPECT_TRUE(stagingLeft());

    AppDialogs dialogs;
    Told told;
    ItemCatalog catalog;
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    EXPECT_TRUE(told(DeleteEntries(catalog, {L"sub"})).done());
    EXPECT_TRUE(childLeft().empty());
    EXPECT_FALSE(stagingLeft());
    EXPECT_EQ(ReadFileBytes(mine), "mine");
    EXPECT_EQ(ReadFileBytes(running), "running");
    EXPECT_EQ(ReadFileBytes(archive + L".77.tmp"), "older form");
    EXPECT_TRUE(EntriesOf(archive).empty());
    EXPECT_TRUE(told.messages().empty()) << Narrow(told.messages().front());
}

// Another program rewrites an entry the delete leaves alone while the archiver works: the work
// file, which holds the entry as it was, does not take the archive's place.
TEST(ArchiveUpdate, AnArchiveChangedWhileTheArchiverWorkedIsNotReplaced) {
    TempDir work(L"race");
    const std::wstring archive = work / L"x.zip";
    PackTree(archive, {{L"keep.txt", "first"}, {L"gone.txt", "gone"}});
    ItemCatalog catalog;
    catalog.archivePath = archive;
    std::wstring message;
    {
        ArchiveGuard guard(archive);
        UpdateRuns runs(catalog, guard, L"d", L"zip");
        ToolCommandLine command = runs.NextCommand();
        command.addName(L"gone.txt");
        ASSERT_TRUE(runs.Run(command));
        MakeTree(work / L"other", {{L"keep.txt", "other"}});
        Run7z(L"a -tzip " + Quote(archive) + L" keep.txt", work / L"other");
        const auto names = [](const std::vector<std::wstring_view>& before, const std::vector<std::wstring_view>& after) {
            return DeleteResultProblem(before, after, {L"gone.txt"});
        };
        message = Conclude(catalog, guard, runs, names, UntouchedEntries{{L"gone.txt"}, {}, {}, false});
    }
    EXPECT_NE(message.find(L"\"keep.txt\" would not have stayed"), std::wstring::npos) << Narrow(message);
    EXPECT_EQ(ContentsOf(archive), (Tree{{L"keep.txt", "other"}, {L"gone.txt", "gone"}}));
    EXPECT_EQ(ListFilesRecursive(work.path()), (std::vector<std::wstring>{L"other\\keep.txt", L"x.zip"}));
}

// The parts of a split archive's work that an ended process left are removed, unless the
// archive's own first part exists: the parts were being put in place, and the rest are the only
// copy of what they hold.
TEST(ArchiveUpdate, PartsLeftWhileASplitArchiveWasPutInPlaceAreKept) {
    TempDir work(L"parts");
    const std::wstring archive = work / L"x.7z";
    DWORD ended = 0;
    {
        UniqueHandle process(StartProcess(L"cmd.exe /c exit", &ended));
        WaitForExitCode(process.get());
    }
    const std::wstring part = archive + L".tlv" + std::to_wstring(ended) + L"-1.tmp.002";
    WriteFileBytes(part, "the only copy");
    WriteFileBytes(archive + L".001", "first part");
    RemoveEndedWorkFiles(archive);
    EXPECT_EQ(ReadFileBytes(part), "the only copy");
    DeleteFileW((archive + L".001").c_str());
    RemoveEndedWorkFiles(archive);
    EXPECT_FALSE(PathExists(part));
}

// While an update works, no other program can write, delete or replace the archive: the work
// file takes the place of the archive the archiver read, and of no other.
TEST(ArchiveUpdate, NoOtherProgramChangesTheArchiveWhileTheArchiverWorks) {
    TempDir work(L"hold");
    const std::wstring archive = work / L"x.zip";
    PackTree(archive, {{L"keep.txt", "first"}, {L"gone.txt", "gone"}});
    ItemCatalog catalog;
    AppDialogs dialogs;
    ASSERT_TRUE(OpenArchive(catalog, archive).done());
    std::wstring message;
    {
        ArchiveGuard guard(archive);
        UpdateRuns runs(catalog, guard, L"d", L"zip");
        ASSERT_EQ(guard.CheckReplaceable(), UpdateFailure::None);
        ToolCommandLine command = runs.NextCommand();
        command.addName(L"gone.txt");
        ASSERT_TRUE(runs.Run(command));
        MakeTree(work / L"other", {{L"keep.txt", "other"}});
        EXPECT_NE(Run7z(L"a -tzip " + Quote(archive) + L" keep.txt", work / L"other").exitCode, 0u);
        EXPECT_FALSE(DeleteFileW(archive.c_str()));
        EXPECT_FALSE(MoveFileExW((work / L"other\\keep.txt").c_str(), archive.c_str(), MOVEFILE_REPLACE_EXISTING));
        message = Conclude(catalog, guard, runs,
                           [](const std::vector<std::wstring_view>& before, const std::vector<std::wstring_view>& after) {
                               return DeleteResultProblem(before, after, {L"gone.txt"});
                           },
                           UntouchedEntries{{L"gone.txt"}, {}, {}, false});
    }
    EXPECT_EQ(message, L"");
    EXPECT_EQ(ContentsOf(archive), (Tree{{L"keep.txt", "first"}}));
}

// The open catalogue stands for the archive only while it is what the archive holds: changed by
// another program after it was opened (an entry of the same size and time, an entry added), the
// archive as it is now is what the update keeps.
TEST(ArchiveUpdate, AChangeMadeAfterTheArchiveWasOpenedIsKeptByTheNextUpdate) {
    TempDir work(L"stale");
    const std::wstring archive = work / L"x.zip";
    PackTree(archive, {{L"keep.txt", "first"}, {L"gone.txt", "gone"}, {L"more.txt", "more"}});
    AppDialogs dialogs;
    Told told;
    ItemCatalog catalog;
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    MakeTree(work / L"other", {{L"keep.txt", "other"}, {L"new.txt", "new"}});
    // The same size: only the content tells it apart.
    ASSERT_EQ(Run7z(L"a -tzip " + Quote(archive) + L" keep.txt", work / L"other").exitCode, 0u);
    told(DeleteEntries(catalog, {L"gone.txt"}));
    EXPECT_EQ(ContentsOf(archive), (Tree{{L"keep.txt", "other"}, {L"more.txt", "more"}}));
    ASSERT_EQ(Run7z(L"a -tzip " + Quote(archive) + L" new.txt", work / L"other").exitCode, 0u);
    told(RenameEntry(catalog, L"more.txt", L"most.txt"));
    EXPECT_EQ(ContentsOf(archive), (Tree{{L"keep.txt", "other"}, {L"most.txt", "more"}, {L"new.txt", "new"}}));
    EXPECT_TRUE(told.messages().empty()) << Narrow(told.messages().front());
    // What the window shows is the archive as the last update left it.
    catalog.EnterFolder(L"");
    std::vector<std::wstring> rows;
    for (int row = 1; row < catalog.RowCount(); ++row) rows.emplace_back(catalog.RowName(row));
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::wstring>{L"keep.txt", L"most.txt", L"new.txt"}));
}

TEST(ArchiveUpdate, EntriesNamedAsWildcardsRenameAndEntriesDifferingInCaseStayThroughAnAdd) {
    TempDir source(L"src"), work(L"wild");
    WriteFileBytes(source / L"new.txt", "new");
    WriteFileBytes(source / L"dup.txt", "three");
    for (const wchar_t* extension : {L".zip", L".7z"}) {
        const std::wstring archive = work / (std::wstring(L"w") + extension);
        PackTree(archive, {{L"s1", "star"}, {L"s2", "query"}, {L"s3", "one"}, {L"s4", "two"}});
        WriteFileBytes(work / L"renames.txt",
                       "\"s1\"\n\"*\"\n\"s2\"\n\"?\"\n\"s3\"\n\"Dup.txt\"\n\"s4\"\n\"DUP.TXT\"\n");
        ASSERT_EQ(Run7z(L"rn -scsUTF-8 " + Quote(archive) + L" @" + Quote(work / L"renames.txt")).exitCode, 0u);
        DeleteFileW((work / L"renames.txt").c_str());
        AppDialogs dialogs;
        ItemCatalog catalog;
        ASSERT_TRUE(OpenArchive(catalog, archive).done());
        EXPECT_TRUE(RenameEntry(catalog, L"*", L"star.txt").done());
        EXPECT_TRUE(RenameEntry(catalog, L"?", L"query.txt").done());
        // The added name matches both only without regard to case: it goes beside them.
        EXPECT_TRUE(AddFiles(catalog, {source / L"new.txt", source / L"dup.txt"}).done());
        EXPECT_EQ(EntriesOf(archive), (std::vector<std::wstring>{L"DUP.TXT", L"Dup.txt", L"dup.txt", L"new.txt",
                                                                 L"query.txt", L"star.txt"}));
        for (const auto& [name, content] : Tree{{L"DUP.TXT", "two"}, {L"Dup.txt", "one"}, {L"star.txt", "star"}})
            EXPECT_EQ(Run7z(L"e -so -ssc -spd " + Quote(archive) + L" " + name).output, content);
    }
    // Two entries of exactly one name: the archiver refuses, and its own words say why.
    const std::wstring same = work / L"same.zip";
    WriteFileBytes(same, MakeZip({{"dup.txt", "1"}, {"dup.txt", "2"}}));
    AppDialogs dialogs;
    ItemCatalog catalog;
    const OperationOutcome refused = AddFilesToArchive(catalog, same, {source / L"dup.txt"}, L"");
    EXPECT_EQ(refused.messages, std::vector<std::wstring>{L"Could not update same.zip: the archiver said \"Duplicate "
                                                          L"filename in archive: dup.txt dup.txt\".\nThe archive was "
                                                          L"not changed."});
    EXPECT_EQ(ReadFileBytes(same), MakeZip({{"dup.txt", "1"}, {"dup.txt", "2"}}));
}
