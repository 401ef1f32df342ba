// Archives whose item paths try to leave the destination or to be taken for something else.
// They are written byte by byte, since no archiver writes such names on purpose.
#include <gtest/gtest.h>

#include "damaged_archives.h"
#include "engine/extraction.h"
#include "engine_test_util.h"
#include "support/zip_writer.h"

using namespace enginetest;

namespace {

// Everything below `folder` except what lies below `excluded` (a direct child name).
std::vector<std::wstring> EverythingBut(const std::wstring& folder, const std::wstring& excluded) {
    std::vector<std::wstring> out;
    for (const std::wstring& path : ListFilesRecursive(folder))
        if (path.compare(0, excluded.size() + 1, excluded + L"\\") != 0) out.push_back(path);
    return out;
}

bool AnyEscapeIn(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\tolvane-escape-*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

class HostilePaths : public testing::Test {
protected:
    void SetUp() override {
        parent_ = std::make_unique<TempDir>(L"hostile");
        out_ = *parent_ / L"dest";
        CreateDirectoryW(out_.c_str(), nullptr);
        // Bait beside the destination: anything escaping would land next to it or replace it.
        WriteFileBytes(*parent_ / L"bait.txt", "bait");
        WriteFileBytes(*parent_ / L"sibling\\x", "sibling");
        before_ = EverythingBut(parent_->path(), L"dest");
    }

    void ExpectNothingOutside() {
        EXPECT_EQ(EverythingBut(parent_->path(), L"dest"), before_);
        EXPECT_EQ(ReadFileBytes(*parent_ / L"bait.txt"), "bait");
        const std::wstring grandParent = parent_->path().substr(0, parent_->path().find_last_of(L'\\'));
        EXPECT_FALSE(AnyEscapeIn(grandParent));
        EXPECT_FALSE(AnyEscapeIn(L"C:"));
        EXPECT_FALSE(AnyEscapeIn(L"C:\\windows"));
        EXPECT_FALSE(AnyEscapeIn(L"Z:"));
        EXPECT_FALSE(AnyEscapeIn(L"Z:\\tmp"));
    }

    int Extract(const std::vector<ZipEntry>& entries) {
        const std::wstring archive = *parent_ / L"hostile.zip";
        WriteFileBytes(archive, MakeZip(entries));
        std::wstring password;
        const int result = extractArchive(archive, Zip, out_, password, nullptr);
        DeleteFileW(archive.c_str());
        return result;
    }

    std::unique_ptr<TempDir> parent_;
    std::wstring out_;
    std::vector<std::wstring> before_;
};

TEST_F(HostilePaths, NothingIsWrittenOutsideTheDestination) {
    const int result = Extract({
        ZipEntry{"..\\tolvane-escape-1.txt", "1"},
        ZipEntry{"../tolvane-escape-2.txt", "2"},
        ZipEntry{"C:\\tolvane-escape-3.txt", "3"},
        ZipEntry{"\\tolvane-escape-4.txt", "4"},
        ZipEntry{"\\\\server\\share\\tolvane-escape-5.txt", "5"},
        ZipEntry{"\\\\?\\C:\\tolvane-escape-6.txt", "6"},
        ZipEntry{"a\\..\\..\\tolvane-escape-7.txt", "7"},
        ZipEntry{"/tolvane-escape-8.txt", "8"},
        ZipEntry{"Z:\\tolvane-escape-9.txt", "9"},
        ZipEntry{"\\??\\Z:\\tolvane-escape-10.txt", "10"},
        ZipEntry{"..\\..\\..\\..\\..\\..\\..\\..\\tolvane-escape-11.txt", "11"},
        ZipEntry{"sub/../../tolvane-escape-12.txt", "12"},
        ZipEntry{"C:\\", ""},                 // a file named like a drive root: no name left
        ZipEntry{"kept.txt", "kept"},
    });
    // Items that climb are skipped and make the extraction fail; the others land inside.
    EXPECT_EQ(result, 1);
    ExpectNothingOutside();
    EXPECT_EQ(ReadFileBytes(out_ + L"\\kept.txt"), "kept");
    for (int n : {3, 4, 5, 6, 8, 9, 10}) {
        const std::wstring name = L"tolvane-escape-" + std::to_wstring(n) + L".txt";
        EXPECT_EQ(ReadFileBytes(out_ + L"\\" + name), std::to_string(n)) << n;
    }
    for (int n : {1, 2, 7, 11, 12})
        EXPECT_FALSE(PathExists(out_ + L"\\tolvane-escape-" + std::to_wstring(n) + L".txt")) << n;
}

TEST_F(HostilePaths, NamesWindowsWouldChangeNeitherCollideNorReachDevicesOrStreams) {
    const int result = Extract({
        ZipEntry{"x.txt", "plain"},
        ZipEntry{"x.txt.", "dot"},
        ZipEntry{"x.txt ", "space"},
        ZipEntry{"a.txt", "original"},
        ZipEntry{"a.txt:evil", "stream"},
        ZipEntry{"CON", "console"},
        ZipEntry{"nul.txt", "null device"},
        ZipEntry{"dir/COM1/inner.txt", "port"},
        ZipEntry{"dots.../end", "dots"},
        ZipEntry{"/", "", true, 0, FILE_ATTRIBUTE_DIRECTORY},  // the root as a folder: nothing to do
    });
    EXPECT_EQ(result, 0);
    ExpectNothingOutside();
    EXPECT_EQ(ReadFileBytes(out_ + L"\\x.txt"), "plain");
    // "x.txt." and "x.txt " would both have become "x.txt"; each keeps a file of its own.
    EXPECT_EQ(ReadFileBytes(out_ + L"\\x.txt_"), "dot");
    EXPECT_EQ(ReadFileBytes(out_ + L"\\x (2).txt_"), "space");
    EXPECT_EQ(ReadFileBytes(out_ + L"\\a.txt"), "original");
    EXPECT_EQ(ReadFileBytes(out_ + L"\\a.txt_evil"), "stream");
    EXPECT_EQ(ReadFileBytes(out_ + L"\\_CON"), "console");
    EXPECT_EQ(ReadFileBytes(out_ + L"\\_nul.txt"), "null device");
    EXPECT_EQ(ReadFileBytes(out_ + L"\\dir\\_COM1\\inner.txt"), "port");
    EXPECT_EQ(ReadFileBytes(out_ + L"\\dots.._\\end"), "dots");
    EXPECT_EQ(ListFilesRecursive(out_).size(), 9u);
}

TEST_F(HostilePaths, ALinkIsWrittenAsAPlainFileAndNeverFollowed) {
    const int result = Extract({
        ZipLink("link", "../.."),
        ZipEntry{"link/tolvane-escape-20.txt", "through the link"},
        ZipLink("abs", "/tmp"),
        ZipEntry{"after.txt", "after"},
    });
    // The file below "link" cannot be made (a file stands where its folder would be): that
    // item fails, and with it the extraction.
    EXPECT_EQ(result, 1);
    ExpectNothingOutside();
    EXPECT_FALSE(AnyEscapeIn(L"Z:\\"));
    const DWORD attributes = GetFileAttributesW((out_ + L"\\link").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT), 0u);
    EXPECT_EQ(ReadFileBytes(out_ + L"\\link"), "../..");

    // On its own a link entry extracts as a file holding its target.
    const TempDir other(L"linkonly");
    const std::wstring archive = other / L"l.zip";
    CreateDirectoryW((other / L"out").c_str(), nullptr);
    WriteFileBytes(archive, MakeZip({ZipLink("abs", "/tmp"), ZipEntry{"after.txt", "after"}}));
    std::wstring password;
    EXPECT_EQ(extractArchive(archive, Zip, other / L"out", password, nullptr), 0);
    EXPECT_EQ(ReadFileBytes(other / L"out\\abs"), "/tmp");
    EXPECT_EQ(GetFileAttributesW((other / L"out\\abs").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    EXPECT_EQ(ReadFileBytes(other / L"out\\after.txt"), "after");
}

TEST_F(HostilePaths, ShellSpecialCharactersAndWildcardsAreJustNames) {
    const int result = Extract({
        ZipEntry{"100% ! ^ & ' , ; = ( ).txt", "shell"},
        ZipEntry{"-rf", "dash"},
        ZipEntry{"@list.txt", "at"},
        ZipEntry{"[x] {y} ~z #.txt", "brackets"},
        ZipEntry{"star*q?.txt", "wild"},
        ZipEntry{"pipe|lt<gt>quote\".txt", "refused"},
        ZipEntry{"caf\xc3\xa9/\xe6\x96\x87\xe4\xbb\xb6/\xf0\x9f\x98\x80.txt", "unicode"},
    });
    EXPECT_EQ(result, 0);
    ExpectNothingOutside();
    EXPECT_EQ(ReadFileBytes(out_ + L"\\100% ! ^ & ' , ; = ( ).txt"), "shell");
    EXPECT_EQ(ReadFileBytes(out_ + L"\\-rf"), "dash");
    EXPECT_EQ(ReadFileBytes(out_ + L"\\@list.txt"), "at");
    EXPECT_EQ(ReadFileBytes(out_ + L"\\[x] {y} ~z #.txt"), "brackets");
    EXPECT_EQ(ReadFileBytes(out_ + L"\\star_q_.txt"), "wild");
    EXPECT_EQ(ReadFileBytes(out_ + L"\\pipe_lt_gt_quote_.txt"), "refused");
    EXPECT_EQ(ReadFileBytes(out_ + L"\\caf\u00e9\\\u6587\u4ef6\\\U0001F600.txt"), "unicode");
}

TEST_F(HostilePaths, DamagedArchivesNeitherHangNorWriteOutside) {
    const TempDir work(L"damaged-src");
    const std::vector<DamagedArchive> variants = MakeDamagedArchives(work.path());
    for (const DamagedArchive& variant : variants) {
        const std::wstring archive = work / variant.name;
        WriteFileBytes(archive, variant.bytes);
        int code = -1;
        std::wstring password;
        WithinTimeLimit(variant.name, 60000,
                        [&] { code = extractArchive(archive, archiveKindOf(archive), out_, password, nullptr); });
        EXPECT_TRUE(code == 0 || code == 1) << Narrow(variant.name);
        if (variant.name.rfind(L"zero", 0) == 0 || variant.name.find(L"7z-half") != std::wstring::npos) {
            EXPECT_EQ(code, 1) << Narrow(variant.name);
        }
    }
    ExpectNothingOutside();
}

}  // namespace
