// Copies of entries opened in their programs: a saved copy is never dropped without a question,
// also when its archive cannot take it back and the user only closes the window.
#include <gtest/gtest.h>

#include "base/handles.h"
#include "ops/edited_entries.h"
#include "support/test_support.h"
#include "support/window_probe.h"
#include "ui/opened_files.h"

using namespace testsupport;

TEST(OpenedFiles, ACopyItsArchiveCannotTakeBackIsOfferedElsewhereAtTheLastLook) {
    TempDir work(L"opened");
    WriteFileBytes(work / L"src\\lisez-moi.txt", "bonjour");
    Run7z(L"a -ttar " + Quote(work / L"x.tar") + L" lisez-moi.txt", work / L"src");
    Run7z(L"a -tgzip " + Quote(work / L"x.tar.gz") + L" " + Quote(work / L"x.tar"));
    const std::string archived = ReadFileBytes(work / L"x.tar.gz");

    OpenedFile opened;
    OpenedEntry& entry = opened.entry;
    entry.archivePath = work / L"x.tar.gz";
    entry.entryPath = L"lisez-moi.txt";
    entry.folder = work / L"copy";
    entry.file = entry.folder + L"\\lisez-moi.txt";
    WriteFileBytes(entry.file, "bonjour");
    entry.openedDigest = CopyDigest(entry.file);
    // Saved in the same second with the same size: only the bytes tell.
    ASSERT_TRUE(ReadFileStamp(entry.file, entry.size, entry.written));
    WriteFileBytes(entry.file, "bonsoir");
    {
        UniqueHandle file(CreateFileW(entry.file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        SetFileTime(file.get(), nullptr, nullptr, &entry.written);
    }
    DialogResponder answers(L"Tolvane Extractor", [](HWND box) { PressButton(box, IDNO); });
    std::vector<std::wstring> updated;
    const auto heard = [&](const std::wstring& archive) { updated.push_back(archive); };
    OpenedFiles files;
    files.Attach(nullptr, heard);
    files.Watch(std::move(opened));
    files.OfferChanged(false);
    EXPECT_EQ(answers.count(), 0) << "size and time are as last seen";
    files.OfferChanged(true);
    ASSERT_TRUE(WaitUntil([&] { return answers.count() == 1; }));
    EXPECT_NE(answers.texts()[0].find(L"x.tar.gz cannot take it back"), std::wstring::npos) << Narrow(answers.texts()[0]);
    EXPECT_NE(answers.texts()[0].find(L"save your copy elsewhere"), std::wstring::npos);
    files.OfferChanged(true);
    EXPECT_EQ(answers.count(), 1) << "one version is asked about once";
    EXPECT_TRUE(updated.empty());
    EXPECT_EQ(ReadFileBytes(work / L"x.tar.gz"), archived);
}
