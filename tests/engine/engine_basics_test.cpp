// The format choice, the property conversions and the file streams, tested directly.
#include <gtest/gtest.h>

#include <climits>

#include "engine/archive_kind.h"
#include "engine/archive_listing.h"
#include "engine/in_file_stream.h"
#include "engine_test_util.h"

using namespace enginetest;

namespace {

TEST(ArchiveKindOf, TakesTheExtensionOfTheLastComponentOnly) {
    EXPECT_EQ(archiveKindOf(L"C:\\a\\b.ZIP"), Zip);
    EXPECT_EQ(archiveKindOf(L"C:\\a\\b.tar.7z"), SevenZip);
    EXPECT_EQ(archiveKindOf(L"C:\\a.zip\\b"), None);
    EXPECT_EQ(archiveKindOf(L".rar"), Rar);
    EXPECT_EQ(archiveKindOf(L"x.Rar"), Rar);
    EXPECT_EQ(archiveKindOf(L"C:/dir.7z/file"), None);
    EXPECT_EQ(archiveKindOf(L"C:archive.zip"), Zip);
    EXPECT_EQ(archiveKindOf(L"archive.zip."), None);
    EXPECT_EQ(archiveKindOf(L"archive.zipx"), None);
    EXPECT_EQ(archiveKindOf(L"archive"), None);
    EXPECT_EQ(archiveKindOf(L""), None);
    EXPECT_EQ(archiveKindOf(std::wstring(600, L'a') + L".7z"), SevenZip);
}

PROPVARIANT Value(VARTYPE type) {
    PROPVARIANT v;
    PropVariantInit(&v);
    v.vt = type;
    return v;
}

TEST(PropertyToText, ConvertsEveryTypeOfTheTable) {
    EXPECT_EQ(propertyToText(Value(VT_EMPTY)), L"");
    PROPVARIANT v = Value(VT_I2);
    v.iVal = -12;
    EXPECT_EQ(propertyToText(v), L"-12");
    v = Value(VT_I4);
    v.lVal = 123456;
    EXPECT_EQ(propertyToText(v), L"123456");
    v = Value(VT_I8);
    v.hVal.QuadPart = LLONG_MIN;
    EXPECT_EQ(propertyToText(v), L"-9223372036854775808");
    v = Value(VT_UI1);
    v.bVal = 255;
    EXPECT_EQ(propertyToText(v), L"255");
    v = Value(VT_UI2);
    v.uiVal = 0;
    EXPECT_EQ(propertyToText(v), L"0");
    v = Value(VT_UI4);
    v.ulVal = 4294967295u;
    EXPECT_EQ(propertyToText(v), L"4294967295");
    v = Value(VT_UI8);
    v.uhVal.QuadPart = 18446744073709551615ull;
    EXPECT_EQ(propertyToText(v), L"18446744073709551615");
    v = Value(VT_BOOL);
    v.boolVal = VARIANT_TRUE;
    EXPECT_EQ(propertyToText(v), L"+");
    v.boolVal = VARIANT_FALSE;
    EXPECT_EQ(propertyToText(v), L"-");

    v = Value(VT_BSTR);
    v.bstrVal = SysAllocString(L"docs\\caf\u00e9.txt");
    EXPECT_EQ(propertyToText(v), L"docs\\caf\u00e9.txt");
    PropVariantClear(&v);
    v = Value(VT_BSTR);
    v.bstrVal = nullptr;
    EXPECT_EQ(propertyToText(v), L"");
}

TEST(PropertyToText, WritesFileTimesAsUtcCalendarTime) {
    PROPVARIANT v = Value(VT_FILETIME);
    const uint64_t ticks = FileTimeValue(2011, 3, 4, 5, 6, 7);
    v.filetime.dwLowDateTime = static_cast<DWORD>(ticks);
    v.filetime.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    EXPECT_EQ(propertyToText(v), L"2011-03-04 05:06:07");

    v.filetime = FILETIME{0, 0};
    EXPECT_EQ(propertyToText(v), L"1601-01-01 00:00:00");
    // Past what a file time can express: no text rather than a wrong one.
    v.filetime = FILETIME{0xFFFFFFFF, 0xFFFFFFFF};
    EXPECT_EQ(propertyToText(v), L"");
}

TEST(PropertyToText, OtherTypesGiveNoTextAndOnlyUnsignedOnesANumber) {
    PROPVARIANT v = Value(VT_R8);
    v.dblVal = 1.5;
    EXPECT_EQ(propertyToText(v), L"");
    EXPECT_EQ(propertyToUInt64(v), 0u);
    EXPECT_FALSE(propertyIsUnsigned(v));
    v = Value(VT_I4);
    v.lVal = -1;
    EXPECT_EQ(propertyToUInt64(v), 0u);
    EXPECT_FALSE(propertyIsUnsigned(Value(VT_EMPTY)));
    v = Value(VT_UI8);
    v.uhVal.QuadPart = 0x123456789ull;
    EXPECT_EQ(propertyToUInt64(v), 0x123456789ull);
    EXPECT_TRUE(propertyIsUnsigned(v));
}

TEST(InFileStream, ReadsSeeksAndReportsItsSize) {
    TempDir dir(L"in");
    const std::wstring path = dir / L"data.bin";
    WriteFileBytes(path, "0123456789");
    auto stream = ComPtr<CInFileStream>::share(new CInFileStream);
    ASSERT_FALSE(stream->open(dir / L"missing.bin"));
    ASSERT_TRUE(stream->open(path));

    // Others may read the archive meanwhile, but not write it.
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);

