// How the "Add To Archive" dialog names archives and reads handed-over paths.
#include <gtest/gtest.h>

#include <set>

#include "ui/archive_naming.h"

TEST(ArchiveNaming, ProposalsFollowTheSelection) {
    std::set<std::wstring> existing = {L"C:\\data\\report.zip", L"C:\\data\\old.ZIP"};
    auto exists = [&](const std::wstring& p) { return existing.count(p) > 0; };
    struct Case {
        std::wstring folder, path, expected;
    } cases[] = {
        {L"C:\\data", L"C:\\data\\notes.txt", L"C:\\data\\notes.zip"},
        {L"C:\\data", L"C:\\data\\report.txt", L"C:\\data\\report.zip.zip"},  // report.zip exists
        {L"C:\\data", L"C:\\data\\photos", L"C:\\data\\photos.zip"},
        {L"C:\\data", L"C:\\data\\album.2", L"C:\\data\\album.zip"},
        {L"C:\\data", L"C:\\data\\old.ZIP", L"C:\\data\\old.ZIP.zip"},        // keeps its own extension
        {L"C:\\data\\", L"C:\\data\\x", L"C:\\data\\x.zip"},
        {L"", L"plain", L"plain.zip"},
        {L"C:\\a.b", L"C:\\a.b\\noext", L"C:\\a.b\\noext.zip"},  // a dot in the folder is no extension
    };
    for (const Case& c : cases) EXPECT_EQ(DefaultArchiveName(c.folder, c.path, exists), c.expected) << c.path;

    existing.insert(L"C:\\data\\report.zip.zip");
    EXPECT_EQ(DefaultArchiveName(L"C:\\data", L"C:\\data\\report.txt", exists), L"C:\\data\\report.zip.zip.zip");

    // Several items: named after their folder, without looking at the disk.
    EXPECT_EQ(SelectionArchiveName(L"C:\\data\\photos"), L"C:\\data\\photos\\photos.zip");
    // Browsing keeps other extensions: notes.txt becomes notes.txt.zip, x.rar x.rar.zip.
    EXPECT_EQ(ApplyExtension(L"C:\\d\\notes.txt", L"zip", false), L"C:\\d\\notes.txt.zip");
    EXPECT_EQ(ApplyExtension(L"C:\\d\\x.rar", L"zip", false), L"C:\\d\\x.rar.zip");
    EXPECT_EQ(ApplyExtension(L"C:\\d\\x", L"zip", false), L"C:\\d\\x.zip");
    EXPECT_EQ(ApplyExtension(L"C:\\d\\x.Zip", L"zip", false), L"C:\\d\\x.Zip");
}

TEST(ArchiveNaming, HandOverBlocksAreCheckedBeforeUse) {
    const auto block = MakeHandOverBlock(L"\"C:\\in\\a b.txt\"");
    auto parsed = ParseHandOverBlock(block.data(), block.size() * sizeof(wchar_t));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, L"C:\\in\\a b.txt");

    // Malformed blocks change nothing.
    EXPECT_FALSE(ParseHandOverBlock(nullptr, 10).has_value());
    EXPECT_FALSE(ParseHandOverBlock(block.data(), block.size() * sizeof(wchar_t) - 1).has_value());  // odd size
    EXPECT_FALSE(ParseHandOverBlock(block.data(), (block.size() - 1) * sizeof(wchar_t)).has_value());  // no terminator
    const std::wstring unquoted = std::wstring(L"C:\\x.txt") + L'\0';
    EXPECT_FALSE(ParseHandOverBlock(unquoted.data(), unquoted.size() * sizeof(wchar_t)).has_value());
    const std::wstring embedded = std::wstring(L"\"C:\\a\0b\"", 8) + L'\0';
    EXPECT_FALSE(ParseHandOverBlock(embedded.data(), embedded.size() * sizeof(wchar_t)).has_value());
    const std::wstring empty = std::wstring(L"\"\"") + L'\0';
    EXPECT_FALSE(ParseHandOverBlock(empty.data(), empty.size() * sizeof(wchar_t)).has_value());
    const std::wstring quoteInside = std::wstring(L"\"a\"b\"") + L'\0';
    EXPECT_FALSE(ParseHandOverBlock(quoteInside.data(), quoteInside.size() * sizeof(wchar_t)).has_value());
}
