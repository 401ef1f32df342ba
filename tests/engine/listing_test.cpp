// Listing real archives made at test time by 7z.exe (zip, 7z) and by the tests' own RAR writer.
#include <gtest/gtest.h>

#include "engine/archive_listing.h"
#include "engine_test_util.h"
#include "support/rar_writer.h"
#include "support/zip_writer.h"

using namespace enginetest;

namespace {

const std::wstring kAccented = L"caf\u00e9 \u00e0 l'\u00e9t\u00e9.txt";
const std::wstring kCjk = L"\u6587\u4ef6\u5939";
const std::wstring kEmoji = L"smile \U0001F600.txt";

Tree SampleTree() {
    return {{L"a.txt", "hello"},
            {L"docs\\b.txt", "12345678"},
            {L"docs\\deep\\c.bin", std::string(1000, 'x')},
            {L"empty\\", ""},
            {kAccented, "accent"},
            {kCjk + L"\\" + kEmoji, "emoji"}};
}

bool IsDigits(const std::wstring& text) {
    return !text.empty() && text.find_first_not_of(L"0123456789") == std::wstring::npos;
}

bool LooksLikeDate(const std::wstring& t) {
    return t.size() == 10 && iswdigit(t[0]) && iswdigit(t[3]) && t[4] == L'-' && t[7] == L'-' && iswdigit(t[9]);
}

bool LooksLikeClock(const std::wstring& t) {
    return t.size() == 8 && t[2] == L':' && t[5] == L':' && iswdigit(t[0]) && iswdigit(t[7]);
}

class ListingOf7zipArchives : public testing::TestWithParam<const wchar_t*> {};

TEST_P(ListingOf7zipArchives, ListsEveryItemWithPathsSizesFoldersAndTimes) {
    TempDir dir(L"list");
    const std::wstring source = dir / L"src";
    MakeTree(source, SampleTree());
    const std::wstring archive = dir / (std::wstring(L"sample") + GetParam());
    Pack(archive, source);

    ListingResult result;
    ASSERT_EQ(listArchive(archive, archiveKindOf(archive), result), 0);
    std::vector<std::wstring> expected{L"a.txt",  L"docs",        L"docs\\b.txt", L"docs\\deep", L"docs\\deep\\c.bin",
                                       L"empty",  kAccented,      kCjk,           kCjk + L"\\" + kEmoji};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(PathsOf(result), expected);
    EXPECT_TRUE(result.password.empty());

    const ArchiveItem* b = FindItem(result, L"docs\\b.txt");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->size, L"8");
    EXPECT_EQ(b->attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_TRUE(LooksLikeDate(b->modifiedDate)) << b->modifiedDate;
    EXPECT_TRUE(LooksLikeClock(b->modifiedTime)) << b->modifiedTime;
    EXPECT_NE(b->modified, 0u);

    const ArchiveItem* c = FindItem(result, L"docs\\deep\\c.bin");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->size, L"1000");

