// Entries that are no plain files, beyond what the differential test compares with the archiver:
// hard links taken alone, links that cannot have their data, symbolic links, deletion markers
// over existing files, and names that are another file's 8.3 alias.
#include <gtest/gtest.h>

#include "base/paths.h"
#include "engine/archive_properties.h"
#include "engine/checksums.h"
#include "engine/extraction.h"
#include "engine_test_util.h"
#include "ops/extraction_report.h"
#include "ops/fault_texts.h"
#include "ops/properties_report.h"

using namespace enginetest;

namespace {

using Files = std::map<std::wstring, std::string>;

TEST(HardLinks, GetTheirTargetsDataAloneOrFailWithTheCause) {
    TempDir dir(L"hard");
    const std::wstring archive = LinuxArchive(L"hardlinks.tar");
    const std::string data = ArchiverExtracts(archive, dir / L"7z").at(L"data.txt");
    ASSERT_EQ(data.size(), 1500u);
    // Only the links chosen (as a selection or a drag takes them): their target is read, not written.
    std::wstring password;
    const std::vector<std::wstring> links{L"copy.txt", L"sub"};
    EXPECT_EQ(extractArchive(archive, None, NewFolder(dir / L"links"), password, &links), 0);
    EXPECT_EQ(FilesBelow(dir / L"links"), (Files{{L"copy.txt", data}, {L"sub\\deep.txt", data}}));
    // One entry opened on its own, as the window opens it.
    EXPECT_TRUE(extractFileItem(archive, None, NewFolder(dir / L"one"), password, L"sub\\deep.txt").succeeded());
    EXPECT_EQ(FilesBelow(dir / L"one"), (Files{{L"sub\\deep.txt", data}}));
    EXPECT_EQ(testArchive(archive, None, password).tested, 3u);
    const auto sums = checksumArchiveEntries(archive, None, password, {L"copy.txt", L"data.txt"}, {L"SHA256"});
    ASSERT_EQ(sums.size(), 2u);
    EXPECT_EQ(sums[0].checksums.at(0).value, sums[1].checksums.at(0).value);

    // A link to a file the archive lacks: no empty file, a failure that says why, in a test too.
    for (const bool testing : {false, true}) {
        ExtractionOutcome outcome;
        if (testing) outcome = testArchive(LinuxArchive(L"links.tar"), None, password);
        else EXPECT_EQ(extractArchive(LinuxArchive(L"links.tar"), None, NewFolder(dir / L"out"), password, nullptr, &outcome), 1);
        ASSERT_FALSE(outcome.failures.empty());
        EXPECT_EQ(outcome.failures[0].item, L"orphan.txt");
        EXPECT_EQ(ItemFaultText(outcome.failures[0].fault), L"a link to nothere.txt, which is not in the archive");
    }
    EXPECT_FALSE(PathExists(dir / L"out\\orphan.txt"));
}

// A symbolic link becomes a file that holds the path it points to: nothing is ever written
// where a link points, and a file "below" a link has no folder to go to.
TEST(SymbolicLinks, AreNeverFollowedAndAreNamedAfterTheExtraction) {
    TempDir dir(L"sym");
    const std::wstring out = NewFolder(dir / L"box\\out");
    std::wstring password;
    ExtractionOutcome outcome;
    EXPECT_EQ(extractArchive(LinuxArchive(L"links.tar"), None, out, password, nullptr, &outcome), 1);
    EXPECT_EQ(outcome.failures.at(1).item, L"absolute\\through.txt");
    EXPECT_EQ(ListFilesRecursive(dir.path()).size(), ListFilesRecursive(out).size()) << "all of it below out";
    const std::wstring message = ExtractionMessage(outcome, L"links.tar");
    EXPECT_NE(message.find(L"\n3 symbolic links were written as files holding the path they point to:\n"
                           L"    inside  ->  data.txt\n    outside  ->  ../../escaped\n    absolute  ->  /tmp\n"),
              std::wstring::npos)
        << Narrow(message);
}

TEST(AntiItems, LeaveExistingFilesAloneAndAreNoEntries) {
    TempDir dir(L"anti");
    const std::wstring diff = MakeDifferentialArchive(dir);
    const std::wstring out = dir / L"out";
    MakeTree(out, {{L"gone.txt", "the user's"}, {L"olddir\\f.txt", "the user's too"}});
    std::wstring password;
    EXPECT_EQ(extractArchive(diff, SevenZip, out, password, nullptr), 0);
    EXPECT_EQ(FilesBelow(out), (Files{{L"gone.txt", "the user's"}, {L"keep.txt", "changed"},
                                      {L"olddir\\f.txt", "the user's too"}}));
    ListingResult listing;
    ASSERT_EQ(listArchive(diff, SevenZip, listing), 0);
    EXPECT_EQ(PathsOf(listing), std::vector<std::wstring>{L"keep.txt"});
    const ExtractionOutcome test = testArchive(diff, SevenZip, password);
    EXPECT_EQ(test.tested + test.testedFolders, 1u);
    EXPECT_EQ(checksumArchiveEntries(diff, SevenZip, password, {}, {L"CRC32"}).size(), 1u);
    for (const PropertyLine& line : ArchivePropertiesReport(readArchiveFacts(diff, SevenZip, password), SevenZip).lines) {
        if (line.name == L"Files" || line.name == L"Folders") {
            EXPECT_EQ(line.value, line.name == L"Files" ? L"1" : L"0");
        }
    }
}

// Items named with the aliases the disk gives longfilename.txt and longfoldername, after them:
// the data of the first items, and a file of the user's found through an alias, survive.
TEST(ShortAliases, NeverReplaceTheFileTheyStandFor) {
    TempDir dir(L"alias");
    const std::wstring source = dir / L"src";
    // The archiver keeps names in order: the two to be renamed come last.
    MakeTree(source, {{L"longfilename.txt", "first"}, {L"longfoldername\\x.txt", "inner"}, {L"zz1.txt", "second"},
                      {L"zz2.txt", "third"}});
    wchar_t alias[2][MAX_PATH] = {};
    GetShortPathNameW((source + L"\\longfilename.txt").c_str(), alias[0], MAX_PATH);
    GetShortPathNameW((source + L"\\longfoldername").c_str(), alias[1], MAX_PATH);
    const std::wstring fileAlias = FileNameOf(alias[0]), folderAlias = FileNameOf(alias[1]);
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
    MakeTree(dir / L"mine", {{L"longfilename.txt", "the user's"}});
    const std::vector<std::wstring> only{fileAlias};
    EXPECT_EQ(extractArchive(archive, Zip, dir / L"mine", password, &only, &outcome), 0);
    EXPECT_EQ(ReadFileBytes(dir / L"mine\\longfilename.txt"), "the user's");
    EXPECT_EQ(outcome.renamed, 1u);
}

}  // namespace
