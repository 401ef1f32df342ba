// Opening archives behind the progress window.
#include "catalog/item_catalog.h"
#include "ops/archive_operations.h"
#include "ops/progress.h"
#include "ops_test_util.h"
#include "support/rar_writer.h"
#include "support/zip_writer.h"

using namespace opstest;

TEST(OpenArchive, ListsTheRootAndReportsFailures) {
    TempDir work(L"open");
    PackTree(work / L"x.zip", {{L"docs\\a.txt", "a"}, {L"b.txt", "bb"}, {L"caf\u00e9 \u6587 \U0001F600.txt", "c"}});
    WriteFileBytes(work / L"empty.zip", MakeZip({}));
    WriteFileBytes(work / L"broken.zip", "PK\x03\x04 definitely not a zip archive");
    AppDialogs dialogs;

    ItemCatalog catalog;
    const OperationOutcome opened = OpenArchive(catalog, work / L"x.zip");
    ASSERT_TRUE(opened.done());
    EXPECT_TRUE(opened.messages.empty());
    EXPECT_EQ(catalog.archivePath, work / L"x.zip");
    EXPECT_EQ(catalog.currentFolder, L"");
    ASSERT_EQ(catalog.RowCount(), 4);
    EXPECT_EQ(catalog.state.load(), OperationState::Idle);
    std::vector<std::wstring> names;
    for (int i = 0; i < catalog.RowCount(); ++i) names.push_back(catalog.RowAt(i).name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"..", L"b.txt", L"caf\u00e9 \u6587 \U0001F600.txt", L"docs"}));

    // An archive without entries opens: only "..".
    ASSERT_TRUE(OpenArchive(catalog, work / L"empty.zip").done());
    EXPECT_EQ(catalog.RowCount(), 1);

    // A damaged archive: no rows, and it is a failure that says why, not a cancel.
    const OperationOutcome broken = OpenArchive(catalog, work / L"broken.zip");
    EXPECT_EQ(broken.result, OperationResult::Failed);
    EXPECT_EQ(broken.messages, std::vector<std::wstring>{L"Couldn't open the file.\nIt is damaged, or it is not an "
                                                         L"archive of its type."});
    EXPECT_EQ(catalog.RowCount(), 0);
    EXPECT_EQ(OpenArchive(catalog, work / L"missing.7z").result, OperationResult::Failed);

    // A damaged archive shows what can be read of it, and says that it is damaged.
    WriteFileBytes(work / L"cut.rar", MakeRar4({{"folder", "", true}, {"folder/in.txt", "in"}, {"two.txt", "2"}}).substr(0, 137));
    const OperationOutcome cut = OpenArchive(catalog, work / L"cut.rar");
    EXPECT_TRUE(cut.done());
    EXPECT_EQ(catalog.RowCount(), 2);
    EXPECT_EQ(cut.messages, std::vector<std::wstring>{L"cut.rar is damaged: unexpected end of archive.\nIts list "
                                                      L"may be incomplete, and extracting it will report errors."});
    EXPECT_TRUE(dialogs.messages().empty()) << "the caller tells, not the operation";
}

TEST(OpenArchive, EncryptedItemListAsksOnceAndKeepsThePassword) {
    TempDir work(L"open");
    PackTree(work / L"h.7z", {{L"secret.txt", "s"}}, L"-pp\u00e4ss -mhe=on");
    {
        AppDialogs dialogs(L"p\u00e4ss");
        ItemCatalog catalog;
        ASSERT_TRUE(OpenArchive(catalog, work / L"h.7z").done());
        EXPECT_EQ(dialogs.passwordPrompts(), 1);
        EXPECT_EQ(catalog.password, L"p\u00e4ss");
        EXPECT_EQ(catalog.RowAt(1).name, L"secret.txt");
    }
    {
        // A refused password is a cancel: no rows, and nothing to report.
        AppDialogs refusing(L"", true);
        ItemCatalog catalog;
        const OperationOutcome refused = OpenArchive(catalog, work / L"h.7z");
        EXPECT_EQ(refusing.passwordPrompts(), 1);
        EXPECT_EQ(refused.result, OperationResult::Cancelled);
        EXPECT_TRUE(refused.messages.empty());
        EXPECT_EQ(catalog.RowCount(), 0);
    }
}

TEST(OpenArchive, AWrongPasswordIsAskedForAgainAndACancelThenEndsQuietly) {
    TempDir work(L"open");
    PackTree(work / L"h.7z", {{L"secret.txt", "s"}}, L"-pSECRET -mhe=on");
    AppDialogs dialogs({L"wrong"});
    ItemCatalog catalog;
    const OperationOutcome cancelled = OpenArchive(catalog, work / L"h.7z");
    EXPECT_EQ(cancelled.result, OperationResult::Cancelled);
    EXPECT_TRUE(cancelled.messages.empty());
    EXPECT_EQ(dialogs.promptTexts(),
              (std::vector<std::wstring>{L"Enter password for h.7z:", L"Wrong password. Enter password for h.7z:"}));
}

TEST(OpenArchive, CancelStopsTheOpenAndLeavesNothingHalfBuilt) {
    TempDir work(L"open");
    std::vector<ZipEntry> entries;
    // Enough entries that the open still runs when the window has come up and Cancel is pressed.
    for (int i = 0; i < 1000000; ++i) {
        ZipEntry entry;
        entry.name = "folder" + std::to_string(i % 100) + "/file" + std::to_string(i) + ".txt";
        entries.push_back(std::move(entry));
    }
    WriteFileBytes(work / L"many.zip", MakeZip(entries));
    entries.clear();

    // How long a whole open takes here.
    ItemCatalog reference;
    DWORD start = GetTickCount();
    ASSERT_TRUE(OpenArchive(reference, work / L"many.zip").done());
    const DWORD whole = GetTickCount() - start;

    ItemCatalog catalog;
    DWORD cancelled = 0;
    OperationOutcome outcome;
    {
        ProgressCanceller cancel(L"Open File", 50);
        start = GetTickCount();
        outcome = OpenArchive(catalog, work / L"many.zip");
        cancelled = GetTickCount() - start;
        EXPECT_TRUE(cancel.pressed()) << "whole open " << whole << " ms";
    }
    EXPECT_EQ(outcome.result, OperationResult::Cancelled);
    EXPECT_EQ(catalog.RowCount(), 0);
    EXPECT_EQ(catalog.tree.NodeCount(), 1u);
    EXPECT_EQ(catalog.state.load(), OperationState::Idle);
    EXPECT_LT(cancelled, whole) << "whole open " << whole << " ms";
    EXPECT_TRUE(outcome.messages.empty());

    // The same catalogue opens the archive afterwards as if nothing had happened.
    EXPECT_TRUE(OpenArchive(catalog, work / L"many.zip").done());
    EXPECT_EQ(catalog.RowCount(), 101);
}
