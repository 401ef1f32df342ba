// What the menus offer for a selection and a place, the places Back and Forward go to, and the
// texts of the status bar and the title.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "ui/command_table.h"
#include "ui/navigation_history.h"
#include "ui/status_texts.h"

namespace {

// The entries as "text" or "(text)" when disabled, "-" for a separator; the shortcut left out.
std::vector<std::wstring> Shown(const std::vector<MenuEntry>& entries) {
    std::vector<std::wstring> shown;
    for (const MenuEntry& entry : entries) {
        std::wstring text = entry.id == 0 ? L"-" : entry.text.substr(0, entry.text.find(L'\t'));
        shown.push_back(entry.enabled || entry.id == 0 ? text : L"(" + text + L")");
    }
    return shown;
}

}  // namespace

TEST(CommandMenus, TheRightClickMenuFitsTheSelectionAndThePlace) {
    SelectionFacts inArchive{ListPlace::Archive, true, 4, 1, 1, false, false, L"Tom & Jerry.7z"};
    EXPECT_EQ(Shown(ContextMenuEntries(inArchive)),
              (std::vector<std::wstring>{L"&Open", L"-", L"Extract &here", L"Extract to \"Tom && Jerry\\\"", L"Extract Here (&Smart)",
                                         L"E&xtract to...", L"&Test archive", L"-", L"&Add...", L"&Delete",
                                         L"Re&name", L"New &folder", L"-", L"Copy &path", L"P&roperties"}));
    EXPECT_TRUE(ContextMenuEntries(inArchive).front().isDefault);

    // Nothing selected in a .rar (read only): the archive as a whole, and Refresh.
    SelectionFacts emptyRar{ListPlace::Archive, false, 4, 0, 0, false, false, L"old.rar"};
    EXPECT_EQ(Shown(ContextMenuEntries(emptyRar)),
              (std::vector<std::wstring>{L"Extract &here", L"Extract to \"old\\\"", L"Extract Here (&Smart)", L"&Test archive", L"-",
                                         L"(&Add...)", L"(New &folder)", L"-", L"Copy &path", L"P&roperties", L"-",
                                         L"R&efresh"}));

    // An archive file among the folder's files: extract it; the way up alone is no target.
    SelectionFacts archiveFile{ListPlace::Folder, false, 5, 1, 1, false, true, L"photos.tar.gz"};
    archiveFile.archiveFiles = 1;
    EXPECT_EQ(Shown(ContextMenuEntries(archiveFile)),
              (std::vector<std::wstring>{L"&Open", L"-", L"Extract &here", L"Extract to \"photos\\\"", L"Extract Here (&Smart)",
                                         L"E&xtract to...", L"&Test archive", L"-", L"&Add...", L"&Delete",
                                         L"Re&name", L"New &folder", L"-", L"Copy &path", L"P&roperties"}));
    // Several: each into a folder of its own; the Extract dialog is for one archive.
    SelectionFacts twoArchives{ListPlace::Folder, false, 5, 2, 2};
    twoArchives.archiveFiles = 2;
    EXPECT_EQ(Shown(ContextMenuEntries(twoArchives)),
              (std::vector<std::wstring>{L"(&Open)", L"-", L"Extract &here", L"Extract to \"*\\\"",
                                         L"Extract Here (&Smart)", L"(E&xtract to...)", L"&Test archive", L"-",
                                         L"&Add...", L"&Delete", L"(Re&name)", L"New &folder", L"-", L"Copy &path",
                                         L"P&roperties"}));
    SelectionFacts wayUp{ListPlace::Folder, false, 5, 1, 0};
    EXPECT_EQ(Shown(ContextMenuEntries(wayUp)), (std::vector<std::wstring>{L"&Open", L"-", L"New &folder", L"-", L"Copy &path"}));

    SelectionFacts drive{ListPlace::Drives, false, 2, 1, 1};
    EXPECT_EQ(Shown(ContextMenuEntries(drive)), (std::vector<std::wstring>{L"&Open", L"-", L"Copy &path", L"P&roperties"}));

    // The menu bar's commands follow the same facts.
    SelectionFacts history{ListPlace::Folder, false, 3, 0, 0};
    history.canGoBack = true;
    EXPECT_TRUE(CommandEnabled(ID_GO_BACK, history));
    EXPECT_FALSE(CommandEnabled(ID_GO_FORWARD, history));
    EXPECT_FALSE(CommandEnabled(ID_GO_UP, history));
    EXPECT_FALSE(CommandEnabled(ID_DELETE_FILES, history));
    EXPECT_TRUE(CommandEnabled(ID_SELECT_ALL, history));
    EXPECT_TRUE(CommandEnabled(ID_APP_ABOUT, history));
    // Adding a folder goes into an archive that can change; the extraction options are always there.
    EXPECT_TRUE(CommandEnabled(ID_ADD_FOLDER_INTO, inArchive));
    EXPECT_FALSE(CommandEnabled(ID_ADD_FOLDER_INTO, emptyRar));
    EXPECT_FALSE(CommandEnabled(ID_ADD_FOLDER_INTO, history));
    EXPECT_TRUE(CommandEnabled(ID_EXTRACT_OPTIONS, emptyRar));
}