    for (const wchar_t* folder : {L"docs", L"docs\\deep", L"empty"}) {
        const ArchiveItem* item = FindItem(result, folder);
        ASSERT_NE(item, nullptr) << folder;
        EXPECT_NE(item->attributes & FILE_ATTRIBUTE_DIRECTORY, 0u) << folder;
    }
    // Sizes and packed sizes are plain decimal digits wherever the engine gives them.
    for (const ArchiveItem& item : result.items) {
        if (!item.size.empty()) {
            EXPECT_TRUE(IsDigits(item.size)) << item.size;
        }
        if (!item.packedSize.empty()) {
            EXPECT_TRUE(IsDigits(item.packedSize)) << item.packedSize;
        }
    }
    // The emoji survives as its surrogate pair.
    EXPECT_NE(FindItem(result, kCjk + L"\\" + kEmoji), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Formats, ListingOf7zipArchives, testing::Values(L".zip", L".7z"));

std::vector<RarEntry> RarSample() {
    return {
        {"docs", "", true, 0x20, 1300000000},
        {"docs/a.txt", "alpha", false, 0x21, 1300000000},
        {"\xe6\x96\x87\xe4\xbb\xb6/caf\xc3\xa9 \xf0\x9f\x98\x80.txt", "non-ascii", false, 0x20, 1299215167},
        {"top.bin", std::string(3000, 'z'), false, 0x20, 1300000000},
    };
}

void ExpectRarSampleListing(const ListingResult& result) {
    ASSERT_EQ(result.items.size(), 4u);
    EXPECT_EQ(result.items[0].path, L"docs");
    EXPECT_NE(result.items[0].attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(result.items[1].path, L"docs\\a.txt");
    EXPECT_EQ(result.items[1].size, L"5");
    EXPECT_EQ(result.items[1].attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY),
              static_cast<uint32_t>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(result.items[2].path, L"\u6587\u4ef6\\caf\u00e9 \U0001F600.txt");
    EXPECT_EQ(result.items[3].size, L"3000");
    EXPECT_TRUE(LooksLikeDate(result.items[3].modifiedDate));
}

TEST(Listing, ReadsRar5ArchivesFromTheTestsOwnWriter) {
    TempDir dir(L"rar");
    const std::wstring archive = dir / L"sample.rar";
    WriteFileBytes(archive, MakeRar(RarSample()));
    ListingResult result;
    ASSERT_EQ(listArchive(archive, Rar, result), 0);
    ExpectRarSampleListing(result);
    // 1299215167 is 2011-03-04 05:06:07 UTC; RAR 5 keeps Unix (UTC) times.
    EXPECT_EQ(result.items[2].modifiedDate, L"2011-03-04");
    EXPECT_EQ(result.items[2].modifiedTime, L"05:06:07");
}

TEST(Listing, ReadsRar4ArchivesFromTheTestsOwnWriter) {
    TempDir dir(L"rar4");
    const std::wstring archive = dir / L"sample.RAR";
    WriteFileBytes(archive, MakeRar4(RarSample()));
    ListingResult result;
    ASSERT_EQ(listArchive(archive, archiveKindOf(archive), result), 0);
    ExpectRarSampleListing(result);
}

TEST(Listing, EmptyArchivesListWithoutItems) {
    TempDir dir(L"empty");
    const std::wstring zip = dir / L"empty.zip";
    WriteFileBytes(zip, MakeZip({}));
    ListingResult zipResult;
    EXPECT_EQ(listArchive(zip, Zip, zipResult), 0);
    EXPECT_TRUE(zipResult.items.empty());

    // A 7z archive whose only item was deleted again.
    const std::wstring source = dir / L"src";
    MakeTree(source, {{L"only.txt", "x"}});
    const std::wstring sevenZip = dir / L"empty.7z";
    Pack(sevenZip, source);
    const ProcessResult deleted = Run7z(L"d -y " + Quote(sevenZip) + L" only.txt");
    ASSERT_EQ(deleted.exitCode, 0u) << deleted.output;
    ListingResult sevenResult;
    EXPECT_EQ(listArchive(sevenZip, SevenZip, sevenResult), 0);
    EXPECT_TRUE(sevenResult.items.empty());
}

TEST(Listing, SevenZipTimesAreUtcWhateverTheTimeZone) {
    TempDir dir(L"time");
    const std::wstring source = dir / L"src";
    MakeTree(source, {{L"stamp.txt", "t"}});
    SetModifiedUtc(source + L"\\stamp.txt", 2011, 3, 4, 5, 6, 7);
    const std::wstring archive = dir / L"time.7z";
    Pack(archive, source);

    ListingResult result;
    ASSERT_EQ(listArchive(archive, SevenZip, result), 0);
    const ArchiveItem* item = FindItem(result, L"stamp.txt");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->modifiedDate, L"2011-03-04");
    EXPECT_EQ(item->modifiedTime, L"05:06:07");
    EXPECT_EQ(item->modified, FileTimeValue(2011, 3, 4, 5, 6, 7));
}

TEST(Listing, EncryptedContentListsWithoutAskingForThePassword) {
    TempDir dir(L"enc");
    const std::wstring source = dir / L"src";
    MakeTree(source, {{L"secret.txt", "classified"}, {L"sub\\more.txt", "more"}});
    const std::wstring archive = dir / L"content.7z";
    Pack(archive, source, L"-psecret");

    PasswordAnswer answer(L"secret");
    ListingResult result;
    ASSERT_EQ(listArchive(archive, SevenZip, result), 0);
    EXPECT_EQ(answer.count(), 0);
    EXPECT_TRUE(result.password.empty());
    ASSERT_NE(FindItem(result, L"sub\\more.txt"), nullptr);
    EXPECT_EQ(FindItem(result, L"secret.txt")->size, L"10");
}

TEST(Listing, EncryptedItemListAsksOnceAndReturnsThePassword) {
    TempDir dir(L"mhe");
    const std::wstring source = dir / L"src";
    MakeTree(source, {{L"a.txt", "a"}, {L"b\\c.txt", "c"}});
    const std::wstring archive = dir / L"headers.7z";
    Pack(archive, source, L"-pT0p-s\u00e9cret -mhe=on");

    PasswordAnswer answer(L"T0p-s\u00e9cret");
    ListingResult result;
    ASSERT_EQ(listArchive(archive, SevenZip, result), 0);
    EXPECT_EQ(answer.count(), 1);
    EXPECT_EQ(result.password, L"T0p-s\u00e9cret");
    EXPECT_EQ(PathsOf(result), (std::vector<std::wstring>{L"a.txt", L"b", L"b\\c.txt"}));

    // Known now: a second listing does not ask again.
    ListingResult again;
    again.password = result.password;
    ASSERT_EQ(listArchive(archive, SevenZip, again), 0);
    EXPECT_EQ(answer.count(), 1);
    EXPECT_EQ(again.items.size(), 3u);
}

TEST(Listing, RefusedOrWrongPasswordFailsAndLeavesTheResultAlone) {
    TempDir dir(L"refuse");
    const std::wstring source = dir / L"src";
    MakeTree(source, {{L"a.txt", "a"}});
    const std::wstring archive = dir / L"headers.7z";
    Pack(archive, source, L"-pright -mhe=on");

    ListingResult result;
    result.items.push_back(ArchiveItem{L"kept", 0, L"1", L"1", L"2000-01-01", L"00:00:00", 1});
    {
        PasswordAnswer cancel(nullptr);
        CapturedStdout out;
        EXPECT_EQ(listArchive(archive, SevenZip, result), 1);
        EXPECT_EQ(cancel.count(), 1);
        EXPECT_NE(out.text().find("Can not open archive"), std::string::npos);
    }
    ASSERT_EQ(result.items.size(), 1u);
    EXPECT_EQ(result.items[0].path, L"kept");
    EXPECT_TRUE(result.password.empty());

    {
        PasswordAnswer wrong(L"wrong");
        EXPECT_EQ(listArchive(archive, SevenZip, result), 1);
        EXPECT_EQ(wrong.count(), 1);
    }
    EXPECT_EQ(result.items.size(), 1u);
    EXPECT_TRUE(result.password.empty());
}

TEST(Listing, FailuresAreNamedOnStandardOutput) {
    TempDir dir(L"fail");
    ListingResult result;
    {
        CapturedStdout out;
        EXPECT_EQ(listArchive(dir / L"missing.zip", Zip, result), 1);
        EXPECT_NE(out.text().find("Can not open archive file"), std::string::npos);
    }
    const std::wstring text = dir / L"notes.txt";
    WriteFileBytes(text, "just text");
    {
        CapturedStdout out;
        EXPECT_EQ(listArchive(text, archiveKindOf(text), result), 1);
        EXPECT_NE(out.text().find("Can not get class object"), std::string::npos);
    }
    // Text named .zip: the zip handler is tried and refuses it.
    const std::wstring fake = dir / L"fake.zip";
    WriteFileBytes(fake, "just text");
    {
        CapturedStdout out;
        EXPECT_EQ(listArchive(fake, archiveKindOf(fake), result), 1);
        EXPECT_NE(out.text().find("Can not open archive"), std::string::npos);
    }
    EXPECT_TRUE(result.items.empty());
    // A 7z archive named .zip is found by its content.
    const std::wstring source = dir / L"src";
    MakeTree(source, {{L"a.txt", "a"}});
    const std::wstring disguised = dir / L"real7z.zip";
    Pack(disguised, source, L"-t7z");
    ASSERT_EQ(listArchive(disguised, archiveKindOf(disguised), result), 0);
    EXPECT_EQ(result.format.name, L"7z");
    ASSERT_EQ(result.items.size(), 1u);
    EXPECT_EQ(result.items[0].path, L"a.txt");
}

TEST(Listing, LoadsAndFreesTheEngineForEachListing) {
    TempDir dir(L"lib");
    const std::wstring archive = dir / L"one.zip";
    WriteFileBytes(archive, MakeZip({ZipEntry{"one.txt", "1"}}));
    for (int round = 0; round < 2; ++round) {
        ListingResult result;
        ASSERT_EQ(listArchive(archive, Zip, result), 0);
        EXPECT_EQ(result.items.size(), 1u);
        EXPECT_EQ(GetModuleHandleW(engineLibraryPath().c_str()), nullptr);
    }
    EXPECT_EQ(engineLibraryPath(), BinDir() + L"\\core\\7z.dll");
}

}  // namespace
