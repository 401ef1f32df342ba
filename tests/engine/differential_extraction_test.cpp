// The program's extraction against the archiver's, file by file (names and bytes), over archives
// holding every kind of entry the engine reports. Where the two differ on purpose the rule is
// stated here; any other difference is an entry this program does not handle as it should.
#include <gtest/gtest.h>

#include "base/paths.h"
#include "engine/extraction.h"
#include "engine_test_util.h"

using namespace enginetest;

namespace {

using Files = std::map<std::wstring, std::string>;

TEST(DifferentialExtraction, WritesWhatTheArchiverWritesSaveForTheStatedRules) {
    TempDir dir(L"differential");
    // What the archiver packs here: files, an empty file and folder, a Unicode name, a path longer
    // than 260 units, a hard link, and files that are renamed inside the archive to the 8.3 alias
    // of longfilename.txt, a name with a stream suffix and a device name.
    const std::wstring src = dir / L"src";
    std::wstring longPath;
    for (wchar_t c : {L'v', L'w', L'x', L'y', L'z'}) longPath += std::wstring(60, c) + L"\\";
    MakeTree(L"\\\\?\\" + src, {{L"file.txt", "plain"}, {L"empty.txt", ""}, {L"folder\\", ""},
                                {L"dir\\nested.bin", std::string(5000, 'n')}, {L"caf\u00e9 \u6587.txt", "unicode"},
                                {longPath + L"long.txt", "far down"}, {L"longfilename.txt", "first"},
                                {L"zz1.txt", "second"}, {L"zz2.txt", "a stream"}, {L"zz3.txt", "a device"}});
    CreateHardLinkW((src + L"\\hard.txt").c_str(), (src + L"\\file.txt").c_str(), nullptr);
    wchar_t shortPath[MAX_PATH] = {};
    GetShortPathNameW((src + L"\\longfilename.txt").c_str(), shortPath, MAX_PATH);
    const std::wstring alias = FileNameOf(shortPath);
    const auto pack = [&](const std::wstring& type) {
        const std::wstring archive = dir / (L"x." + type);
        const std::wstring first = L" file.txt empty.txt folder dir hard.txt longfilename.txt \"caf\u00e9 \u6587.txt\" ";
        // The archiver keeps names in order: the three to be renamed come last.
        EXPECT_EQ(Run7z(L"a -snh -t" + type + L" " + Quote(archive) + first + longPath.substr(0, 60) + L" zz*.txt", src).exitCode, 0u);
        EXPECT_EQ(Run7z(L"rn " + Quote(archive) + L" zz1.txt " + alias + L" zz2.txt file.txt:stream zz3.txt aux.txt").exitCode, 0u);
        return archive;
    };
    const std::wstring tar = pack(L"tar");
    EXPECT_EQ(Run7z(L"a -tgzip " + Quote(dir / L"x.tar.gz") + L" " + Quote(tar)).exitCode, 0u);

    // Rules by which the program differs on purpose:
    // - a symbolic link becomes a file holding the path it points to; the archiver (which cannot
    //   make links under Wine) leaves an empty file;
    const Files symbolicLinks{{L"inside", "data.txt"}, {L"outside", "../../escaped"}, {L"absolute", "/tmp"}};
    // - an item named with another file's 8.3 alias never replaces that file: where the archiver
    //   deleted longfilename.txt to write the item, the program writes the item as
    //   "<alias stem> (2).<ext>" beside it;
    const size_t dot = alias.rfind(L'.');
    const std::wstring aliasRenamed = alias.substr(0, dot) + L" (2)" + alias.substr(dot);
    // - a compressed tar shows the tar's items: the archiver unpacks the stream, then the tar.
    // (Both write a device name with a "_" in front and a stream suffix's ":" as "_".)
    const std::pair<std::wstring, std::wstring> rows[] = {  // the archive, and the tar inside it
        {pack(L"zip"), L""}, {pack(L"7z"), L""}, {tar, L""}, {dir / L"x.tar.gz", L"x.tar"},
        {LinuxArchive(L"links.tar"), L""}, {LinuxArchive(L"links.tar.gz"), L"links.tar"},
        {LinuxArchive(L"links.zip"), L""}, {MakeDifferentialArchive(dir), L""}};
    for (const auto& [archive, innerTar] : rows) {
        const std::wstring name = FileNameOf(archive);
        SCOPED_TRACE(Narrow(name));
        std::wstring archiverInput = archive;
        if (!innerTar.empty()) {
            EXPECT_EQ(Run7z(L"x -o" + Quote(dir / (L"gz-" + name)) + L" " + Quote(archive)).exitCode, 0u);
            archiverInput = dir / (L"gz-" + name + L"\\" + innerTar);
        }
        Files expected = ArchiverExtracts(archiverInput, dir / (L"7z-" + name));
        ASSERT_FALSE(expected.empty());
        for (const auto& [link, target] : symbolicLinks) {
            if (!expected.count(link)) continue;
            EXPECT_EQ(expected[link], "");
            expected[link] = target;
        }
        if (expected.count(alias) && !expected.count(L"longfilename.txt")) {
            expected.erase(alias);
            expected[L"longfilename.txt"] = "first";
            expected[aliasRenamed] = "second";
        }
        extractAll(archive, NewFolder(dir / (L"out-" + name)));
        EXPECT_EQ(FilesBelow(dir / (L"out-" + name)), expected);
    }
}

}  // namespace
