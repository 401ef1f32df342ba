// The content model against the real file system, shell and engine.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/path_tests.h"
#include "catalog/item_catalog.h"
#include "support/test_support.h"
#include "support/window_probe.h"
#include "support/zip_writer.h"
#include "ui/content_model.h"
#include "ui/status_texts.h"

using namespace testsupport;

namespace {

std::vector<std::wstring> RowNames(const ContentModel& model) {
    std::vector<std::wstring> names;
    for (int i = 0; i < model.RowCount(); ++i) names.push_back(model.RowAt(i).name);
    return names;
}

class ContentModelTest : public testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(dir_ / L"data\\b.txt", "bb");
        WriteFileBytes(dir_ / L"data\\a.txt", std::string(3000, 'a'));
        WriteFileBytes(dir_ / L"data\\C.txt", "c");
        CreateDirectoryW((dir_ / L"data\\Sub").c_str(), nullptr);
        CreateDirectoryW((dir_ / L"data\\apples").c_str(), nullptr);
        WriteFileBytes(dir_ / L"src\\docs\\inner\\deep.txt", "deep");
        WriteFileBytes(dir_ / L"src\\docs\\x.txt", "x");
        WriteFileBytes(dir_ / L"src\\top.txt", "top");
        archive_ = dir_ / L"data\\pack.zip";
        ASSERT_EQ(Run7z(L"a -tzip " + Quote(archive_) + L" docs top.txt", dir_ / L"src").exitCode, 0u);
        model_.InitLocations();
    }
    TempDir dir_{L"model"};
    std::wstring archive_;
    OpenedFiles opened_;
    ContentModel model_{opened_};
};

}  // namespace

TEST_F(ContentModelTest, FolderListingPutsParentAndFoldersFirstAndBuildsPathEntries) {
    const std::wstring folder = dir_ / L"data";
    EXPECT_TRUE(model_.BrowseFolder(folder));
    EXPECT_EQ(model_.RowCount(), 7);
    EXPECT_EQ(RowNames(model_),
              (std::vector<std::wstring>{L"..", L"apples", L"Sub", L"a.txt", L"b.txt", L"C.txt", L"pack.zip"}));
    EXPECT_EQ(model_.RowAt(0).fullPath, dir_.path());
    EXPECT_EQ(model_.RowAt(3).size, L"3,000");
    EXPECT_EQ(model_.RowAt(1).size, L"");  // folders show no size
    EXPECT_FALSE(model_.RowAt(3).modified.empty());
    EXPECT_EQ(model_.CurrentLocationPath(), folder + L"\\");
    EXPECT_EQ(model_.LocationName(model_.currentLocation), L"data");
    // The path entries come first, then Desktop, Documents, Computer and the drives.
    EXPECT_EQ(model_.LocationPath(0), L"C:\\");
    const int computer = model_.PathEntryCount() + 2;
    EXPECT_EQ(model_.LocationPath(computer), L"Computer");
    EXPECT_EQ(model_.ColumnTitles(), (std::vector<std::wstring>{L"Name", L"Size", L"Type", L"Modified"}));
}

TEST_F(ContentModelTest, SortingByEveryColumnBothWaysKeepsParentAndFoldersFirst) {
    model_.BrowseFolder(dir_ / L"data");
    EXPECT_TRUE(model_.SetSortColumn(2));  // by type: the folders, then the text files, then the archive
    EXPECT_EQ(RowNames(model_).back(), L"pack.zip");
    EXPECT_TRUE(model_.SetSortColumn(0));  // back to the name, then the sort column again: descending
    EXPECT_TRUE(model_.SetSortColumn(0));
    EXPECT_EQ(model_.sortOrder, 2);
    EXPECT_EQ(RowNames(model_),
              (std::vector<std::wstring>{L"..", L"Sub", L"apples", L"pack.zip", L"C.txt", L"b.txt", L"a.txt"}));
    EXPECT_TRUE(model_.SetSortColumn(1));  // another column: ascending by size
    EXPECT_EQ(model_.sortOrder, 1);
    const auto bySize = RowNames(model_);
    EXPECT_EQ(bySize[0], L"..");
    EXPECT_EQ(bySize[3], L"C.txt");
    EXPECT_EQ(bySize[4], L"b.txt");
    EXPECT_EQ(bySize[6], L"a.txt");
    EXPECT_TRUE(model_.SetSortColumn(3));
    EXPECT_TRUE(model_.SetSortColumn(3));
    EXPECT_EQ(model_.RowAt(0).name, L"..");
    EXPECT_FALSE(model_.SetSortColumn(9));
}