    UINT64 size = 0;
    EXPECT_EQ(stream->GetSize(&size), S_OK);
    EXPECT_EQ(size, 10u);

    char buffer[8] = {};
    UINT32 got = 0;
    EXPECT_EQ(stream->Read(buffer, 4, &got), S_OK);
    EXPECT_EQ(got, 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");

    UINT64 position = 99;
    EXPECT_EQ(stream->Seek(-2, kSeekEnd, &position), S_OK);
    EXPECT_EQ(position, 8u);
    EXPECT_EQ(stream->Read(buffer, 8, &got), S_OK);
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(std::string(buffer, 2), "89");
    EXPECT_EQ(stream->Read(buffer, 8, &got), S_OK);
    EXPECT_EQ(got, 0u);

    EXPECT_EQ(stream->Seek(3, kSeekSet, nullptr), S_OK);
    EXPECT_EQ(stream->Seek(2, kSeekCurrent, &position), S_OK);
    EXPECT_EQ(position, 5u);
    EXPECT_EQ(stream->Seek(0, 3, &position), STG_E_INVALIDFUNCTION);
    EXPECT_NE(stream->Seek(-100, kSeekSet, &position), S_OK);
    EXPECT_EQ(stream->Read(buffer, 1, nullptr), S_OK);
}

TEST(InFileStream, AnswersItsInterfacesAndNoOthers) {
    auto stream = ComPtr<CInFileStream>::share(new CInFileStream);
    void* object = nullptr;
    ASSERT_EQ(stream->QueryInterface(IID_IStreamGetSize, &object), S_OK);
    EXPECT_EQ(object, static_cast<IStreamGetSize*>(stream.get()));
    static_cast<IUnknown*>(static_cast<IStreamGetSize*>(object))->Release();
    ASSERT_EQ(stream->QueryInterface(IID_IInStream, &object), S_OK);
    EXPECT_EQ(object, static_cast<IInStream*>(stream.get()));
    static_cast<IInStream*>(object)->Release();
    EXPECT_EQ(stream->QueryInterface(IID_IOutStream, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    // The count: one held here.
    EXPECT_EQ(static_cast<IInStream*>(stream.get())->AddRef(), 2u);
    EXPECT_EQ(static_cast<IInStream*>(stream.get())->Release(), 1u);
}

}  // namespace
