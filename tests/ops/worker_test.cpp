// The workers beside the UI thread: each is joined before what it uses goes away.
#include <tlhelp32.h>

#include "catalog/item_catalog.h"
#include "engine/engine_events.h"
#include "ops/worker_thread.h"
#include "ops_test_util.h"
#include "support/zip_writer.h"

using namespace opstest;

namespace {

// The threads of this process, as the system lists them.
size_t ThreadsOfThisProcess() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    size_t count = 0;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    return count;
}

}  // namespace

TEST(Workers, AnOwnerWaitsAtItsEndForTheWorkItStarted) {
    std::atomic<int> ended{0};
    const auto slowWork = [&] {
        Sleep(200);
        ++ended;
    };
    {
        WorkerThread worker;
        ASSERT_TRUE(worker.Start(slowWork));
    }
    EXPECT_EQ(ended.load(), 1);
    {
        WorkerGroup group;
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(group.Start(slowWork));
    }
    EXPECT_EQ(ended.load(), 4);
}

TEST(Workers, AnAddThatFailsAtOnceEndsWithTheCountOfItsFiles) {
    // A 7z add counts its files beside the archiver, which refuses this archive at once.
    TempDir source(L"src"), work(L"count");
    Tree tree;
    for (int i = 0; i < 2000; ++i) tree[L"d\\" + std::to_wstring(i % 20) + L"\\f" + std::to_wstring(i)] = "x";
    MakeTree(source.path(), tree);
    WriteFileBytes(work / L"bad.7z", "not a 7z archive");
    for (int run = 0; run < 2; ++run) {  // the first run may leave the system's own threads
        const size_t before = ThreadsOfThisProcess();
        ItemCatalog catalog;
        const OperationOutcome outcome = AddFilesToArchive(catalog, work / L"bad.7z", {source / L"d"}, L"");
        EXPECT_EQ(outcome.result, OperationResult::Failed);
        if (run == 1) {
            EXPECT_EQ(ThreadsOfThisProcess(), before) << "every worker of the add has ended";
        }
    }
    EXPECT_EQ(ReadFileBytes(work / L"bad.7z"), "not a 7z archive");
}

TEST(Workers, TheEndOfALargeListingsEngineSessionIsJoinedWithTheBackgroundWork) {
    // Enough items that the engine's session ends in the background after the listing; that end
    // is made slow here, so that only a join sees it done.
    static std::atomic<int> handedOver{0}, ended{0};
    const BackgroundRunner installed = SetEngineBackgroundRunner([](std::function<void()> work) {
        ++handedOver;
        return StartBackgroundWork([work = std::move(work)] {
            Sleep(300);
            work();
            ++ended;
        });
    });
    TempDir work(L"bg");
    std::vector<ZipEntry> entries(70000);
    for (size_t i = 0; i < entries.size(); ++i) entries[i].name = "f" + std::to_string(i);
    WriteFileBytes(work / L"large.zip", MakeZip(entries));
    ItemCatalog catalog;
    EXPECT_TRUE(OpenArchive(catalog, work / L"large.zip").done());
    EXPECT_EQ(handedOver.load(), 1);
    JoinBackgroundWork();
    EXPECT_EQ(ended.load(), 1);
    EXPECT_EQ(GetModuleHandleW(L"7z.dll"), nullptr) << "the session's engine library is freed";
    SetEngineBackgroundRunner(installed);
}
