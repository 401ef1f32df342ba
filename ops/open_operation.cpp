// Opening and reloading the archive: list it on a worker thread into the tree, enter a folder.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

#include "base/paths.h"
#include "base/text.h"
#include "catalog/item_catalog.h"
#include "engine/archive_listing.h"
#include "ops/archive_operations.h"
#include "ops/engine_event_handler.h"
#include "ops/open_failure.h"
#include "ops/operation_ui.h"
#include "ops/operation_support.h"
#include "ops/progress.h"
#include "ops/worker_thread.h"

namespace {

bool Cancelled() { return g_progress.cancel.load() != 0; }

DWORD MillisecondsSinceProcessStart() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    const uint64_t from = ticks(created), to = ticks(now);
    // A clock set back meanwhile counts as no wait at all; 100 ns units to ms.
    return to > from ? static_cast<DWORD>(std::min<uint64_t>((to - from) / 10000, 60000)) : 0;
}

struct ListingEnd {
    std::wstring damage;       // what the listing found wrong with the archive
    OpenFailure failure;       // why it did not open, when it did not
};

// The open worker's body.
ListingEnd ListAndBuild(ItemCatalog& catalog, const std::wstring& knownPassword) {
    catalog.state = OperationState::Listing;
    catalog.ClearRows();
    catalog.ClearTree();
    catalog.format = OpenedFormat();
    ListingEnd end;
    // The items go straight into the tree; no list of them is kept on the way.
    ListingRun run;
    run.password = knownPassword;
    const ArchiveKind kind = archiveKindOf(catalog.archivePath);
    PasswordQuestionFor question(catalog.archivePath);
    int listed = listArchive(catalog.archivePath, kind, run, catalog.TreeBuilder(&g_progress));
    if (listed != 0 && !knownPassword.empty() && !Cancelled() && !run.outOfMemory) {
        // The known password did not open it (the archive changed meanwhile): ask.
        catalog.ClearTree();
        run = ListingRun();
        listed = listArchive(catalog.archivePath, kind, run, catalog.TreeBuilder(&g_progress));
    }
    // A typed password that does not decode the item list: asked again, saying so, until the
    // right one or Cancel.
    while (listed != 0 && run.failure.kind == OpenFailure::Kind::WrongPassword && !Cancelled()) {
        question.Again();
        catalog.ClearTree();
        run = ListingRun();
        listed = listArchive(catalog.archivePath, kind, run, catalog.TreeBuilder(&g_progress));
    }
    if (listed == 0 && !Cancelled()) {
        catalog.password = run.password;
        catalog.format = run.format;
        catalog.damage = run.damage;
        catalog.summary = std::move(run.summary);
        end.damage = run.damage;
        try {
            catalog.EnterFolder({});
            // The rows are shown sorted by name at first: their order is made here, off the UI
            // thread, and so are the icons of the first of them.
            catalog.NameRanks();
            catalog.PrefetchShownTypes();
        } catch (const std::bad_alloc&) {
            listed = 1;
            run.outOfMemory = true;
        }
    }
    if (listed != 0) {
        // Nothing of a failed listing stays, and its memory is given back.
        catalog.ClearRows();
        catalog.ClearTree();
        end.failure = std::move(run.failure);
        if (run.outOfMemory) end.failure.kind = OpenFailure::Kind::OutOfMemory;
    }
    catalog.state = OperationState::Idle;
    return end;
}

// An open begun before there was a window to show it: its listing runs on its own worker, into a
// catalogue that it owns until an open of the same path takes it.
struct EarlyOpen {
    std::wstring path;
    std::unique_ptr<ItemCatalog> catalog;
    WorkerThread worker;
    ListingEnd end;
    bool wantedPassword = false;  // the archive wants a password, which nobody was asked for
};

std::unique_ptr<EarlyOpen> g_early;

