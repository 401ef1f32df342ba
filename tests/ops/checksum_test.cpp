// Checksums through the engine's hash functions, of files and of archive entries, against
// known values.
#include "catalog/item_catalog.h"
#include "ops/checksum_operation.h"
#include "ops_test_util.h"

using namespace opstest;

namespace {

std::wstring ValueOf(const ChecksumResult& result, const std::wstring& function) {
    for (const Checksum& checksum : result.checksums)
        if (checksum.function == function) return checksum.value;
    return L"(none)";
}

}  // namespace

TEST(Checksums, FilesAndArchiveEntriesAgainstKnownValues) {
    TempDir dir(L"sum");
    MakeTree(dir.path(), {{L"nine.txt", "123456789"}, {L"dir\\empty.txt", ""}});
    const std::vector<std::wstring> names = engineHashNames();
    for (const std::wstring function : {L"CRC32", L"CRC64", L"SHA1", L"SHA256", L"XXH64"})
        EXPECT_NE(std::find(names.begin(), names.end(), function), names.end()) << Narrow(function);

    std::vector<ChecksumResult> results;
    ASSERT_TRUE(ComputeFileChecksums({dir / L"nine.txt", dir / L"dir", dir / L"missing.txt"}, {}, results).done());
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(ValueOf(results[0], L"CRC32"), L"CBF43926");
    EXPECT_EQ(ValueOf(results[0], L"CRC64"), L"995DC9BBDF1939FA");
    EXPECT_EQ(ValueOf(results[0], L"SHA1"), L"F7C3BC1D808E04732ADF679965CCC34CA7AE3441");
    EXPECT_EQ(ValueOf(results[0], L"SHA256"), L"15E2B0D3C33891EBB0F1EF609EC419420C20E320CE94C65FBC8C3312448EB225");
    EXPECT_EQ(results[1].name, dir / L"dir\\empty.txt") << "a folder stands for the files below it";
    EXPECT_EQ(ValueOf(results[1], L"XXH64"), L"EF46DB3751D8E999");
    EXPECT_EQ(ValueOf(results[1], L"SHA256"), L"E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855");
    EXPECT_EQ(results[2].fault.kind, ItemFault::Kind::FileUnreadable);

    // The same values from inside an encrypted archive, one function asked for.
    AppDialogs dialogs(L"pw");
    const std::wstring archive = dir / L"a.7z";
    PackTree(archive, {{L"sub\\nine.txt", "123456789"}, {L"other.txt", "x"}}, L"-ppw");
    ItemCatalog catalog;
    ASSERT_TRUE(OpenArchive(catalog, archive).done());
    ASSERT_TRUE(ComputeEntryChecksums(catalog, {L"sub"}, {L"CRC32"}, results).done());
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].name, L"sub\\nine.txt");
    ASSERT_EQ(results[0].checksums.size(), 1u);
    EXPECT_EQ(results[0].checksums[0].value, L"CBF43926");
    EXPECT_EQ(dialogs.passwordPrompts(), 1);
    EXPECT_EQ(ChecksumReport(results), L"sub\\nine.txt\r\n    CRC32  CBF43926\r\n");
}
