// Extracting real archives: everything, a selection, times and attributes, replacing files,
// passwords, failures and cancelling.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/extraction.h"
#include "engine_test_util.h"
#include "engine/engine_events.h"
#include "support/rar_writer.h"
#include "support/zip_writer.h"

using namespace enginetest;

namespace {

const std::wstring kNonAscii = L"\u00e9t\u00e9 \u6587\u4ef6 \U0001F600.txt";

Tree SampleTree() {
    return {{L"a.txt", "alpha"},
            {L"docs\\b.txt", "bravo"},
            {L"docs\\deep\\c.bin", std::string(70000, 'c')},
            {L"empty\\", ""},
            {kNonAscii, "unicode"}};
}

std::vector<std::wstring> SampleFiles() {
    std::vector<std::wstring> files{L"a.txt", L"docs\\b.txt", L"docs\\deep\\c.bin", kNonAscii};
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<RarEntry> SampleRarEntries() {
    return {{"docs", "", true},
            {"docs/deep", "", true},
            {"empty", "", true},
            {"a.txt", "alpha"},
            {"docs/b.txt", "bravo"},
            {"docs/deep/c.bin", std::string(70000, 'c')},
            {"\xc3\xa9t\xc3\xa9 \xe6\x96\x87\xe4\xbb\xb6 \xf0\x9f\x98\x80.txt", "unicode"}};
}

// Makes the sample archive in the format of `extension` (".rar4" writes a RAR 4 file named .rar).
std::wstring MakeSample(const TempDir& dir, const std::wstring& extension) {
    if (extension == L".rar" || extension == L".rar4") {
        const std::wstring path = dir / L"sample.rar";
        WriteFileBytes(path, extension == L".rar" ? MakeRar(SampleRarEntries()) : MakeRar4(SampleRarEntries()));
        return path;
    }
    const std::wstring source = dir / L"src";
    MakeTree(source, SampleTree());
    const std::wstring path = dir / (L"sample" + extension);
    Pack(path, source);
    return path;
}

void ExpectSampleExtracted(const std::wstring& destination) {
    EXPECT_EQ(ListFilesRecursive(destination), SampleFiles());
    EXPECT_EQ(ReadFileBytes(destination + L"\\a.txt"), "alpha");
    EXPECT_EQ(ReadFileBytes(destination + L"\\docs\\b.txt"), "bravo");
    EXPECT_EQ(ReadFileBytes(destination + L"\\docs\\deep\\c.bin"), std::string(70000, 'c'));
    EXPECT_EQ(ReadFileBytes(destination + L"\\" + kNonAscii), "unicode");
    EXPECT_TRUE(IsFolder(destination + L"\\empty"));
}

class ExtractionOfEachFormat : public testing::TestWithParam<const wchar_t*> {};

TEST_P(ExtractionOfEachFormat, WritesEveryItemBelowTheDestination) {
    TempDir dir(L"x");
    const std::wstring archive = MakeSample(dir, GetParam());
    const std::wstring out = dir / L"out";
    CreateDirectoryW(out.c_str(), nullptr);
    std::wstring password;
    EXPECT_EQ(extractArchive(archive, archiveKindOf(archive), out, password, nullptr), 0);
    ExpectSampleExtracted(out);
    EXPECT_TRUE(password.empty());

    // With a trailing backslash the same paths result; existing files are replaced.
    WriteFileBytes(out + L"\\a.txt", "older and longer content");
    EXPECT_EQ(extractArchive(archive, archiveKindOf(archive), out + L"\\", password, nullptr), 0);
    ExpectSampleExtracted(out);
}

INSTANTIATE_TEST_SUITE_P(Formats, ExtractionOfEachFormat, testing::Values(L".zip", L".7z", L".rar", L".rar4"));

TEST(Extraction, SelectionTakesWholeComponentsOnly) {
    TempDir dir(L"sel");
    const std::wstring source = dir / L"src";
    MakeTree(source, {{L"docs\\a.txt", "a"},
                      {L"docs\\deep\\d.txt", "d"},
                      {L"docs2\\b.txt", "b"},
                      {L"docs.txt", "dt"},
                      {L"c.txt", "c"}});
    const std::wstring archive = dir / L"sel.7z";
    Pack(archive, source);

    const std::wstring out = dir / L"out";
    CreateDirectoryW(out.c_str(), nullptr);
    std::wstring password;
    const std::vector<std::wstring> docs{L"docs"};
    EXPECT_EQ(extractArchive(archive, SevenZip, out, password, &docs), 0);
    EXPECT_EQ(ListFilesRecursive(out), (std::vector<std::wstring>{L"docs\\a.txt", L"docs\\deep\\d.txt"}));

    const std::wstring out2 = dir / L"out2";
    CreateDirectoryW(out2.c_str(), nullptr);
    const std::vector<std::wstring> two{L"docs\\deep", L"c.txt"};
    EXPECT_EQ(extractArchive(archive, SevenZip, out2, password, &two), 0);
    // Items keep their full paths inside the archive.
    EXPECT_EQ(ListFilesRecursive(out2), (std::vector<std::wstring>{L"c.txt", L"docs\\deep\\d.txt"}));
    EXPECT_EQ(ReadFileBytes(out2 + L"\\docs\\deep\\d.txt"), "d");

    const std::wstring out3 = dir / L"out3";
    CreateDirectoryW(out3.c_str(), nullptr);
    const std::vector<std::wstring> none{L"missing"};
    EXPECT_EQ(extractArchive(archive, SevenZip, out3, password, &none), 0);
    EXPECT_TRUE(ListFilesRecursive(out3).empty());
}

bool FileSystemKeepsHiddenBit(const std::wstring& folder) {
    const std::wstring probe = folder + L"\\hidden-probe";
    WriteFileBytes(probe, "p");
    SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_HIDDEN);
    const bool kept = (GetFileAttributesW(probe.c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0;
    SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(probe.c_str());
    return kept;
}

TEST(Extraction, RestoresTimesAndAttributes) {
    TempDir dir(L"attr");
    const std::wstring source = dir / L"src";
    MakeTree(source, {{L"plain.txt", "p"}, {L"ro.txt", "r"}, {L"sub\\hidden.txt", "h"}});
    SetModifiedUtc(source + L"\\plain.txt", 2011, 3, 4, 5, 6, 7);
    SetModifiedUtc(source + L"\\ro.txt", 1999, 12, 31, 23, 59, 58);
    SetModifiedUtc(source + L"\\sub\\hidden.txt", 2020, 2, 29, 12, 0, 0);
    const bool hiddenKept = FileSystemKeepsHiddenBit(dir.path());
    ASSERT_TRUE(SetFileAttributesW((source + L"\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    if (hiddenKept) SetFileAttributesW((source + L"\\sub\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);

    for (const wchar_t* extension : {L".7z", L".zip"}) {
        const std::wstring archive = dir / (std::wstring(L"attr") + extension);
        Pack(archive, source);
        const std::wstring out = dir / (std::wstring(L"out") + extension);
        CreateDirectoryW(out.c_str(), nullptr);
        std::wstring password;
        ASSERT_EQ(extractArchive(archive, archiveKindOf(archive), out, password, nullptr), 0);

        EXPECT_EQ(LastWriteOf(out + L"\\plain.txt"), FileTimeValue(2011, 3, 4, 5, 6, 7)) << extension;
        EXPECT_EQ(LastWriteOf(out + L"\\ro.txt"), FileTimeValue(1999, 12, 31, 23, 59, 58)) << extension;
        EXPECT_EQ(LastWriteOf(out + L"\\sub\\hidden.txt"), FileTimeValue(2020, 2, 29, 12, 0, 0)) << extension;
        const DWORD ro = GetFileAttributesW((out + L"\\ro.txt").c_str());
        EXPECT_NE(ro & FILE_ATTRIBUTE_READONLY, 0u) << extension;
        EXPECT_EQ(GetFileAttributesW((out + L"\\plain.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
        if (hiddenKept) {
            EXPECT_NE(GetFileAttributesW((out + L"\\sub\\hidden.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
        }
    }
}

TEST(Extraction, ReplacesAReadOnlyFileAlreadyThere) {
    TempDir dir(L"ro");
    const std::wstring archive = dir / L"ro.zip";
    WriteFileBytes(archive, MakeZip({ZipEntry{"keep\\ro.txt", "new content"}}));
    const std::wstring out = dir / L"out";
    WriteFileBytes(out + L"\\keep\\ro.txt", "old");
    ASSERT_TRUE(SetFileAttributesW((out + L"\\keep\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    std::wstring password;
    EXPECT_EQ(extractArchive(archive, Zip, out, password, nullptr), 0);
    EXPECT_EQ(ReadFileBytes(out + L"\\keep\\ro.txt"), "new content");
}

TEST(Extraction, AFolderInTheWayFailsThatItemOnly) {
    TempDir dir(L"inway");
    const std::wstring archive = dir / L"order.zip";
    WriteFileBytes(archive, MakeZip({ZipEntry{"a.txt", "first"}, ZipEntry{"b.txt", "second"},
                                     ZipEntry{"c.txt", "third"}}));
    const std::wstring out = dir / L"out";
    WriteFileBytes(out + L"\\b.txt\\inside.txt", "mine");
    std::wstring password;
    CapturedStdout captured;
    EXPECT_EQ(extractArchive(archive, Zip, out, password, nullptr), 1);
    const std::string text = captured.text();
    EXPECT_NE(text.find("ERROR: Can not delete output file "), std::string::npos) << text;
    EXPECT_NE(text.find("Extract Error"), std::string::npos) << text;
    EXPECT_EQ(ListFilesRecursive(out), (std::vector<std::wstring>{L"a.txt", L"b.txt\\inside.txt", L"c.txt"}));
    EXPECT_EQ(ReadFileBytes(out + L"\\b.txt\\inside.txt"), "mine");
    EXPECT_EQ(ReadFileBytes(out + L"\\c.txt"), "third");
}

TEST(Extraction, DamagedDataIsReportedAsFailure) {
    TempDir dir(L"crc");
    std::string bytes = MakeZip({ZipEntry{"good.txt", "good data"}, ZipEntry{"bad.txt", "data that will be damaged"}});
    const size_t at = bytes.find("data that");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'D';  // the stored CRC no longer matches
    const std::wstring archive = dir / L"crc.zip";
    WriteFileBytes(archive, bytes);
    const std::wstring out = dir / L"out";
    CreateDirectoryW(out.c_str(), nullptr);
    std::wstring password;
    CapturedStdout captured;
    EXPECT_EQ(extractArchive(archive, Zip, out, password, nullptr), 1);
    EXPECT_NE(captured.text().find("CRC Failed"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(out + L"\\good.txt"), "good data");

    // The damaged item is not wanted: the rest extracts without a failure.
    const std::wstring out2 = dir / L"out2";
    CreateDirectoryW(out2.c_str(), nullptr);
    const std::vector<std::wstring> good{L"good.txt"};
    EXPECT_EQ(extractArchive(archive, Zip, out2, password, &good), 0);
}

class ExtractionWithPassword : public testing::TestWithParam<const wchar_t*> {};

TEST_P(ExtractionWithPassword, AsksOnceAndReportsAWrongPasswordAsFailure) {
    TempDir dir(L"pw");
    const std::wstring source = dir / L"src";
    MakeTree(source, {{L"one.txt", "first secret"}, {L"two\\three.txt", std::string(5000, 's')}});
    const std::wstring archive = dir / (std::wstring(L"locked") + GetParam());
    Pack(archive, source, L"-psecret");

    {
        const std::wstring out = dir / L"wrong";
        CreateDirectoryW(out.c_str(), nullptr);
        PasswordAnswer wrong(L"wrong");
        std::wstring password;
        EXPECT_EQ(extractArchive(archive, archiveKindOf(archive), out, password, nullptr), 1);
        EXPECT_EQ(wrong.count(), 1);
        // A password that did not work is not handed back to be used again.
        EXPECT_TRUE(password.empty());
    }
    {
        const std::wstring out = dir / L"refused";
        CreateDirectoryW(out.c_str(), nullptr);
        PasswordAnswer cancel(nullptr);
        std::wstring password;
        EXPECT_EQ(extractArchive(archive, archiveKindOf(archive), out, password, nullptr), 1);
        EXPECT_EQ(cancel.count(), 1);
        EXPECT_TRUE(password.empty());
    }
    {
        const std::wstring out = dir / L"right";
        CreateDirectoryW(out.c_str(), nullptr);
        PasswordAnswer right(L"secret");
        std::wstring password;
        EXPECT_EQ(extractArchive(archive, archiveKindOf(archive), out, password, nullptr), 0);
        EXPECT_EQ(right.count(), 1);
        EXPECT_EQ(password, L"secret");
        EXPECT_EQ(ReadFileBytes(out + L"\\one.txt"), "first secret");
        EXPECT_EQ(ReadFileBytes(out + L"\\two\\three.txt"), std::string(5000, 's'));
    }
    {
        // Known beforehand: not asked.
        const std::wstring out = dir / L"known";
        CreateDirectoryW(out.c_str(), nullptr);
        PasswordAnswer never(L"secret");
        std::wstring password = L"secret";
        EXPECT_EQ(extractArchive(archive, archiveKindOf(archive), out, password, nullptr), 0);
        EXPECT_EQ(never.count(), 0);
        EXPECT_EQ(ListFilesRecursive(out).size(), 2u);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ExtractionWithPassword, testing::Values(L".7z", L".zip"));

TEST(Extraction, EncryptedItemListUsesThePasswordFromOpening) {
    TempDir dir(L"mhe");
    const std::wstring source = dir / L"src";
    MakeTree(source, {{L"a.txt", "aaa"}, {L"b\\c.txt", "ccc"}});
    const std::wstring archive = dir / L"mhe.7z";
    Pack(archive, source, L"-pk3y -mhe=on");
    const std::wstring out = dir / L"out";
    CreateDirectoryW(out.c_str(), nullptr);
    PasswordAnswer answer(L"k3y");
    std::wstring password;
    EXPECT_EQ(extractArchive(archive, SevenZip, out, password, nullptr), 0);
    EXPECT_EQ(answer.count(), 1);
    EXPECT_EQ(password, L"k3y");
    EXPECT_EQ(ReadFileBytes(out + L"\\b\\c.txt"), "ccc");
}

std::wstring ManyFilesZip(const TempDir& dir, int count) {
    std::vector<ZipEntry> entries;
    for (int i = 0; i < count; ++i) {
        std::string name = "f";
        name += std::to_string(i / 100);
        name += '/';
        name += std::to_string(i);
        name += ".txt";
        entries.push_back(ZipEntry{name, std::string(100, 'm')});
    }
    const std::wstring archive = dir / L"many.zip";
    WriteFileBytes(archive, MakeZip(entries));
    return archive;
}

TEST(Extraction, CancelStopsTheEngine) {
    TempDir dir(L"cancel");
    const int total = 3000;
    const std::wstring archive = ManyFilesZip(dir, total);

    // Cancelled before it starts: nothing is written.
    const std::wstring before = dir / L"before";
    CreateDirectoryW(before.c_str(), nullptr);
    ProgressCounters progress;
    ProgressOnThisThread bound(progress);
    progress.cancel = 1;
    std::wstring password;
    EXPECT_EQ(extractArchive(archive, Zip, before, password, nullptr), 1);
    EXPECT_TRUE(ListFilesRecursive(before).empty());

    // Cancelled once the first files have appeared: the rest is never written.
    progress.cancel = 0;
    const std::wstring during = dir / L"during";
    CreateDirectoryW(during.c_str(), nullptr);
    std::atomic<bool> done{false};
    std::thread canceller([&] {
        WaitUntil([&] { return done || PathExists(during + L"\\f0\\5.txt"); }, INFINITE);
        progress.cancel = 1;
    });
    const int result = extractArchive(archive, Zip, during, password, nullptr);
    done = true;
    canceller.join();
    EXPECT_EQ(result, 1);
    const size_t written = ListFilesRecursive(during).size();
    EXPECT_GE(written, 6u);
    EXPECT_LT(written, static_cast<size_t>(total));
}

TEST(Extraction, ProgressReachesTheCounters) {
    TempDir dir(L"progress");
    const std::wstring archive = ManyFilesZip(dir, 50);
    const std::wstring out = dir / L"out";
    CreateDirectoryW(out.c_str(), nullptr);
    ProgressCounters progress;
    ProgressOnThisThread bound(progress);
    std::wstring password;
    EXPECT_EQ(extractArchive(archive, Zip, out, password, nullptr), 0);
    EXPECT_EQ(progress.total.load(), 5000u);
    EXPECT_EQ(progress.completed.load(), 5000u);
}

TEST(Extraction, MissingDestinationIsMadeOnlyOnTheWayToNestedItems) {
    TempDir dir(L"nodest");
    const std::wstring nested = dir / L"nested.zip";
    WriteFileBytes(nested, MakeZip({ZipEntry{"sub/x.txt", "x"}}));
    std::wstring password;
    EXPECT_EQ(extractArchive(nested, Zip, dir / L"new\\deeper", password, nullptr), 0);
    EXPECT_EQ(ReadFileBytes(dir / L"new\\deeper\\sub\\x.txt"), "x");

    const std::wstring flat = dir / L"flat.zip";
    WriteFileBytes(flat, MakeZip({ZipEntry{"x.txt", "x"}}));
    CapturedStdout captured;
    EXPECT_EQ(extractArchive(flat, Zip, dir / L"absent", password, nullptr), 1);
    EXPECT_NE(captured.text().find("can not open output file "), std::string::npos);
    EXPECT_FALSE(PathExists(dir / L"absent"));
}

TEST(Extraction, LongPathsWorkOrFailCleanly) {
    TempDir dir(L"long");
    std::string longName;
    for (int i = 0; i < 8; ++i) longName += std::string(40, static_cast<char>('a' + i)) + "/";
    longName += "file.txt";
    const std::wstring archive = dir / L"long.zip";
    WriteFileBytes(archive, MakeZip({ZipEntry{"short.txt", "s"}, ZipEntry{longName, "deep"}}));
    const std::wstring out = dir / L"out";
    CreateDirectoryW(out.c_str(), nullptr);
    std::wstring password;
    EXPECT_EQ(extractArchive(archive, Zip, out, password, nullptr), 0);
    std::wstring longPath = L"\\\\?\\" + out + L"\\" + Widen(longName);
    std::replace(longPath.begin() + 4, longPath.end(), L'/', L'\\');
    ASSERT_GT(longPath.size(), 330u);
    EXPECT_EQ(ReadFileBytes(longPath), "deep");

    // A single name longer than any file system takes: that item fails, nothing crashes.
    const std::wstring tooLong = dir / L"toolong.zip";
    WriteFileBytes(tooLong, MakeZip({ZipEntry{"first.txt", "1"}, ZipEntry{std::string(300, 'n') + ".txt", "2"}}));
    const std::wstring out2 = dir / L"out2";
    CreateDirectoryW(out2.c_str(), nullptr);
    EXPECT_EQ(extractArchive(tooLong, Zip, out2, password, nullptr), 1);
    EXPECT_EQ(ReadFileBytes(out2 + L"\\first.txt"), "1");
}

TEST(ExtractAll, ChoosesTheHandlerByContentOrDoesNothing) {
    TempDir dir(L"all");
    const std::wstring notArchive = dir / L"data.txt";
    WriteFileBytes(notArchive, "plain text, no archive");
    const std::wstring out = dir / L"out";
    CreateDirectoryW(out.c_str(), nullptr);
    EXPECT_EQ(extractAll(notArchive, out), -1);
    EXPECT_TRUE(ListFilesRecursive(out).empty());
    // A zip named otherwise is a zip all the same.
    const std::wstring disguised = dir / L"data.bin";
    WriteFileBytes(disguised, MakeZip({ZipEntry{"y.txt", "y"}}));
    EXPECT_EQ(extractAll(disguised, out), 0);
    EXPECT_EQ(ReadFileBytes(out + L"\\y.txt"), "y");

    const std::wstring zip = dir / L"data.ZIP";
    WriteFileBytes(zip, MakeZip({ZipEntry{"x.txt", "x"}}));
    EXPECT_EQ(extractAll(zip, out), 0);
    EXPECT_EQ(ReadFileBytes(out + L"\\x.txt"), "x");

    CapturedStdout captured;
    EXPECT_EQ(extractAll(dir / L"missing.7z", out), 1);
    EXPECT_NE(captured.text().find("Can not open archive file"), std::string::npos);
}

TEST(Extraction, NamesEachItemOnStandardOutput) {
    TempDir dir(L"names");
    const std::wstring archive = dir / L"n.zip";
    WriteFileBytes(archive, MakeZip({ZipEntry{"one.txt", "1"}, ZipEntry{"two.txt", "2"}}));
    const std::wstring out = dir / L"out";
    CreateDirectoryW(out.c_str(), nullptr);
    std::wstring password;
    CapturedStdout captured;
    EXPECT_EQ(extractArchive(archive, Zip, out, password, nullptr), 0);
    const std::string text = captured.text();
    EXPECT_NE(text.find("Extracting  one.txt\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Extracting  two.txt\n"), std::string::npos) << text;
}

}  // namespace