TEST_F(ContentModelTest, ComputerListsTheDrivesWithoutPathEntries) {
    model_.BrowseFolder(dir_ / L"data");
    const int computer = model_.PathEntryCount() + 2;
    EXPECT_TRUE(model_.SelectLocation(computer));
    EXPECT_EQ(model_.PathEntryCount(), 0);
    EXPECT_EQ(model_.currentLocation, 2);
    EXPECT_EQ(model_.CurrentLocationPath(), L"Computer");
    ASSERT_GT(model_.RowCount(), 0);
    bool haveC = false;
    for (int i = 0; i < model_.RowCount(); ++i) haveC |= model_.RowAt(i).fullPath == L"C:";
    EXPECT_TRUE(haveC);
    EXPECT_FALSE(model_.LastPathToStore().has_value());  // the stored path stays as it was
}

TEST_F(ContentModelTest, EntersAndLeavesAnArchive) {
    model_.BrowseFolder(dir_ / L"data");
    int zip = -1;
    for (int i = 0; i < model_.RowCount(); ++i)
        if (model_.RowAt(i).name == L"pack.zip") zip = i;
    ASSERT_GE(zip, 0);
    EXPECT_EQ(model_.ActivateRow(zip), ViewChange::Changed);
    ASSERT_TRUE(model_.InArchive());
    EXPECT_EQ(model_.ColumnTitles(), (std::vector<std::wstring>{L"Name", L"Size", L"Packed", L"Type", L"Modified"}));
    EXPECT_EQ(RowNames(model_), (std::vector<std::wstring>{L"..", L"docs", L"top.txt"}));
    EXPECT_EQ(model_.CurrentLocationPath(), archive_);
    EXPECT_EQ(model_.LastPathToStore().value_or(L""), dir_ / L"data");

    // Into docs by its path entry, then up again with "..".
    EXPECT_EQ(model_.NavigateArchive(archive_ + L"\\docs"), ViewChange::Changed);
    EXPECT_EQ(RowNames(model_), (std::vector<std::wstring>{L"..", L"inner", L"x.txt"}));
    EXPECT_EQ(model_.CurrentLocationPath(), archive_ + L"\\docs");
    EXPECT_EQ(model_.ActivateArchiveRow(0), ViewChange::Changed);
    EXPECT_EQ(model_.RowCount(), 3);
    EXPECT_EQ(model_.CurrentLocationPath(), archive_);
    // ".." at the archive's root goes back to the folder that holds it.
    model_.ActivateArchiveRow(0);
    EXPECT_FALSE(model_.InArchive());
    EXPECT_FALSE(CatalogExists());
    EXPECT_EQ(model_.CurrentLocationPath(), dir_ / L"data\\");
}

