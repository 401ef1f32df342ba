// The pure parts of the view's commands: the folder Extract to takes its name from, new folder
// names, the files a drag names, and the paths the file picker answers.
#include <gtest/gtest.h>

#include "ops/entry_names.h"
#include "ui/drag_out.h"
#include "ui/file_picker.h"

TEST(CommandTexts, FolderNamesDraggedNamesAndPickedPaths) {
    EXPECT_EQ(ExtractFolderName(L"C:\\in\\pack.7z"), L"pack");
    EXPECT_EQ(ExtractFolderName(L"pack.part01.rar"), L"pack");
    EXPECT_EQ(ExtractFolderName(L"logs.tar.zip"), L"logs.tar");
    EXPECT_EQ(ExtractFolderName(L"odd. .zip"), L"odd");
    EXPECT_EQ(ExtractFolderName(L"... .zip"), L"Extracted");
    // The archive's extensions all go; a device name is marked as an extracted item's is.
    for (const wchar_t* name : {L"x.tar.gz", L"x.TGZ", L"x.tar.bz2", L"x.tar.xz", L"x.7z.001", L"x.zip.001",
                                L"x.part1.rar", L"x.tar.gz.002"})
        EXPECT_EQ(ExtractFolderName(name), L"x") << name;
    EXPECT_EQ(ExtractFolderName(L"report.txt.001"), L"report.txt");
    EXPECT_EQ(ExtractFolderName(L"C:\\in\\con.zip"), L"_con");
    EXPECT_EQ(ExtractFolderName(L"LPT1.tar.gz"), L"_LPT1");

    EXPECT_EQ(FreeNewFolderName({L"a", L"NEW FOLDER", L"New folder (2)"}), L"New folder (3)");
    EXPECT_EQ(NameProblem(L"fine name.txt"), L"");
    for (const wchar_t* bad : {L"", L".", L"..", L"a/b", L"a:b", L"tab\there", L"dot.", L"space "})
        EXPECT_NE(NameProblem(bad), L"") << bad;
    EXPECT_TRUE(NameTaken(L"\u00c4.TXT", {L"\u00e4.txt"}));

    // The way up and a second name that Windows would take for the first are left out.
    EXPECT_EQ(DraggedFileNames({L"a.txt", L"A.TXT", L"..", L"sub", L""}), (std::vector<std::wstring>{L"a.txt", L"sub"}));

    const wchar_t several[] = L"C:\\dir\0a.txt\0b c.txt\0";
    EXPECT_EQ(PickedPaths(several, sizeof(several) / sizeof(wchar_t)),
              (std::vector<std::wstring>{L"C:\\dir\\a.txt", L"C:\\dir\\b c.txt"}));
    const wchar_t one[] = L"C:\\dir\\a.txt\0";
    EXPECT_EQ(PickedPaths(one, sizeof(one) / sizeof(wchar_t)), (std::vector<std::wstring>{L"C:\\dir\\a.txt"}));
    const wchar_t cut[] = {L'C', L':', L'\\', L'x', L'\0', L'a', L'b'};  // no end: the cut name is dropped
    EXPECT_EQ(PickedPaths(cut, 7), (std::vector<std::wstring>{L"C:\\x"}));
}
