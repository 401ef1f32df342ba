// What an extraction must never do: destroy a file for an item that did not decode, let one
// item overwrite another, call a damaged archive a success, or give up on every item for one.
// The real 7z.exe judges the same archives.
#include <gtest/gtest.h>

#include <set>

#include "engine/extraction.h"
#include "ops/extraction_report.h"
#include "engine_test_util.h"
#include "support/rar_writer.h"
#include "support/zip_writer.h"

using namespace enginetest;

namespace {

std::wstring LowerCase(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

class WrongPassword : public testing::TestWithParam<const wchar_t*> {};

TEST_P(WrongPassword, ChangesNothingOnDisk) {
    TempDir dir(L"wrongpw");
    const std::wstring archive = dir / (std::wstring(L"locked") + (GetParam()[2] == L'7' ? L".7z" : L".zip"));
    MakeTree(dir / L"src", {{L"note.txt", "the archive's note"}, {L"other.txt", "other"}, {L"sub\\in.txt", "in"}});
    Pack(archive, dir / L"src", GetParam());
    EXPECT_NE(Run7z(L"t -pwrong " + Quote(archive)).exitCode, 0u) << "the archiver refuses the password too";

    const std::wstring out = dir / L"out";
    WriteFileBytes(out + L"\\note.txt", "the user's own note");
    PasswordAnswer wrong(L"wrong");
    std::wstring password;
    EXPECT_EQ(extractArchive(archive, archiveKindOf(archive), out, password, nullptr), 1);
    EXPECT_EQ(wrong.count(), 1);
    EXPECT_EQ(ReadFileBytes(out + L"\\note.txt"), "the user's own note");
    EXPECT_EQ(ListFilesRecursive(out), std::vector<std::wstring>{L"note.txt"}) << "no half-written leftovers";
    EXPECT_FALSE(PathExists(out + L"\\sub"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, WrongPassword,
                         testing::Values(L"-tzip -psecret", L"-tzip -psecret -mem=AES256", L"-t7z -psecret"));

// Both archivers' formats, with names that Windows takes for one file.
TEST(CollidingNames, EachItemGetsAFileOfItsOwn) {
    TempDir dir(L"collide");
    MakeTree(dir / L"src", {{L"Dup.txt", "first copy"}, {L"b", "second copy"}, {L"dir\\Sub.txt", "sub one"},
                            {L"c", "sub two"}, {L"stream", "plain stream"}, {L"d", "a stream"}});
    for (const wchar_t* type : {L"zip", L"7z"}) {
        SCOPED_TRACE(Narrow(type));
        const std::wstring archive = dir / (std::wstring(L"dup.") + type);
        Pack(archive, dir / L"src", std::wstring(L"-t") + type);
        // The archiver stores names as given; only renaming inside the archive makes the clashes.
        ASSERT_EQ(Run7z(L"rn " + Quote(archive) + L" b DUP.TXT c DIR\\sub.TXT d a:stream").exitCode, 0u);
        const std::wstring out = dir / (std::wstring(L"out-") + type);
        CreateDirectoryW(out.c_str(), nullptr);
        std::wstring password;
        ExtractionOutcome outcome;
        EXPECT_EQ(extractArchive(archive, archiveKindOf(archive), out, password, nullptr, &outcome), 0)
            << Narrow(ExtractionMessage(outcome, L"dup"));
        EXPECT_EQ(ExtractionMessage(outcome, L"dup").rfind(L"dup was extracted. 3 items have the names of other items", 0), 0u);
        // Which of two clashing items keeps the plain name follows the archive's order.
        std::map<std::wstring, std::string> found;
        for (const std::wstring& file : ListFilesRecursive(out)) found[LowerCase(file)] = ReadFileBytes(out + L"\\" + file);
        EXPECT_EQ(found.size(), 6u);
        for (const wchar_t* name : {L"dup.txt", L"dup (2).txt", L"dir\\sub.txt", L"dir\\sub (2).txt", L"stream", L"stream (2)"})
            EXPECT_EQ(found.count(name), 1u) << Narrow(name);
        std::multiset<std::string> contents;
        for (const auto& [name, content] : found) contents.insert(content);
        EXPECT_EQ(contents, (std::multiset<std::string>{"first copy", "second copy", "sub one", "sub two", "plain stream",
                                                        "a stream"}));
    }
}

TEST(DamagedArchive, IsAFailureWhereTheArchiverSeesDamage) {
    TempDir dir(L"damaged");
    const std::string rar = MakeRar4({{"folder", "", true}, {"folder/inner.txt", "inner text"}, {"two.txt", "two"}});
    std::string zip = MakeZip({ZipEntry{"a.txt", "alpha"}, ZipEntry{"b.txt", "bravo"}});
    zip[18] = zip[19] = zip[20] = '\xFF';
    zip[21] = '\x7F';  // the first entry's compressed size: 0x7FFFFFFF
    const struct {
        const wchar_t* name;
        std::string bytes;
    } cases[] = {{L"cut.rar", rar.substr(0, 137)}, {L"huge.zip", zip}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        const std::wstring archive = dir / c.name;
        WriteFileBytes(archive, c.bytes);
        const ProcessResult judged = Run7z(L"t " + Quote(archive));
        EXPECT_TRUE(judged.exitCode != 0 || judged.output.find("WARNINGS") != std::string::npos) << judged.output;
        std::wstring password;
        EXPECT_EQ(extractArchive(archive, archiveKindOf(archive), dir / L"out", password, nullptr), 1);
    }
}

// Junk after the end of a sound archive: the archiver warns, writes everything and ends with 0.
TEST(DataAfterTheEnd, IsAWarningWhenEveryItemIsIntact) {
    TempDir dir(L"tail");
    MakeTree(dir / L"src", {{L"a.txt", "alpha"}, {L"b.bin", std::string(3000, 'b')}});
    for (const std::wstring type : {L"zip", L"7z"}) {
        const std::wstring archive = dir / (L"tail." + type);
        Pack(archive, dir / L"src");
        WriteFileBytes(archive, ReadFileBytes(archive) + "junk after the end");
        EXPECT_EQ(Run7z(L"t " + Quote(archive)).exitCode, 0u);
        std::wstring password;
        ExtractionOutcome outcome;
        EXPECT_EQ(extractArchive(archive, archiveKindOf(archive), NewFolder(dir / type), password, nullptr, &outcome), 0);
        EXPECT_EQ(FilesBelow(dir / type), ArchiverExtracts(archive, dir / (L"7z-" + type)));
        EXPECT_EQ(ExtractionMessage(outcome, L"tail"), L"tail was extracted.\nWarning: there is data after the end of the archive.");
        EXPECT_TRUE(testArchive(archive, archiveKindOf(archive), password).succeeded());
    }
}

TEST(UnwritableItem, NeverStopsTheOthers) {
    TempDir dir(L"unwritable");
    const std::wstring archive = dir / L"long.zip";
    WriteFileBytes(archive, MakeZip({ZipEntry{std::string(300, 'n') + ".txt", "too long"},
                                     ZipEntry{"good1.txt", "good one"}, ZipEntry{"dir/good2.txt", "good two"}}));
    EXPECT_EQ(Run7z(L"t " + Quote(archive)).exitCode, 0u) << "the archive itself is sound";
    const std::wstring out = dir / L"out";
    WriteFileBytes(out + L"\\in the way\\x", "a folder where a file goes");
    WriteFileBytes(dir / L"way.zip", MakeZip({ZipEntry{"in the way", "file"}, ZipEntry{"after.txt", "after"}}));
    std::wstring password;
    EXPECT_EQ(extractArchive(archive, Zip, out, password, nullptr), 1);
    EXPECT_EQ(extractArchive(dir / L"way.zip", Zip, out, password, nullptr), 1);
    EXPECT_EQ(ListFilesRecursive(out),
              (std::vector<std::wstring>{L"after.txt", L"dir\\good2.txt", L"good1.txt", L"in the way\\x"}));
    EXPECT_EQ(ReadFileBytes(out + L"\\dir\\good2.txt"), "good two");
}

}  // namespace
