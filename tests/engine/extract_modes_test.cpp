// Existing files skipped, renamed, or renamed out of the way; files written without paths; and
// the archive's mark of the web carried to what is written. The disk is the oracle; the marks are
// written and read back through the Win32 calls themselves.
#include "engine/extraction.h"
#include "engine_test_util.h"

using namespace enginetest;

namespace {

constexpr char kMark[] = "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://example.com/x.7z\r\n";

int ExtractAll(const std::wstring& archive, const std::wstring& out, ExtractionOptions options,
               ExtractionOutcome& outcome) {
    std::wstring password;
    return extractArchive(archive, archiveKindOf(archive), out, password, nullptr, options, &outcome);
}

ExtractionOptions With(ExistingFilePolicy policy) {
    ExtractionOptions options;
    options.existingFiles = policy;
    return options;
}

// The mark, read back through CreateFileW on "<file>:Zone.Identifier"; empty when there is none.
std::string StreamOf(const std::wstring& path) { return ReadFileBytes(path + L":Zone.Identifier"); }

}  // namespace

TEST(ExtractModes, ExistingFilesAreSkippedRenamedOrMovedAsideAndNoPathsFlattens) {
    using Files = std::map<std::wstring, std::string>;
    TempDir work(L"modes");
    MakeTree(work / L"src", {{L"a.txt", "new a"}, {L"docs\\b.txt", "new b"}});
    Pack(work / L"x.7z", work / L"src");
    ExtractionOutcome outcome;
    const auto over = [&](const wchar_t* folder, ExistingFilePolicy policy) {
        if (!PathExists(work / folder)) MakeTree(work / folder, {{L"a.txt", "old a"}, {L"docs\\b.txt", "old b"}});
        EXPECT_EQ(ExtractAll(work / L"x.7z", work / folder, With(policy), outcome), 0);
        return FilesBelow(work / folder);
    };
    EXPECT_EQ(over(L"skip", ExistingFilePolicy::Skip), (Files{{L"a.txt", "old a"}, {L"docs\\b.txt", "old b"}}));
    EXPECT_EQ(over(L"new", ExistingFilePolicy::RenameNew),
              (Files{{L"a.txt", "old a"}, {L"a (2).txt", "new a"}, {L"docs\\b.txt", "old b"}, {L"docs\\b (2).txt", "new b"}}));
    EXPECT_EQ(over(L"aside", ExistingFilePolicy::RenameExisting),
              (Files{{L"a.txt", "new a"}, {L"a (2).txt", "old a"}, {L"docs\\b.txt", "new b"}, {L"docs\\b (2).txt", "old b"}}));
    EXPECT_EQ(outcome.movedAside, 2u);
    // The rename fails (another program holds the file without letting it move): both stay.
    MakeTree(work / L"held", {{L"a.txt", "old a"}, {L"docs\\b.txt", "old b"}});
    UniqueHandle held(CreateFileW((work / L"held\\a.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(over(L"held", ExistingFilePolicy::RenameExisting),
              (Files{{L"a.txt", "old a"}, {L"a (2).txt", "new a"}, {L"docs\\b.txt", "new b"}, {L"docs\\b (2).txt", "old b"}}));
    EXPECT_EQ(outcome.notMovedAside, 1u);
    held.reset();

    // Without paths; two files of one name from two folders both land, the second beside the first.
    MakeTree(work / L"src2", {{L"A.txt", "top"}, {L"d\\a.TXT", "inner"}});
    Pack(work / L"two.7z", work / L"src2");
    ExtractionOptions flat;
    flat.noPaths = true;
    ASSERT_TRUE(CreateDirectoryW((work / L"flat").c_str(), nullptr));
    EXPECT_EQ(ExtractAll(work / L"two.7z", work / L"flat", flat, outcome), 0);
    EXPECT_EQ(FilesBelow(work / L"flat"), (Files{{L"A.txt", "top"}, {L"a (2).TXT", "inner"}}));
}

TEST(ExtractModes, FilesFromAMarkedArchiveCarryItsMarkAsChosen) {
    TempDir work(L"motw");
    MakeTree(work / L"src", {{L"setup.exe", "MZ"}, {L"notes.txt", "notes"}, {L"docs\\report.pdf", "%PDF"}});
    Pack(work / L"x.7z", work / L"src");
    WriteFileBytes(work / L"x.7z:Zone.Identifier", kMark);
    ASSERT_EQ(StreamOf(work / L"x.7z"), kMark);
    ExtractionOutcome outcome;

    ASSERT_EQ(ExtractAll(work / L"x.7z", work / L"all", ExtractionOptions(), outcome), 0);
    for (const wchar_t* file : {L"setup.exe", L"notes.txt", L"docs\\report.pdf"})
        EXPECT_EQ(StreamOf(work / L"all" + L"\\" + file), kMark) << Narrow(file);

    for (const ZoneMarking marking : {ZoneMarking::ProgramsAndDocuments, ZoneMarking::Off}) {
        ExtractionOptions options;
        options.zoneMarking = marking;
        const std::wstring out = work / (marking == ZoneMarking::Off ? L"off" : L"narrow");
        ASSERT_EQ(ExtractAll(work / L"x.7z", out, options, outcome), 0);
        const std::string programs = marking == ZoneMarking::Off ? "" : kMark;
        EXPECT_EQ(StreamOf(out + L"\\setup.exe"), programs);
        EXPECT_EQ(StreamOf(out + L"\\docs\\report.pdf"), programs);
        EXPECT_EQ(StreamOf(out + L"\\notes.txt"), "");
    }

    // A file skipped keeps no new mark; the one written beside it and the one opened for viewing get it.
    MakeTree(work / L"kept", {{L"setup.exe", "the user's own"}});
    ASSERT_EQ(ExtractAll(work / L"x.7z", work / L"kept", With(ExistingFilePolicy::Skip), outcome), 0);
    EXPECT_EQ(ReadFileBytes(work / L"kept\\setup.exe"), "the user's own");
    EXPECT_EQ(StreamOf(work / L"kept\\setup.exe"), "");
    EXPECT_EQ(StreamOf(work / L"kept\\notes.txt"), kMark);
    std::wstring password;
    ASSERT_TRUE(CreateDirectoryW((work / L"one").c_str(), nullptr));
    EXPECT_TRUE(extractFileItem(work / L"x.7z", archiveKindOf(L"x.7z"), work / L"one", password, L"notes.txt")
                    .succeeded());
    EXPECT_EQ(StreamOf(work / L"one\\notes.txt"), kMark);

    // An archive without a mark gives none.
    Pack(work / L"clean.7z", work / L"src");
    ASSERT_EQ(ExtractAll(work / L"clean.7z", work / L"clean", ExtractionOptions(), outcome), 0);
    EXPECT_EQ(StreamOf(work / L"clean\\setup.exe"), "");
}
