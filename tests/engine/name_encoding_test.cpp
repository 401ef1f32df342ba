// Names of zip entries stored in the code page of the machine that made them: told from their
// bytes, read with that code page (or the one the user chose) by the listing and the extraction.
#include <set>

#include "base/text.h"
#include "engine/archive_name_encoding.h"
#include "engine/extraction.h"
#include "engine_test_util.h"

using namespace enginetest;

namespace {

std::string Encode(const std::wstring& text, unsigned codePage) {
    std::string out(text.size() * 4, '\0');
    out.resize(WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), out.data(), int(out.size()), 0, 0));
    return out;
}

// The names the Linux side stored, per archive (make_linux_archives.py, LEGACY_NAMES).
const std::map<std::wstring, std::pair<unsigned, std::vector<std::wstring>>>& LegacyArchives() {
    static const std::map<std::wstring, std::pair<unsigned, std::vector<std::wstring>>> archives = {
        {L"names-cp932.zip", {932, {L"\u65e5\u672c\u8a9e\u306e\u30d5\u30a1\u30a4\u30eb.txt",
                                    L"\u30d5\u30a9\u30eb\u30c0\\\u30c6\u30b9\u30c8.txt", L"readme.txt",
                                    L"\u8868\u793a.txt"}}},
        {L"names-gbk.zip", {936, {L"\u4e2d\u6587\u6587\u4ef6.txt", L"\u76ee\u5f55\\\u6d4b\u8bd5\u6587\u6863.txt"}}},
        {L"names-cp866.zip", {866, {L"\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440.txt",
                                    L"\u043f\u0430\u043f\u043a\u0430\\\u0434\u043e\u043a\u0443\u043c\u0435\u043d\u0442.txt"}}},
        {L"names-cp437.zip", {437, {L"Caf\u00e9 r\u00e9sum\u00e9.txt", L"M\u00fcller\\Gr\u00f6\u00dfe.txt"}}},
    };
    return archives;
}

std::set<std::wstring> ListedFiles(const std::wstring& archive) {
    ListingResult listing;
    EXPECT_EQ(listArchive(archive, Zip, listing), 0);
    std::set<std::wstring> files;
    for (const ArchiveItem& item : listing.items)
        if (!(item.attributes & FILE_ATTRIBUTE_DIRECTORY)) files.insert(item.path);
    return files;
}

}  // namespace

TEST(NameEncoding, EachNameSetIsToldByItsScript) {
    // Further sets: Big5, Windows Cyrillic, Polish.
    std::vector<std::pair<unsigned, std::vector<std::wstring>>> sets;
    for (const auto& [name, archive] : LegacyArchives()) sets.push_back(archive);
    sets.push_back({950, {L"\u4e2d\u6587\u6a94\u6848.txt", L"\u8cc7\u6599\u593e\\\u6e2c\u8a66.doc"}});
    sets.push_back({1251, {L"\u041e\u0442\u0447\u0451\u0442 \u0437\u0430 \u043c\u0430\u0439.doc"}});
    sets.push_back({1250, {L"Za\u017c\u00f3\u0142\u0107.txt"}});
    for (const auto& [codePage, names] : sets) {
        std::vector<ZipRawName> raw;
        for (const std::wstring& name : names) raw.push_back({Encode(name, codePage), false});
        const NameEncodingGuess guess = guessNameEncoding(raw, 437, 1252);
        EXPECT_TRUE(guess.legacy && guess.codePage == codePage) << names[0];
        ASSERT_FALSE(guess.candidates.empty());
        EXPECT_GT(guess.candidates.front().score, 0.5);
    }
    // On a Russian machine the DOS names are still told from Windows ones, and the other way round.
    EXPECT_EQ(guessNameEncoding({{Encode(L"\u041e\u0442\u0447\u0451\u0442.doc", 1251), false}}, 866, 1251).codePage, 1251u);
    EXPECT_EQ(guessNameEncoding({{Encode(L"\u041e\u0442\u0447\u0451\u0442.doc", 866), false}}, 866, 1251).codePage, 866u);
}