TEST_F(ContentModelTest, TheStatusBarCountsEachListingShownAndTheSelection) {
    StatusBarTexts status;
    ASSERT_TRUE(model_.BrowseFolder(dir_ / L"src"));
    EXPECT_EQ(status.Parts(model_, {2}), (std::vector<std::wstring>{L"2 items, 3 bytes", L"1 selected, 3 bytes"}));
    ASSERT_TRUE(model_.SetSortColumn(0));  // the same rows the other way
    EXPECT_EQ(status.Parts(model_, {1}), (std::vector<std::wstring>{L"2 items, 3 bytes", L"1 selected"}));
    ASSERT_TRUE(model_.BrowseFolder(dir_ / L"src\\docs"));
    EXPECT_EQ(status.Parts(model_, {}), (std::vector<std::wstring>{L"2 items, 1 byte", L""}));
    ASSERT_TRUE(model_.OpenArchiveFile(archive_));
    ASSERT_EQ(model_.NavigateArchive(archive_ + L"\\docs"), ViewChange::Changed);
    const std::vector<std::wstring> parts = status.Parts(model_, {0, 1, 2});
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_EQ(parts[0], L"2 items, 1 byte");
    EXPECT_EQ(parts[1], L"2 selected, 1 byte") << "the way up is no item";
    EXPECT_EQ(parts[2].rfind(L"Zip, ", 0), 0u) << Narrow(parts[2]);
    EXPECT_EQ(TitlePlace(model_), L"pack.zip\\docs");
}

TEST_F(ContentModelTest, StartsAtTheStoredPath) {
    model_.StartAt(archive_);
    EXPECT_TRUE(model_.InArchive());
    model_.CloseArchive();
    model_.StartAt(dir_ / L"data");
    EXPECT_FALSE(model_.InArchive());
    EXPECT_EQ(model_.RowCount(), 7);
    model_.StartAt(dir_ / L"missing");
    EXPECT_EQ(model_.currentLocation, 0);  // the Desktop
    EXPECT_EQ(model_.LocationName(0), model_.LocationName(model_.currentLocation));
}

TEST_F(ContentModelTest, TypedPathsOutsideTheFileSystemChangeNothing) {
    model_.BrowseFolder(dir_ / L"data");
    const auto before = RowNames(model_);
    EXPECT_FALSE(model_.GoToPath(0, L"Z:\\no\\such\\folder"));
    EXPECT_FALSE(model_.GoToPath(0, std::wstring(400, L'x')));
    const std::vector<UserMessage> told = model_.messages().Take();
    ASSERT_EQ(told.size(), 2u) << "each is told why";
    EXPECT_EQ(told[0].text.rfind(L"Could not open Z:\\no\\such\\folder", 0), 0u);
    EXPECT_EQ(told[0].kind, MessageKind::Warning);
    EXPECT_EQ(RowNames(model_), before);
}

