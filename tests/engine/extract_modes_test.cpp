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

std::string StreamOf(const std::wstring& path) {
    UniqueHandle stream(CreateFileW((path + L":Zone.Identifier").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!stream) return "(none)";
    char bytes[512];
    DWORD read = 0;
    if (!ReadFile(stream.get(), bytes, sizeof(bytes), &read, nullptr)) return "(unreadable)";
    return std::string(bytes, read);
}

void GiveStream(const std::wstring& path, const std::string& content) {
    UniqueHandle stream(CreateFileW((path + L":Zone.Identifier").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    0, nullptr));
    ASSERT_TRUE(stream) << GetLastError();
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(stream.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
}

}  // namespace

TEST(ExtractModes, ExistingFilesAreSkippedRenamedOrMovedAsideAndNoPathsFlattens) {
    TempDir work(L"modes");
    MakeTree(work / L"src", {{L"a.txt", "new a"}, {L"docs\\b.txt", "new b"}, {L"docs\\deep\\c.txt", "new c"}});
    Pack(work / L"x.7z", work / L"src");
    const Tree old{{L"a.txt", "old a"}, {L"docs\\b.txt", "old b"}};
    ExtractionOutcome outcome;

    MakeTree(work / L"skip", old);
    EXPECT_EQ(ExtractAll(work / L"x.7z", work / L"skip", With(ExistingFilePolicy::Skip), outcome), 0);
    EXPECT_EQ(FilesBelow(work / L"skip"), (std::map<std::wstring, std::string>{
                                              {L"a.txt", "old a"}, {L"docs\\b.txt", "old b"}, {L"docs\\deep\\c.txt", "new c"}}));

    MakeTree(work / L"new", old);
    EXPECT_EQ(ExtractAll(work / L"x.7z", work / L"new", With(ExistingFilePolicy::RenameNew), outcome), 0);
    EXPECT_EQ(FilesBelow(work / L"new"),
              (std::map<std::wstring, std::string>{{L"a.txt", "old a"}, {L"a (2).txt", "new a"},
                                                   {L"docs\\b.txt", "old b"}, {L"docs\\b (2).txt", "new b"},
                                                   {L"docs\\deep\\c.txt", "new c"}}));

    MakeTree(work / L"aside", old);
    EXPECT_EQ(ExtractAll(work / L"x.7z", work / L"aside", With(ExistingFilePolicy::RenameExisting), outcome), 0);
    EXPECT_EQ(outcome.movedAside, 2u);
    EXPECT_EQ(FilesBelow(work / L"aside"),
              (std::map<std::wstring, std::string>{{L"a.txt", "new a"}, {L"a (2).txt", "old a"},
                                                   {L"docs\\b.txt", "new b"}, {L"docs\\b (2).txt", "old b"},
                                                   {L"docs\\deep\\c.txt", "new c"}}));

    // The rename fails (another program holds the file without letting it move): both stay.
    MakeTree(work / L"held", old);
    {
        UniqueHandle held(CreateFileW((work / L"held\\a.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(ExtractAll(work / L"x.7z", work / L"held", With(ExistingFilePolicy::RenameExisting), outcome), 0);
    }
    EXPECT_EQ(outcome.notMovedAside, 1u);
    EXPECT_EQ(FilesBelow(work / L"held"),
              (std::map<std::wstring, std::string>{{L"a.txt", "old a"}, {L"a (2).txt", "new a"},
                                                   {L"docs\\b.txt", "new b"}, {L"docs\\b (2).txt", "old b"},
                                                   {L"docs\\deep\\c.txt", "new c"}}));

    ExtractionOptions flat;
    flat.noPaths = true;
    ASSERT_TRUE(CreateDirectoryW((work / L"flat").c_str(), nullptr));
    EXPECT_EQ(ExtractAll(work / L"x.7z", work / L"flat", flat, outcome), 0);
    EXPECT_EQ(FilesBelow(work / L"flat"), (std::map<std::wstring, std::string>{
                                              {L"a.txt", "new a"}, {L"b.txt", "new b"}, {L"c.txt", "new c"}}));
    // Two files of one name from two folders both land, the second beside the first.
    MakeTree(work / L"src2", {{L"A.txt", "top"}, {L"d\\a.TXT", "inner"}});
    Pack(work / L"two.7z", work / L"src2");
    ASSERT_TRUE(CreateDirectoryW((work / L"flat2").c_str(), nullptr));
    EXPECT_EQ(ExtractAll(work / L"two.7z", work / L"flat2", flat, outcome), 0);
    EXPECT_EQ(FilesBelow(work / L"flat2"),
              (std::map<std::wstring, std::string>{{L"A.txt", "top"}, {L"a (2).TXT", "inner"}}));
}

TEST(ExtractModes, FilesFromAMarkedArchiveCarryItsMarkAsChosen) {
    TempDir work(L"motw");
    MakeTree(work / L"src", {{L"setup.exe", "MZ"}, {L"notes.txt", "notes"}, {L"docs\\report.pdf", "%PDF"}});
    Pack(work / L"x.7z", work / L"src");
    GiveStream(work / L"x.7z", kMark);
    ASSERT_EQ(StreamOf(work / L"x.7z"), kMark);
    ExtractionOutcome outcome;

    ASSERT_EQ(ExtractAll(work / L"x.7z", work / L"all", ExtractionOptions(), outcome), 0);
    for (const wchar_t* file : {L"setup.exe", L"notes.txt", L"docs\\report.pdf"})
        EXPECT_EQ(StreamOf(work / L"all" + L"\\" + file), kMark) << Narrow(file);

    ExtractionOptions narrow;
    narrow.zoneMarking = ZoneMarking::ProgramsAndDocuments;
    ASSERT_EQ(ExtractAll(work / L"x.7z", work / L"narrow", narrow, outcome), 0);
    EXPECT_EQ(StreamOf(work / L"narrow\\setup.exe"), kMark);
    EXPECT_EQ(StreamOf(work / L"narrow\\docs\\report.pdf"), kMark);
    EXPECT_EQ(StreamOf(work / L"narrow\\notes.txt"), "(none)");

    ExtractionOptions off;
    off.zoneMarking = ZoneMarking::Off;
    ASSERT_EQ(ExtractAll(work / L"x.7z", work / L"off", off, outcome), 0);
    EXPECT_EQ(StreamOf(work / L"off\\setup.exe"), "(none)");

    // A file skipped keeps no new mark; the one written beside it, the one opened for viewing,
    // and the one written without paths get it.
    MakeTree(work / L"kept", {{L"setup.exe", "the user's own"}});
    ASSERT_EQ(ExtractAll(work / L"x.7z", work / L"kept", With(ExistingFilePolicy::Skip), outcome), 0);
    EXPECT_EQ(ReadFileBytes(work / L"kept\\setup.exe"), "the user's own");
    EXPECT_EQ(StreamOf(work / L"kept\\setup.exe"), "(none)");
    EXPECT_EQ(StreamOf(work / L"kept\\notes.txt"), kMark);
    std::wstring password;
    ASSERT_TRUE(CreateDirectoryW((work / L"one").c_str(), nullptr));
    EXPECT_TRUE(extractFileItem(work / L"x.7z", archiveKindOf(L"x.7z"), work / L"one", password, L"notes.txt")
                    .succeeded());
    EXPECT_EQ(StreamOf(work / L"one\\notes.txt"), kMark);

    // An archive without a mark gives none.
    Pack(work / L"clean.7z", work / L"src");
    ASSERT_EQ(ExtractAll(work / L"clean.7z", work / L"clean", ExtractionOptions(), outcome), 0);
    EXPECT_EQ(StreamOf(work / L"clean\\setup.exe"), "(none)");
}