TEST(NameEncoding, Utf8AndPlainNamesNeedNoGuessAndNothingPlausibleFallsToTheOemCodePage) {
    // Flagged names and plain ASCII: nothing to tell.
    NameEncodingGuess guess = guessNameEncoding({{"\xE6\x97\xA5.txt", true}, {"plain.txt", false}}, 437, 1252);
    EXPECT_TRUE(!guess.legacy && guess.codePage == kUtf8CodePage);
    // Valid UTF-8 without the flag is UTF-8.
    guess = guessNameEncoding({{"Caf\xC3\xA9.txt", false}}, 437, 1252);
    EXPECT_TRUE(guess.legacy && guess.codePage == kUtf8CodePage);
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80"));
    for (const char* broken : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE6\x97", "\x80"})
        EXPECT_FALSE(isValidUtf8(broken)) << broken;
    // Box drawing and stray symbols in every reading: nothing is plausible, the OEM code page.
    EXPECT_EQ(guessNameEncoding({{"\xB0\xB1\xB2\xDB\xB0\xB1\xB2", false}}, 850, 1252).codePage, 850u);
}

TEST(NameEncoding, TheDirectoryReaderStaysInsideHostileBytes) {
    const std::string header("PK\x01\x02", 4);
    auto entry = [&](const std::string& name, uint16_t flags, uint16_t declaredLength) {
        std::string h = header + std::string(4, '\0') + char(flags & 0xFF) + char(flags >> 8) + std::string(18, '\0');
        h += char(declaredLength & 0xFF) + std::string(1, char(declaredLength >> 8)) + std::string(16, '\0');
        return h + name;
    };
    std::vector<ZipRawName> names;
    EXPECT_TRUE(parseZipDirectory(entry("a.txt", 0x800, 5) + entry("b", 0, 1), 10, names));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(names[0].utf8 && !names[1].utf8 && names[1].bytes == "b");
    names.clear();
    // A name longer than what is left, a header cut short, a wrong signature: stop, keep the earlier.
    EXPECT_FALSE(parseZipDirectory(entry("a", 0, 1) + entry("xy", 0, 60000), 10, names));
    EXPECT_FALSE(parseZipDirectory(entry("a", 0, 1).substr(0, 30), 10, names));
    EXPECT_FALSE(parseZipDirectory("PK\x03\x04" + std::string(60, '\0'), 10, names));
    EXPECT_EQ(names.size(), 1u);
    // An end record whose comment does not reach the end, or whose directory lies before the file.
    ZipDirectoryPlace place;
    const std::string end("PK\x05\x06\0\0\0\0\0\0\x02\0\x10\0\0\0\0\0\0\0", 20);
    const std::string noComment(2, '\0'), comment("\x05\0", 2);
    EXPECT_TRUE(findZipDirectory(std::string(16, 'x') + end + noComment, 38, place) && place.offset == 0 &&
                place.size == 16);
    EXPECT_FALSE(findZipDirectory(end + comment, 22, place));
    EXPECT_FALSE(findZipDirectory(end + noComment, 22, place));
    EXPECT_FALSE(findZipDirectory("PK\x05\x06", 4, place));
}

TEST(NameEncoding, ZipsOfOtherMachinesListAndExtractWithTheirNamesAndTheChoiceChangesThem) {
    TempDir dir(L"legacy names");
    for (const auto& [file, archive] : LegacyArchives()) {
        const auto& [codePage, names] = archive;
        const std::wstring path = LinuxArchive(file);
        EXPECT_EQ(nameEncodingFor(path).codePage, codePage) << file;
        EXPECT_EQ(ListedFiles(path), std::set<std::wstring>(names.begin(), names.end())) << file;
        // The disk is the oracle: each file holds its own name as the Linux side wrote it.
        const std::wstring out = NewFolder(dir / file);
        ASSERT_EQ(extractAll(path, out), 0) << file;
        const auto files = FilesBelow(out);
        EXPECT_EQ(files.size(), names.size());
        for (const auto& [relative, content] : files) {
            std::wstring written = Utf8ToWide(content).value_or(L"?");
            std::replace(written.begin(), written.end(), L'/', L'\\');
            EXPECT_EQ(relative, written);
        }
    }
    // The user's choice for one archive: its names read in that code page, everywhere, until taken back.
    const std::wstring japanese = LinuxArchive(L"names-cp932.zip");
    chooseNameCodePage(japanese, 437);
    EXPECT_TRUE(nameEncodingFor(japanese).chosen);
    const std::wstring dosName = L"\u00e2t\u00e2H\u00e2\u00ef\u00e2_\\\u00e2e\u00e2X\u00e2g.txt";
    EXPECT_EQ(ListedFiles(japanese).count(dosName), 1u);
    const std::wstring out = NewFolder(dir / L"chosen");
    ASSERT_EQ(extractAll(japanese, out), 0);
    EXPECT_EQ(FilesBelow(out).count(dosName), 1u);
    chooseNameCodePage(japanese, 0);
    EXPECT_EQ(ListedFiles(japanese).count(L"readme.txt"), 1u);
    EXPECT_EQ(nameEncodingFor(japanese).codePage, 932u);
}