TEST_F(ContentModelTest, AnArchiveThatDoesNotOpenIsToldUnlessTheUserRefusedItsPassword) {
    const std::wstring locked = dir_ / L"data\\locked.7z";
    ASSERT_EQ(Run7z(L"a -mhe=on -psecret " + Quote(locked) + L" top.txt", dir_ / L"src").exitCode, 0u);
    WriteFileBytes(dir_ / L"data\\broken.zip", "PK\x03\x04 not really a zip");
    ASSERT_EQ(Run7z(L"a -mx0 " + Quote(dir_ / L"whole.7z") + L" docs top.txt", dir_ / L"src").exitCode, 0u);
    const std::string whole = ReadFileBytes(dir_ / L"whole.7z");
    WriteFileBytes(dir_ / L"cut.7z", whole.substr(0, whole.size() / 2));
    // What the archiver itself finds wrong with it.
    ASSERT_NE(Run7z(L"l " + Quote(dir_ / L"cut.7z")).output.find("Unexpected end of archive"), std::string::npos);
    model_.BrowseFolder(dir_ / L"data");
    const auto before = RowNames(model_);

    // The password prompt carries the program's name; the view tells what the model has to say.
    std::vector<std::wstring> seen;
    DialogResponder answers(L"Tolvane Extractor", [&](HWND window) {
        seen.push_back(GetDlgItem(window, 1004) ? L"password" : MessageBoxText(window));
        PressButton(window, GetDlgItem(window, 1004) ? IDCANCEL : IDOK);
    });
    EXPECT_FALSE(model_.OpenArchiveFile(locked));
    EXPECT_TRUE(model_.messages().Take().empty()) << "a refused password is no failure";
    // Each failure says why: damaged (and how, when the engine tells), a text file opened as an
    // archive ("Open as archive"), a file that is gone.
    for (const wchar_t* name : {L"data\\broken.zip", L"cut.7z", L"data\\b.txt", L"no.zip"})
        EXPECT_FALSE(model_.OpenArchiveFile(dir_ / name));
    std::vector<UserMessage> told = model_.messages().Take();
    // An archive with more entries than memory holds (here: than a limit made for the test) is
    // told as such, and leaves nothing behind.
    std::vector<ZipEntry> many(20000);
    for (size_t i = 0; i < many.size(); ++i) many[i].name = "many/entry" + std::to_string(i) + ".txt";
    WriteFileBytes(dir_ / L"data\\many.zip", MakeZip(many));
    SetTreeMemoryLimitForTesting(1 << 20);
    EXPECT_FALSE(model_.OpenArchiveFile(dir_ / L"data\\many.zip"));
    SetTreeMemoryLimitForTesting(0);
    for (UserMessage& message : model_.messages().Take()) told.push_back(std::move(message));
    answers.stop();
    EXPECT_EQ(seen, std::vector<std::wstring>{L"password"});
    std::vector<std::wstring> texts;
    for (const UserMessage& message : told) texts.push_back(message.text);
    const std::wstring first = L"Couldn't open the file.\n";
    EXPECT_EQ(texts, (std::vector<std::wstring>{
                         first + L"It is damaged, or it is not an archive of its type.",
                         first + L"The archive is damaged: unexpected end of archive.",
                         first + L"It is not an archive of a format this program reads.",
                         first + L"The file no.zip could not be read: the file was not found.",
                         first + L"It holds more entries than fit in the memory of this program."}));
    EXPECT_FALSE(model_.InArchive());
    EXPECT_FALSE(CatalogExists());
    EXPECT_EQ(RowNames(model_), before);  // the earlier rows stay
    EXPECT_TRUE(model_.OpenArchiveFile(dir_ / L"data\\many.zip"));
    EXPECT_EQ(model_.RowCount(), 2);
}

TEST_F(ContentModelTest, AnyReadableArchiveOpensByContentAndAProgramOnlyWhenAsked) {
    const std::wstring folder = dir_ / L"data";
    // A 7z archive under a name that says nothing, a gzip'd tar, and a program carrying a zip.
    ASSERT_EQ(Run7z(L"a -t7z " + Quote(folder + L"\\backup.dat") + L" docs", dir_ / L"src").exitCode, 0u);
    ASSERT_EQ(Run7z(L"a -ttar " + Quote(dir_ / L"t.tar") + L" docs top.txt", dir_ / L"src").exitCode, 0u);
    ASSERT_EQ(Run7z(L"a -tgzip " + Quote(folder + L"\\t.tar.gz") + L" " + Quote(dir_ / L"t.tar")).exitCode, 0u);
    WriteFileBytes(folder + L"\\setup.exe", ReadFileBytes(BinDir() + L"\\raw_launch.exe") + ReadFileBytes(archive_));
    const auto position = [&](const std::wstring& name) {
        for (int i = 0; i < model_.RowCount(); ++i)
            if (model_.RowAt(i).name == name) return i;
        return -1;
    };
    for (const std::wstring name : {L"backup.dat", L"t.tar.gz"}) {
        ASSERT_TRUE(model_.BrowseFolder(folder));
        EXPECT_EQ(model_.ActivateRow(position(name)), ViewChange::Changed) << name;
        ASSERT_TRUE(model_.InArchive());
        EXPECT_NE(position(L"docs"), -1) << name << " shows the archive's (or the tar's) own entries";
    }
    ASSERT_TRUE(model_.BrowseFolder(folder));
    EXPECT_EQ(model_.OpenRowAsArchive(position(L"setup.exe")), ViewChange::Changed);
    EXPECT_EQ(RowNames(model_), (std::vector<std::wstring>{L"..", L"docs", L"top.txt"}));
    EXPECT_TRUE(model_.messages().Take().empty());
}
