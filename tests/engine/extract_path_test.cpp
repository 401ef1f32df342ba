// The rules that keep extracted items inside the destination, and the selection by components.
#include <gtest/gtest.h>

#include <windows.h>

#include "engine/extract_path.h"

namespace {

std::wstring Mapped(const std::wstring& itemPath) {
    const auto mapped = safeRelativePath(itemPath);
    return mapped ? *mapped : L"<skipped>";
}

TEST(SafeRelativePath, KeepsOrdinaryPathsAsTheyAre) {
    EXPECT_EQ(Mapped(L"a.txt"), L"a.txt");
    EXPECT_EQ(Mapped(L"docs\\deep\\c.bin"), L"docs\\deep\\c.bin");
    EXPECT_EQ(Mapped(L"docs/deep/c.bin"), L"docs\\deep\\c.bin");
    EXPECT_EQ(Mapped(L"caf\u00e9\\\u6587\u4ef6 \U0001F600.txt"), L"caf\u00e9\\\u6587\u4ef6 \U0001F600.txt");
    EXPECT_EQ(Mapped(L"% ! ^ & ' , ; = ( ) [ ] { } -x @y .hidden"), L"% ! ^ & ' , ; = ( ) [ ] { } -x @y .hidden");
    EXPECT_EQ(Mapped(L"[Content]"), L"[Content]");
    EXPECT_EQ(Mapped(L"a\\\\b\\.\\c"), L"a\\b\\c");
}

TEST(SafeRelativePath, DropsEveryKindOfRootPrefix) {
    EXPECT_EQ(Mapped(L"C:\\x"), L"x");
    EXPECT_EQ(Mapped(L"c:x"), L"x");
    EXPECT_EQ(Mapped(L"\\x"), L"x");
    EXPECT_EQ(Mapped(L"/x"), L"x");
    EXPECT_EQ(Mapped(L"\\\\server\\share\\x"), L"x");
    EXPECT_EQ(Mapped(L"//server/share/dir/x"), L"dir\\x");
    EXPECT_EQ(Mapped(L"\\\\?\\C:\\x"), L"x");
    EXPECT_EQ(Mapped(L"\\??\\C:\\x"), L"x");
    EXPECT_EQ(Mapped(L"\\\\.\\C:\\x"), L"x");
    EXPECT_EQ(Mapped(L"\\\\?\\UNC\\server\\share\\x"), L"x");
    EXPECT_EQ(Mapped(L"\\\\?\\\\\\?\\C:\\D:\\x"), L"x");
    EXPECT_EQ(Mapped(L"C:\\\\server\\share\\x"), L"x");
}

TEST(SafeRelativePath, SkipsPathsThatClimbAndEmptiesPathsThatNameNothing) {
    EXPECT_EQ(Mapped(L"..\\x"), L"<skipped>");
    EXPECT_EQ(Mapped(L"../x"), L"<skipped>");
    EXPECT_EQ(Mapped(L"a\\..\\..\\x"), L"<skipped>");
    EXPECT_EQ(Mapped(L"a\\..\\b"), L"<skipped>");
    EXPECT_EQ(Mapped(L"C:\\..\\x"), L"<skipped>");
    EXPECT_EQ(Mapped(L"a/.."), L"<skipped>");
    // Nothing left: the destination itself.
    EXPECT_EQ(Mapped(L""), L"");
    EXPECT_EQ(Mapped(L"\\"), L"");
    EXPECT_EQ(Mapped(L"C:\\"), L"");
    EXPECT_EQ(Mapped(L".\\."), L"");
    EXPECT_EQ(Mapped(L"\\\\server\\share"), L"");
    // Three dots are a name, not a climb; Windows would drop the dots, so they are kept visible.
    EXPECT_EQ(Mapped(L"..."), L".._");
}

TEST(SafeRelativePath, NamesWindowsWouldChangeStayDistinct) {
    EXPECT_EQ(Mapped(L"x.txt."), L"x.txt_");
    EXPECT_NE(Mapped(L"x.txt."), Mapped(L"x.txt"));
    EXPECT_EQ(Mapped(L"x.txt "), L"x.txt_");
    EXPECT_EQ(Mapped(L"dir. \\x"), L"dir._\\x");
    EXPECT_EQ(Mapped(L"a.txt:evil"), L"a.txt_evil");
    EXPECT_EQ(Mapped(L"a.txt::$DATA"), L"a.txt__$DATA");
    EXPECT_EQ(Mapped(L"what?*<>|\".txt"), L"what______.txt");
    EXPECT_EQ(Mapped(std::wstring(L"tab\there")), L"tab_here");
}

TEST(SafeRelativePath, DeviceNamesNeverReachADevice) {
    for (const wchar_t* name : {L"CON", L"con", L"NUL", L"nul.txt", L"AUX.tar.gz", L"PRN", L"COM1", L"com9.log",
                                L"LPT1", L"lpt3.txt", L"CONIN$", L"CONOUT$", L"COM\u00b9", L"CON .txt"}) {
        const std::wstring mapped = Mapped(name);
        EXPECT_EQ(mapped, L"_" + std::wstring(name)) << mapped;
    }
    EXPECT_EQ(Mapped(L"dir\\nul\\x"), L"dir\\_nul\\x");
    EXPECT_EQ(Mapped(L"CON."), L"_CON_");
    // Names that merely begin like a device are left alone.
    EXPECT_EQ(Mapped(L"CONSOLE.txt"), L"CONSOLE.txt");
    EXPECT_EQ(Mapped(L"COM10"), L"COM10");
    EXPECT_EQ(Mapped(L"nulls"), L"nulls");
}

TEST(SelectionTakes, MatchesWholeComponents) {
    const std::vector<std::wstring> docs{L"docs"};
    EXPECT_TRUE(selectionTakes(&docs, L"docs"));
    EXPECT_TRUE(selectionTakes(&docs, L"docs\\a.txt"));
    EXPECT_TRUE(selectionTakes(&docs, L"docs\\deep\\b.txt"));
    EXPECT_TRUE(selectionTakes(&docs, L"docs/a.txt"));
    EXPECT_FALSE(selectionTakes(&docs, L"docs2\\b.txt"));
    EXPECT_FALSE(selectionTakes(&docs, L"docs.txt"));
    EXPECT_FALSE(selectionTakes(&docs, L"Docs\\a.txt"));
    EXPECT_FALSE(selectionTakes(&docs, L"doc"));
    EXPECT_FALSE(selectionTakes(&docs, L"c.txt"));

    const std::vector<std::wstring> nested{L"docs\\deep\\", L"c.txt"};
    EXPECT_TRUE(selectionTakes(&nested, L"docs\\deep\\b.txt"));
    EXPECT_TRUE(selectionTakes(&nested, L"c.txt"));
    EXPECT_FALSE(selectionTakes(&nested, L"docs\\a.txt"));
    EXPECT_FALSE(selectionTakes(&nested, L"c.txt.bak"));
}

TEST(SelectionTakes, NoSelectionTakesEverything) {
    const std::vector<std::wstring> empty;
    EXPECT_TRUE(selectionTakes(nullptr, L"anything"));
    EXPECT_TRUE(selectionTakes(&empty, L"anything\\at\\all"));
    const std::vector<std::wstring> root{L""};
    EXPECT_TRUE(selectionTakes(&root, L"x"));
}

TEST(PlainFileAttributes, DropsEverythingButPlainFileBits) {
    EXPECT_EQ(plainFileAttributes(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, false),
              static_cast<uint32_t>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    // A Unix link: mode in the high half, the Unix-extension bit, reparse point.
    EXPECT_EQ(plainFileAttributes(0xA1FF8000u | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ARCHIVE, false),
              static_cast<uint32_t>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(plainFileAttributes(FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE, false), 0u);
    EXPECT_EQ(plainFileAttributes(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM, true),
              static_cast<uint32_t>(FILE_ATTRIBUTE_SYSTEM));
}

}  // namespace