TEST(CommandMenus, BackAndForwardWalkThePlacesAndANewPlaceDropsThoseAhead) {
    NavigationHistory history;
    EXPECT_FALSE(history.Target(-1));
    for (const wchar_t* place : {L"C:\\", L"C:\\a", L"c:\\A", L"C:\\a\\x.zip", L""}) history.Visit(place);
    ASSERT_EQ(history.Target(-1), L"c:\\A");  // a place met again in another case is one place
    EXPECT_EQ(history.Target(-2), L"C:\\");
    EXPECT_FALSE(history.Target(-3));
    EXPECT_FALSE(history.CanGoForward());
    history.Step(-2, L"C:\\");
    EXPECT_FALSE(history.CanGoBack());
    EXPECT_EQ(history.Target(2), L"C:\\a\\x.zip");
    history.Step(1, L"C:\\a");
    history.Visit(L"D:\\");  // x.zip, ahead, is dropped
    EXPECT_FALSE(history.CanGoForward());
    EXPECT_EQ(history.Target(-1), L"C:\\a");
    for (int i = 0; i < 150; ++i) history.Visit(L"E:\\" + std::to_wstring(i));
    EXPECT_FALSE(history.Target(-100));  // the oldest places went
    EXPECT_EQ(history.Target(-99), L"E:\\50");
}

TEST(CommandMenus, StatusAndTitleTexts) {
    EXPECT_EQ(ByteSizeText(1), L"1 byte");
    EXPECT_EQ(ByteSizeText(1023), L"1023 bytes");
    EXPECT_EQ(ByteSizeText(1536), L"1.5 KB");
    EXPECT_EQ(ByteSizeText(1048575), L"1.0 MB");
    EXPECT_EQ(ByteSizeText(150ULL << 30), L"150 GB");
    EXPECT_EQ(ByteSizeText(~0ULL), L"16.0 EB");
    EXPECT_EQ(ItemsText({0, 0, 0}), L"No items");
    EXPECT_EQ(ItemsText({2, 0, 0}), L"2 items");  // folders only: no size
    EXPECT_EQ(ItemsText({3, 1, 2048}), L"3 items, 2.0 KB");
    EXPECT_EQ(SelectionText({0, 0, 0}), L"");
    EXPECT_EQ(SelectionText({1, 1, 5}), L"1 selected, 5 bytes");
    ArchiveSummary summary{{L"LZMA2:24", L"7zAES"}, true, 5, 2};
    EXPECT_EQ(ArchiveText(L"7z", summary), L"7z, LZMA2:24 / 7zAES, solid, encrypted (2 of 5 files)");
    EXPECT_EQ(ArchiveText(L"Zip", {{}, false, 0, 0}), L"Zip, not solid, not encrypted");
    EXPECT_EQ(DamageText(L""), L"");
    EXPECT_EQ(FrameTitle(L""), L"Tolvane Extractor - Ver 1.0");
    EXPECT_EQ(FrameTitle(ArchiveTitlePlace(L"C:\\x\\a.zip", L"C:\\x\\a.zip\\docs\\old")),
              L"a.zip\\docs\\old - Tolvane Extractor - Ver 1.0");
    EXPECT_EQ(ArchiveTitlePlace(L"C:\\x\\a.zip", L"C:\\x\\a.zip"), L"a.zip");
}
