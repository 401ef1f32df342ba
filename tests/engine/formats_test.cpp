// Every family of formats the engine reads opens by its content, lists and extracts: tars and
// the compressed tars around them, single compressed files, Unix archives, split archives from
// their first part, and archives inside programs.
#include "engine/archive_kind.h"
#include "engine/archive_probe.h"
#include "engine/extraction.h"
#include "engine_test_util.h"
#include "ops/fault_texts.h"
#include "support/rar_writer.h"

namespace {

using namespace enginetest;

const std::string kNote = "a single note\n";

// Lists the archive, then extracts it whole into a fresh folder; returns the listing.
ListingResult ListAndExtract(const std::wstring& archive, const std::wstring& out) {
    ListingResult listing;
    EXPECT_EQ(listArchive(archive, archiveKindOf(archive), listing), 0) << Narrow(archive);
    EXPECT_TRUE(listing.damage.none()) << Narrow(archive) << " " << Narrow(ArchiveDamageText(listing.damage));
    CreateDirectoryW(out.c_str(), nullptr);
    std::wstring password;
    EXPECT_EQ(extractArchive(archive, archiveKindOf(archive), out, password, nullptr), 0) << Narrow(archive);
    return listing;
}

TEST(Formats, CompressedTarsShowAndExtractTheTarsContent) {
    TempDir dir(L"ctar");
    const std::vector<std::pair<std::wstring, std::wstring>> archives = {
        {L"tree.tar.gz", L"gzip"}, {L"tree.tgz", L"gzip"}, {L"tree.tar.bz2", L"bzip2"},
        {L"tree.tar.xz", L"xz"},   {L"tree.tar.zst", L"zstd"}, {L"tree.tar.lzma", L"lzma"}};
    for (const auto& [name, outer] : archives) {
        const std::wstring out = dir / name;
        const ListingResult listing = ListAndExtract(LinuxArchive(name), out);
        EXPECT_EQ(listing.format.name, L"tar") << Narrow(name);
        EXPECT_EQ(listing.format.outerName, outer);
        EXPECT_FALSE(listing.format.writable());
        EXPECT_EQ(PathsOf(listing),
                  (std::vector<std::wstring>{L"docs", L"docs\\caf\u00e9.txt", L"docs\\readme.txt", L"top.bin"}));
        EXPECT_EQ(ReadFileBytes(out + L"\\docs\\caf\u00e9.txt"), "caf\xc3\xa9");
        EXPECT_EQ(ReadFileBytes(out + L"\\top.bin").size(), 1024u);
    }
    // One entry viewed on its own, as the view opens it.
    std::wstring password;
    const ExtractionOutcome one =
        extractFileItem(LinuxArchive(L"tree.tar.xz"), None, dir / L"one", password, L"docs\\readme.txt");
    EXPECT_TRUE(one.succeeded());
    EXPECT_EQ(ListFilesRecursive(dir / L"one"), std::vector<std::wstring>{L"docs\\readme.txt"});
}

TEST(Formats, ACompressedFileShowsThatFile) {
    TempDir dir(L"single");
    for (const std::wstring name :
         {L"note.txt.gz", L"note.txt.bz2", L"note.txt.xz", L"note.txt.lzma", L"note.txt.zst"}) {
        const std::wstring out = dir / name;
        const ListingResult listing = ListAndExtract(LinuxArchive(name), out);
        ASSERT_EQ(listing.items.size(), 1u) << Narrow(name);
        // gzip stores the name; the others are named after the archive.
        EXPECT_EQ(listing.items[0].path, L"note.txt") << Narrow(name);
        EXPECT_EQ(ReadFileBytes(out + L"\\note.txt"), kNote) << Narrow(name);
    }
}

TEST(Formats, TarAndWimFromTheArchiverAndUnixArchives) {
    TempDir dir(L"unix");
    MakeTree(dir / L"src", {{L"a.txt", "alpha"}, {L"sub\\b.txt", "beta"}});
    for (const std::wstring type : {L"tar", L"wim"}) {
        const std::wstring archive = dir / (L"made." + type);
        Pack(archive, dir / L"src", L"-t" + type);
        const ListingResult listing = ListAndExtract(archive, dir / (L"out-" + type));
        EXPECT_EQ(listing.format.name, type);
        EXPECT_TRUE(listing.format.writable());
        EXPECT_EQ(ReadFileBytes(dir / (L"out-" + type + L"\\sub\\b.txt")), "beta");
    }
    for (const auto& [name, format] : {std::pair{L"pack.deb", L"Ar"}, std::pair{L"pack.cpio", L"Cpio"}}) {
        const std::wstring out = dir / name;
        const ListingResult listing = ListAndExtract(LinuxArchive(name), out);
        EXPECT_EQ(listing.format.name, format);
        EXPECT_EQ(ReadFileBytes(out + L"\\hello.txt"), "hello\n");
        EXPECT_EQ(ReadFileBytes(out + L"\\data.bin"), std::string("\0\1\2\3\4\5\6", 7));
    }
}

TEST(Formats, SplitArchivesOpenFromTheirFirstPart) {
    TempDir dir(L"split");
    std::string noise;
    for (uint32_t seed = 7, i = 0; i < 40000; ++i) noise += static_cast<char>((seed = seed * 1103515245 + 12345) >> 24);
    MakeTree(dir / L"src", {{L"noise.bin", noise}, {L"small.txt", "small"}});
    Pack(dir / L"set.7z", dir / L"src", L"-t7z -mx0 -v16k");
    ASSERT_TRUE(PathExists(dir / L"set.7z.003"));
    // From the first part, and from a later one (the set is read from its first).
    for (const std::wstring part : {L"set.7z.001", L"set.7z.002"}) {
        const ListingResult listing = ListAndExtract(dir / part, dir / (L"out-" + part));
        EXPECT_EQ(listing.format.name, L"7z");
        EXPECT_GE(listing.format.volumes, 3u);
        EXPECT_FALSE(listing.format.writable());
        EXPECT_EQ(ReadFileBytes(dir / (L"out-" + part + L"\\noise.bin")), noise);
    }
    // A zip spanning .z01 and .zip opens from either.
    for (const std::wstring part : {L"spanned.zip", L"spanned.z01"}) {
        const ListingResult listing = ListAndExtract(LinuxArchive(part), dir / part);
        EXPECT_EQ(listing.format.volumes, 2u);
        EXPECT_EQ(ReadFileBytes(dir / (part + L"\\first.txt")), "in the first part\n");
        EXPECT_EQ(ReadFileBytes(dir / (part + L"\\second.txt")), "in the last part\n");
    }
    // RAR volumes named .partN.rar.
    WriteFileBytes(dir / L"vol.part1.rar", MakeRarVolume({RarEntry{"one.txt", "first volume"}}, 0, false));
    WriteFileBytes(dir / L"vol.part2.rar", MakeRarVolume({RarEntry{"two.txt", "second volume"}}, 1, true));
    const ListingResult rar = ListAndExtract(dir / L"vol.part1.rar", dir / L"rar");
    EXPECT_EQ(PathsOf(rar), (std::vector<std::wstring>{L"one.txt", L"two.txt"}));
    EXPECT_EQ(ReadFileBytes(dir / L"rar\\two.txt"), "second volume");
}

TEST(Formats, AProgramCarryingAnArchiveOpensAsThatArchive) {
    TempDir dir(L"sfx");
    MakeTree(dir / L"src", {{L"payload.txt", "inside the program"}});
    const std::string stub = ReadFileBytes(BinDir() + L"\\raw_launch.exe");
    ASSERT_FALSE(stub.empty());
    for (const std::wstring type : {L"7z", L"zip"}) {
        Pack(dir / (L"payload." + type), dir / L"src", L"-t" + type);
        const std::wstring program = dir / (L"setup-" + type + L".exe");
        WriteFileBytes(program, stub + ReadFileBytes(dir / (L"payload." + type)));
        // A program is started by the shell, unless the user asks to open it as an archive.
        EXPECT_EQ(guessArchiveFile(program), ArchiveGuess::NotArchive);
        const ListingResult listing = ListAndExtract(program, dir / (L"out-" + type));
        EXPECT_EQ(listing.format.name, type);
        EXPECT_TRUE(listing.format.embedded);
        EXPECT_EQ(ReadFileBytes(dir / (L"out-" + type + L"\\payload.txt")), "inside the program");
    }
    // A plain program shows its own sections, and no file beside it is touched.
    ListingResult plain;
    EXPECT_EQ(listArchive(BinDir() + L"\\raw_launch.exe", None, plain), 0);
    EXPECT_EQ(plain.format.name, L"PE");
}

}  // namespace
