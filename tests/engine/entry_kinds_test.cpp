// Entries that are no plain files: hard links (their data is another item's), symbolic links,
// the deletion markers of a differential archive, and names that are another file's 8.3 alias.
// The archiver's own extraction and the disk are the oracles.
#include <gtest/gtest.h>

#include "base/paths.h"
#include "engine/archive_properties.h"
#include "engine/checksums.h"
#include "engine/extraction.h"
#include "engine_test_util.h"

using namespace enginetest;

namespace {

using Files = std::map<std::wstring, std::string>;

bool Failed(const ExtractionOutcome& outcome, const std::wstring& item, const std::wstring& causePart) {
    for (const auto& failure : outcome.failures)
        if (failure.item == item && failure.detail.find(causePart) != std::wstring::npos) return true;
    return false;
}

TEST(HardLinks, GetTheirTargetsDataOnEveryWayOut) {
    TempDir dir(L"hard");
    const std::wstring archive = LinuxArchive(L"hardlinks.tar");
    const Files theirs = ArchiverExtracts(archive, dir / L"7z");
    const std::string data = theirs.at(L"data.txt");
    ASSERT_EQ(data.size(), 1500u);
    ASSERT_EQ(theirs.at(L"copy.txt"), data);
    std::wstring password;
    EXPECT_EQ(extractArchive(archive, None, NewFolder(dir / L"all"), password, nullptr), 0);
    EXPECT_EQ(FilesBelow(dir / L"all"), theirs);
    // Only the links chosen (as a selection or a drag takes them): their target is read, not written.
    const std::vector<std::wstring> links{L"copy.txt", L"sub"};
    EXPECT_EQ(extractArchive(archive, None, NewFolder(dir / L"links"), password, &links), 0);
    EXPECT_EQ(FilesBelow(dir / L"links"), (Files{{L"copy.txt", data}, {L"sub\\deep.txt", data}}));
    // One entry opened on its own, as the window opens it.
    const ExtractionOutcome one = extractFileItem(archive, None, NewFolder(dir / L"one"), password, L"sub\\deep.txt");
    EXPECT_TRUE(one.succeeded());
    EXPECT_EQ(FilesBelow(dir / L"one"), (Files{{L"sub\\deep.txt", data}}));
    const ExtractionOutcome test = testArchive(archive, None, password);
    EXPECT_TRUE(test.succeeded());
    EXPECT_EQ(test.tested, 3u);
    const auto sums = checksumArchiveEntries(archive, None, password, {L"copy.txt", L"data.txt"}, {L"SHA256"});
    ASSERT_EQ(sums.size(), 2u);
    ASSERT_EQ(sums[0].checksums.size(), 1u);
    ASSERT_EQ(sums[1].checksums.size(), 1u);
    EXPECT_EQ(sums[0].checksums[0].value, sums[1].checksums[0].value);
}

TEST(HardLinks, ToATargetTheArchiveLacksFailWithTheCause) {
    TempDir dir(L"orphan");
    const std::wstring archive = LinuxArchive(L"links.tar");
    std::wstring password;
    ExtractionOutcome outcome;
    EXPECT_EQ(extractArchive(archive, None, NewFolder(dir / L"out"), password, nullptr, &outcome), 1);
    EXPECT_TRUE(Failed(outcome, L"orphan.txt", L"nothere.txt")) << Narrow(extractionMessage(outcome, L"links.tar"));
    EXPECT_FALSE(PathExists(dir / L"out\\orphan.txt"));
    EXPECT_EQ(ReadFileBytes(dir / L"out\\copy.txt").size(), 1500u);
    const ExtractionOutcome test = testArchive(archive, None, password);
    EXPECT_FALSE(test.succeeded());
    EXPECT_TRUE(Failed(test, L"orphan.txt", L"nothere.txt"));
}

// A symbolic link becomes a file that holds the path it points to: nothing is ever written
// where a link points, and a file "below" a link has no folder to go to.
TEST(SymbolicLinks, BecomeFilesHoldingTheirTargetAndAreNeverFollowed) {
    TempDir dir(L"sym");
    const std::wstring out = NewFolder(dir / L"box\\out");
    std::wstring password;
    ExtractionOutcome outcome;
    EXPECT_EQ(extractArchive(LinuxArchive(L"links.tar"), None, out, password, nullptr, &outcome), 1);
    EXPECT_EQ(ReadFileBytes(out + L"\\inside"), "data.txt");
    EXPECT_EQ(ReadFileBytes(out + L"\\outside"), "../../escaped");
    EXPECT_EQ(ReadFileBytes(out + L"\\absolute"), "/tmp");
    EXPECT_TRUE(Failed(outcome, L"absolute\\through.txt", L""));
    EXPECT_EQ(ListFilesRecursive(dir.path()).size(), ListFilesRecursive(out).size()) << "all of it below out";
    const std::wstring message = extractionMessage(outcome, L"links.tar");
    EXPECT_NE(message.find(L"3 symbolic links were written as files"), std::wstring::npos) << Narrow(message);
    EXPECT_NE(message.find(L"outside  ->  ../../escaped"), std::wstring::npos) << Narrow(message);

    EXPECT_EQ(extractArchive(LinuxArchive(L"links.zip"), None, NewFolder(dir / L"zip"), password, nullptr, &outcome), 0);
    EXPECT_EQ(ReadFileBytes(dir / L"zip\\inside"), "data.txt");
    EXPECT_NE(extractionMessage(outcome, L"links.zip").find(L"inside  ->  data.txt"), std::wstring::npos);
}

TEST(AntiItems, AreNoFilesAndLeaveExistingFilesAlone) {
    TempDir dir(L"anti");
    const std::wstring diff = MakeDifferentialArchive(dir);
    const std::wstring out = dir / L"out";
    MakeTree(out, {{L"gone.txt", "the user's"}, {L"olddir\\f.txt", "the user's too"}});
    std::wstring password;
    EXPECT_EQ(extractArchive(diff, SevenZip, out, password, nullptr), 0);
    EXPECT_EQ(FilesBelow(out), (Files{{L"gone.txt", "the user's"}, {L"keep.txt", "changed"},
                                      {L"olddir\\f.txt", "the user's too"}}));
    EXPECT_EQ(extractArchive(diff, SevenZip, NewFolder(dir / L"fresh"), password, nullptr), 0);
    EXPECT_EQ(FilesBelow(dir / L"fresh"), ArchiverExtracts(diff, dir / L"7z"));
    EXPECT_FALSE(PathExists(dir / L"fresh\\olddir"));

    ListingResult listing;
    ASSERT_EQ(listArchive(diff, SevenZip, listing), 0);
    EXPECT_EQ(PathsOf(listing), std::vector<std::wstring>{L"keep.txt"});
    const ExtractionOutcome test = testArchive(diff, SevenZip, password);
    EXPECT_EQ(test.tested + test.testedFolders, 1u);
    EXPECT_EQ(checksumArchiveEntries(diff, SevenZip, password, {}, {L"CRC32"}).size(), 1u);
    const PropertiesReport properties = readArchiveProperties(diff, SevenZip, password);
    for (const PropertyLine& line : properties.lines)
        if (line.name == L"Files" || line.name == L"Folders") EXPECT_EQ(line.value, line.name == L"Files" ? L"1" : L"0");
}

// "longfilename.txt" and, after it, an item named with the alias the disk gives that file (and
// one below the alias of a folder): the first item's data must survive.
TEST(ShortAliases, NeverReplaceTheFileTheyStandFor) {
    TempDir dir(L"alias");
    const std::wstring source = dir / L"src";
    // The archiver keeps names in order: the two to be renamed come last.
    MakeTree(source, {{L"longfilename.txt", "first"}, {L"longfoldername\\x.txt", "inner"}, {L"zz1.txt", "second"},
                      {L"zz2.txt", "third"}});
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW((source + L"\\longfilename.txt").c_str(), shortPath, MAX_PATH), 0u);
    const std::wstring fileAlias = FileNameOf(shortPath);
    ASSERT_NE(GetShortPathNameW((source + L"\\longfoldername").c_str(), shortPath, MAX_PATH), 0u);
    const std::wstring folderAlias = FileNameOf(shortPath);
    if (fileAlias == L"longfilename.txt") GTEST_SKIP() << "this file system makes no 8.3 names";
    const std::wstring archive = dir / L"alias.zip";
    ASSERT_EQ(Run7z(L"a " + Quote(archive) + L" *", source).exitCode, 0u);
    ASSERT_EQ(Run7z(L"rn " + Quote(archive) + L" zz1.txt " + fileAlias + L" zz2.txt " + folderAlias + L"\\x.txt").exitCode, 0u);

    std::wstring password;
    ExtractionOutcome outcome;
    EXPECT_EQ(extractArchive(archive, Zip, NewFolder(dir / L"out"), password, nullptr, &outcome), 0);
    const Files written = FilesBelow(dir / L"out");
    EXPECT_EQ(written.at(L"longfilename.txt"), "first");
    EXPECT_EQ(written.at(L"longfoldername\\x.txt"), "inner");
    EXPECT_EQ(written.size(), 4u);
    EXPECT_EQ(outcome.renamed, 2u);
    // A file of the user's, found through its alias, stays as it is too.
    MakeTree(dir / L"mine", {{L"longfilename.txt", "the user's"}});
    const std::vector<std::wstring> alias{fileAlias};
    EXPECT_EQ(extractArchive(archive, Zip, NewFolder(dir / L"mine"), password, &alias, &outcome), 0);
    EXPECT_EQ(ReadFileBytes(dir / L"mine\\longfilename.txt"), "the user's");
    EXPECT_EQ(outcome.renamed, 1u);
}

}  // namespace