// What became of an open, once its listing has ended (`shown`: how its window ended).
OperationOutcome Conclude(ItemCatalog& catalog, const std::wstring& path, ProgressOutcome shown, const ListingEnd& end) {
    const bool cancelledWhileListing = shown == ProgressOutcome::Cancelled || Cancelled();
    if (cancelledWhileListing) {
        // A cancelled open shows nothing of what was read so far.
        catalog.ClearRows();
        catalog.ClearTree();
        catalog.currentFolder.clear();
    }
    const bool cancelled = EndOperation(cancelledWhileListing);
    if (catalog.RowCount() == 0) {
        const std::wstring message = OpenFailureMessage(end.failure, path);
        if (cancelled || message.empty()) return Outcome(OperationResult::Cancelled);
        return Outcome(OperationResult::Failed, message);
    }
    if (cancelledWhileListing || end.damage.empty()) return Outcome(OperationResult::Done);
    return Outcome(OperationResult::Done, FileNameOf(path) + L" is damaged: " + end.damage +
                                              L".\nIts list may be incomplete, and extracting it will report errors.");
}

void DropEarly();

OperationOutcome Open(ItemCatalog& catalog, const std::wstring& path, const std::wstring& knownPassword) {
    // An early open that nobody took would share the progress counters with this one.
    DropEarly();
    catalog.archivePath = path;
    catalog.yesToAll = 0;
    g_progress.reset();
    BeginOperation();
    ListingEnd end;
    const ProgressOutcome shown = RunWithProgress(L"Open File", L"Opening File ... ",
                                                  [&] { end = ListAndBuild(catalog, knownPassword); });
    // No thread to spare: list on this one rather than not at all.
    if (shown == ProgressOutcome::NoThread) end = ListAndBuild(catalog, knownPassword);
    return Conclude(catalog, path, shown, end);
}

void DropEarly() {
    if (!g_early) return;
    g_progress.cancel = 1;
    g_early->worker.Join();
    g_early.reset();
    EndOperation(true);
}

}  // namespace

OperationOutcome OpenArchive(ItemCatalog& catalog, const std::wstring& path) { return Open(catalog, path, L""); }

OperationOutcome OpenArchiveInNewCatalog(const std::wstring& path, std::unique_ptr<ItemCatalog>& catalog) {
    if (!g_early || g_early->path != path) {
        catalog = std::make_unique<ItemCatalog>();
        return Open(*catalog, path, L"");
    }
    std::unique_ptr<EarlyOpen> early = std::move(g_early);
    catalog = std::move(early->catalog);
    // A listing still going on goes on behind the progress window, which shows once it has
    // lasted a moment and whose Cancel stops it; one already done needs no window.
    WorkerThread& worker = early->worker;
    const ProgressOutcome shown = worker.Ended() ? ProgressOutcome::Completed
                                                 : RunWithProgress(L"Open File", L"Opening File ... ",
                                                                   [&worker] { worker.Join(); });
    worker.Join();
    // An archive that wants a password is opened again, now that there is a window to ask from.
    if (early->wantedPassword && catalog->RowCount() == 0 && !Cancelled() && shown != ProgressOutcome::Cancelled) {
        EndOperation(false);
        return Open(*catalog, path, L"");
    }
    return Conclude(*catalog, path, shown == ProgressOutcome::NoThread ? ProgressOutcome::Completed : shown, early->end);
}

void BeginEarlyOpen(const std::wstring& path) {
    DropEarly();
    auto early = std::make_unique<EarlyOpen>();
    early->path = path;
    early->catalog = std::make_unique<ItemCatalog>();
    early->catalog->archivePath = path;
    g_progress.reset();
    // The user has been waiting since the process began, not since the listing did.
    g_progress.startedTick = (GetTickCount() - MillisecondsSinceProcessStart()) | 1;  // never 0
    BeginOperation();
    EarlyOpen* running = early.get();
    const bool started = early->worker.Start([running] {
        // Nobody is asked anything before there is a window to ask from.
        AskNobodyOnThisThread();
        running->end = ListAndBuild(*running->catalog, L"");
        running->wantedPassword = PasswordWantedOnThisThread();
    });
    if (started) g_early = std::move(early);
}

void DropEarlyOpen() { DropEarly(); }

bool EarlyOpenGoesOn(const std::wstring& path) { return g_early && g_early->path == path && !g_early->worker.Ended(); }

OperationOutcome ReloadArchive(ItemCatalog& catalog) {
    const std::wstring path = catalog.archivePath;
    const std::wstring folder = catalog.currentFolder;
    catalog.ClearRows();
    catalog.ClearTree();
    catalog.RemoveTempFolder();
    OperationOutcome outcome = Open(catalog, path, catalog.password);
    if (outcome.result == OperationResult::Done) catalog.EnterFolder(folder);
    return outcome;
}
