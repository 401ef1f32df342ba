// The choices of a new archive and the update modes, read back from what the archiver wrote
// (7z.exe l -slt) and from the disk.
#include "catalog/item_catalog.h"
#include "ops/creation_options.h"
#include "ops_test_util.h"

#include <thread>

#include "base/handles.h"

using namespace opstest;

namespace {

// The technical listing of 7z.exe: "Key = value" lines of the archive and of every item.
std::string Slt(const std::wstring& archive, const std::wstring& password = L"none") {
    return Run7z(L"l -slt -sccUTF-8 " + Quote(L"-p" + password) + L" -- " + Quote(archive)).output;
}

bool Has(const std::string& text, const std::string& line) { return text.find(line) != std::string::npos; }

OperationOutcome Create(const std::wstring& archive, const std::vector<std::wstring>& paths,
                        const CreationOptions& options, const std::wstring& password = L"") {
    ItemCatalog catalog;
    return AddFilesToArchive(catalog, archive, paths, password, options);
}

void SetAge(const std::wstring& path, int hoursAgo) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= static_cast<ULONGLONG>(hoursAgo) * 36000000000ull;
    FILETIME then{t.LowPart, t.HighPart};
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &then);
    CloseHandle(file);
}

}  // namespace

TEST(CreationChoices, FormatMethodSolidEncryptionAndVolumesReachTheArchive) {
    AppDialogs dialogs;
    TempDir source(L"src"), work(L"new");
    MakeTree(source.path(), {{L"a.txt", std::string(5000, 'a')}, {L"dir\\b.txt", "b"}});
    const std::vector<std::wstring> both = {source / L"a.txt", source / L"dir"};

    CreationOptions sevenZip;
    sevenZip.format = L"7z";
    sevenZip.level = 9;
    sevenZip.method = L"PPMd";
    sevenZip.solid = false;
    sevenZip.encryptNames = true;
    EXPECT_TRUE(Create(work / L"x.7z", both, sevenZip, L"pw").done());
    const std::string listed = Slt(work / L"x.7z", L"pw");
    EXPECT_TRUE(Has(listed, "Method = PPMD")) << listed;
    EXPECT_TRUE(Has(listed, "7zAES")) << listed;
    EXPECT_TRUE(Has(listed, "Solid = -")) << listed;
    EXPECT_TRUE(EntriesOf(work / L"x.7z").empty()) << "the names are encrypted";
    EXPECT_EQ(ContentsOf(work / L"x.7z", L"pw").size(), 2u);

    CreationOptions zip;  // AES-256 unless ZipCrypto is asked for
    EXPECT_TRUE(Create(work / L"aes.zip", both, zip, L"pw").done());
    EXPECT_TRUE(Has(Slt(work / L"aes.zip", L"pw"), "Method = AES-256 Deflate"));
    zip.encryption = L"ZipCrypto";
    zip.method = L"BZip2";
    EXPECT_TRUE(Create(work / L"weak.zip", both, zip, L"pw").done());
    EXPECT_TRUE(Has(Slt(work / L"weak.zip", L"pw"), "Method = ZipCrypto BZip2"));

    CreationOptions tar;
    tar.format = L"tar";
    EXPECT_TRUE(Create(work / L"t.tar", both, tar).done());
    EXPECT_TRUE(Has(Slt(work / L"t.tar"), "Type = tar"));
    CreationOptions gzip;
    gzip.format = L"gzip";
    EXPECT_TRUE(Create(work / L"a.txt.gz", {source / L"a.txt"}, gzip).done());
    EXPECT_TRUE(Has(Slt(work / L"a.txt.gz"), "Type = gzip"));
    EXPECT_EQ(ContentsOf(work / L"a.txt.gz").begin()->second, std::string(5000, 'a'));

    MakeTree(source.path(), {{L"big.bin", IncompressibleBytes(300000, 7)}});
    CreationOptions split;
    split.format = L"7z";
    split.volumeSize = 100000;
    EXPECT_TRUE(Create(work / L"s.7z", {source / L"big.bin"}, split).done());
    EXPECT_FALSE(PathExists(work / L"s.7z"));
    EXPECT_TRUE(PathExists(work / L"s.7z.004"));
    EXPECT_TRUE(Has(Slt(work / L"s.7z.001"), "Volumes = 4"));
    EXPECT_EQ(ContentsOf(work / L"s.7z.001")[L"big.bin"], IncompressibleBytes(300000, 7));
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST(CreationChoices, UpdateModesAndDeletingTheAddedFiles) {
    AppDialogs dialogs;
    TempDir source(L"src"), work(L"upd");
    const Tree original = {{L"a.txt", "old a"}, {L"b.txt", "b"}, {L"dir\\gone.txt", "g"}, {L"dir\\kept.txt", "k"}};
    MakeTree(source.path(), original);
    for (const auto& [path, content] : original) SetAge(source / path, 5);
    // The archive's entries are as old as the files were.
    const std::wstring pristine = work / L"pristine.zip", archive = work / L"u.zip";
    Run7z(L"a -tzip " + Quote(pristine) + L" a.txt b.txt dir", source.path());
    const auto reset = [&] { CopyFileW(pristine.c_str(), archive.c_str(), FALSE); };
    // On disk now: a.txt newer, c.txt new, dir\gone.txt gone.
    MakeTree(source.path(), {{L"a.txt", "newer a"}, {L"c.txt", "c"}});
    DeleteFileW((source / L"dir\\gone.txt").c_str());
    const std::vector<std::wstring> named = {source / L"a.txt", source / L"c.txt", source / L"dir"};

    CreationOptions options;
    options.mode = UpdateMode::Freshen;
    reset();
    EXPECT_TRUE(Create(archive, named, options).done());
    Tree expected = original;
    expected[L"a.txt"] = "newer a";
    EXPECT_EQ(ContentsOf(archive), expected) << "freshen replaces older entries and adds nothing";

    options.mode = UpdateMode::Update;
    reset();
    EXPECT_TRUE(Create(archive, named, options).done());
    expected[L"c.txt"] = "c";
    EXPECT_EQ(ContentsOf(archive), expected);

    options.mode = UpdateMode::Synchronize;
    reset();
    EXPECT_TRUE(Create(archive, named, options).done());
    expected.erase(L"dir\\gone.txt");
    EXPECT_EQ(ContentsOf(archive), expected) << "synchronize drops what is gone below the named items";

    // Deleting after compression: the files go once the archive holds them.
    CreationOptions removing;
    removing.format = L"7z";
    removing.deleteAfter = true;
    EXPECT_TRUE(Create(work / L"moved.7z", {source / L"c.txt", source / L"dir"}, removing).done());
    EXPECT_EQ(ContentsOf(work / L"moved.7z"), (Tree{{L"c.txt", "c"}, {L"dir\\kept.txt", "k"}}));
    EXPECT_FALSE(PathExists(source / L"c.txt"));
    EXPECT_FALSE(PathExists(source / L"dir"));
    EXPECT_TRUE(PathExists(source / L"a.txt"));
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST(CreationChoices, ChoicesThatCannotBeCarriedOutAreExplained) {
    CreationContext several{2, false, false, L"", true, false, false};
    CreationOptions options;
    options.format = L"gzip";
    EXPECT_NE(CreationProblem(options, several).find(L"exactly one file"), std::wstring::npos);
    options.format = L"tar";
    several.hasPassword = true;
    EXPECT_NE(CreationProblem(options, several).find(L"cannot be encrypted"), std::wstring::npos);
    options.format = L"zip";
    options.encryptNames = true;
    EXPECT_NE(CreationProblem(options, several), L"");
    options.format = L"7z";
    EXPECT_EQ(CreationProblem(options, several), L"");
    options.mode = UpdateMode::Freshen;
    EXPECT_NE(CreationProblem(options, several), L"") << "nothing to freshen in a new archive";
    EXPECT_EQ(ParseVolumeSize(L"10M"), 10u << 20);
    EXPECT_EQ(ParseVolumeSize(L"1.5 KB"), 1536u);
    EXPECT_EQ(ParseVolumeSize(L"650M - CD"), 650u << 20);
    EXPECT_FALSE(ParseVolumeSize(L"0"));
    EXPECT_FALSE(ParseVolumeSize(L"ten"));
    EXPECT_FALSE(ParseVolumeSize(L"99999999999999999999G"));
}

// Files go after compression only when the archive holds their bytes: a name, a size and a time
// prove nothing.
TEST(CreationChoices, DeletingAfterCompressionKeepsEveryFileTheArchiveDoesNotHold) {
    TempDir source(L"src"), work(L"del");
    // The same name, size and time in two folders, different bytes: the later replaces the earlier.
    MakeTree(source.path(), {{L"X\\log.txt", "from X"}, {L"Y\\log.txt", "from Y"}, {L"cfg.txt", "old!"}});
    const FILETIME when{0x5A5A0000u, 0x01D5A000u};
    for (const wchar_t* name : {L"X\\log.txt", L"Y\\log.txt", L"cfg.txt"}) {
        UniqueHandle file(CreateFileW((source / name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
        SetFileTime(file.get(), nullptr, nullptr, &when);
    }
    CreationOptions removing;
    removing.deleteAfter = true;
    Told told;
    EXPECT_TRUE(told(Create(work / L"out.zip", {source / L"X\\log.txt", source / L"Y\\log.txt"}, removing)).done());
    EXPECT_EQ(ContentsOf(work / L"out.zip"), (Tree{{L"log.txt", "from Y"}}));
    EXPECT_EQ(ReadFileBytes(source / L"X\\log.txt"), "from X") << "the archive does not hold these bytes";
    EXPECT_FALSE(PathExists(source / L"Y\\log.txt"));
    ASSERT_EQ(told.messages().size(), 1u);
    EXPECT_NE(told.messages()[0].find(source / L"X\\log.txt"), std::wstring::npos) << Narrow(told.messages()[0]);

    // Update mode keeps the entry of a file whose size and time are the entry's: the file, whose
    // bytes differ, stays.
    Run7z(L"a -tzip " + Quote(work / L"cfg.zip") + L" cfg.txt", source.path());
    WriteFileBytes(source / L"cfg.txt", "new!");
    {
        UniqueHandle file(CreateFileW((source / L"cfg.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                      0, nullptr));
        SetFileTime(file.get(), nullptr, nullptr, &when);
    }
    removing.mode = UpdateMode::Update;
    EXPECT_TRUE(Create(work / L"cfg.zip", {source / L"cfg.txt"}, removing).done());
    EXPECT_EQ(ContentsOf(work / L"cfg.zip"), (Tree{{L"cfg.txt", "old!"}}));
    EXPECT_EQ(ReadFileBytes(source / L"cfg.txt"), "new!");

    // A file rewritten while it is compressed: whatever the archiver read, the file goes only when
    // the archive holds the bytes it ends with.
    const std::string before = IncompressibleBytes(40 << 20, 1), after = IncompressibleBytes(40 << 20, 2);
    WriteFileBytes(source / L"big.bin", before);
    std::atomic<bool> rewritten{false};
    std::thread writer([&] {
        WaitUntil([&] { return !ProcessesNamed(L"7z.exe").empty(); }, kLongPatienceMs);
        // In place, as an editor that saves over the file does; tried until the archiver lets it.
        WaitUntil([&] {
            UniqueHandle file(CreateFileW((source / L"big.bin").c_str(), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
            DWORD written = 0;
            if (!file) return GetLastError() != ERROR_SHARING_VIOLATION;  // gone: never rewritten
            rewritten = WriteFile(file.get(), after.data(), static_cast<DWORD>(after.size()), &written, nullptr) &&
                        written == after.size();
            return true;
        }, kLongPatienceMs);
    });
    removing.mode = UpdateMode::AddAndReplace;
    removing.format = L"7z";
    const OperationOutcome big = Create(work / L"big.7z", {source / L"big.bin"}, removing);
    writer.join();
    ASSERT_TRUE(big.done());
    const std::string held = ContentsOf(work / L"big.7z")[L"big.bin"];
    if (!PathExists(source / L"big.bin")) {
        EXPECT_TRUE(held == (rewritten ? after : before)) << "deleted, so the archive must hold what the file last held";
    }
}
