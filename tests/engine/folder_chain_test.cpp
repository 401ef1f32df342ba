// Folder chains, forced deletion and the output stream, on the real file system.
#include <gtest/gtest.h>

#include "engine/extraction.h"
#include "engine/out_file_stream.h"
#include "engine_test_util.h"

using namespace enginetest;

namespace {

TEST(CreateFolderChain, MakesEveryMissingLevel) {
    TempDir dir(L"chain");
    const std::wstring deep = dir / L"a\\b\\c\\d";
    EXPECT_TRUE(createFolderChain(deep));
    EXPECT_TRUE(IsFolder(deep));
    // Again, and with a trailing backslash: already there is fine.
    EXPECT_TRUE(createFolderChain(deep));
    EXPECT_TRUE(createFolderChain(dir / L"a\\b\\e\\"));
    EXPECT_TRUE(IsFolder(dir / L"a\\b\\e"));
    EXPECT_TRUE(createFolderChain(L"C:\\"));
}

TEST(CreateFolderChain, FailsWhereAFileStandsInTheWay) {
    TempDir dir(L"chainfile");
    WriteFileBytes(dir / L"a\\file", "x");
    EXPECT_FALSE(createFolderChain(dir / L"a\\file"));
    EXPECT_FALSE(createFolderChain(dir / L"a\\file\\below"));
    EXPECT_EQ(ReadFileBytes(dir / L"a\\file"), "x");
    EXPECT_FALSE(createFolderChain(L"Q:\\no such drive\\x"));
    EXPECT_FALSE(createFolderChain(L""));
}

TEST(CreateFolderChain, TakesLongPathsInTheirLongForm) {
    TempDir dir(L"chainlong");
    std::wstring path = L"\\\\?\\" + dir.path();
    for (int i = 0; i < 8; ++i) path += L"\\" + std::wstring(40, static_cast<wchar_t>(L'a' + i));
    ASSERT_GT(path.size(), 300u);
    EXPECT_TRUE(createFolderChain(path));
    EXPECT_TRUE(IsFolder(path));
}

TEST(DeleteFileForced, RemovesReadOnlyFilesButNeverFolders) {
    TempDir dir(L"delete");
    const std::wstring file = dir / L"ro.txt";
    WriteFileBytes(file, "locked");
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(deleteFileForced(file));
    EXPECT_FALSE(PathExists(file));
    EXPECT_FALSE(deleteFileForced(file));

    const std::wstring folder = dir / L"folder";
    CreateDirectoryW(folder.c_str(), nullptr);
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(deleteFileForced(folder));
    EXPECT_TRUE(IsFolder(folder));
}

TEST(OutFileStream, WritesSeeksAndSetsTheSize) {
    TempDir dir(L"out");
    const std::wstring path = dir / L"o.bin";
    auto stream = ComPtr<COutFileStream>::share(new COutFileStream);
    ASSERT_TRUE(stream->create(path, false));
    EXPECT_FALSE(ComPtr<COutFileStream>::share(new COutFileStream)->create(path, false));

    UINT32 written = 0;
    EXPECT_EQ(stream->Write("0123456789", 10, &written), S_OK);
    EXPECT_EQ(written, 10u);
    EXPECT_EQ(stream->bytesWritten(), 10u);
    // Others may read the file while it is written.
    EXPECT_EQ(ReadFileBytes(path), "0123456789");

    UINT64 position = 0;
    EXPECT_EQ(stream->Seek(2, kSeekSet, &position), S_OK);
    EXPECT_EQ(position, 2u);
    EXPECT_EQ(stream->SetSize(5), S_OK);
    // The position is kept across SetSize.
    EXPECT_EQ(stream->Seek(0, kSeekCurrent, &position), S_OK);
    EXPECT_EQ(position, 2u);
    EXPECT_EQ(stream->Write("AB", 2, nullptr), S_OK);
    EXPECT_EQ(stream->Seek(0, 7, &position), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->close(), S_OK);
    EXPECT_EQ(ReadFileBytes(path), "01AB4");

    // On a closed stream nothing crashes: a write is dropped and its failure kept for the item.
    EXPECT_EQ(stream->writeError(), 0u);
    EXPECT_EQ(stream->Write("x", 1, &written), S_OK);
    EXPECT_NE(stream->writeError(), 0u);
    EXPECT_EQ(stream->SetSize(1), E_FAIL);

    void* object = nullptr;
    EXPECT_EQ(stream->QueryInterface(IID_ISequentialOutStream, &object), S_OK);
    static_cast<IUnknown*>(object)->Release();
    EXPECT_EQ(stream->QueryInterface(IID_IInStream, &object), E_NOINTERFACE);
}

}  // namespace
