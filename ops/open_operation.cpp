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
#include "ops/fault_texts.h"
#include "ops/open_failure.h"
#include "ops/operation_ui.h"
#include "ops/operation_support.h"
#include "ops/progress.h"
#include "ops/worker_thread.h"

namespace {

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

// The message of an archive that opened with damage.
std::wstring DamagedListText(const std::wstring& path, const std::wstring& damage) {
    return FileNameOf(path) + L" is damaged: " + damage +
           L".\nIts list may be incomplete, and extracting it will report errors.";
}

struct ListingEnd {
    ArchiveDamage damage;      // what the listing found wrong with the archive
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
    int listed = listArchive(catalog.archivePath, kind, run, catalog.TreeBuilder(&WorkProgress()));
    if (listed != 0 && !knownPassword.empty() && !OperationCancelled() && !run.outOfMemory) {
        // The known password did not open it (the archive changed meanwhile): ask.
        catalog.ClearTree();
        run = ListingRun();
        listed = listArchive(catalog.archivePath, kind, run, catalog.TreeBuilder(&WorkProgress()));
    }
    // A typed password that does not decode the item list: asked again, saying so, until the
    // right one or Cancel.
    while (listed != 0 && run.failure.kind == OpenFailure::Kind::WrongPassword && !OperationCancelled()) {
        question.Again();
        catalog.ClearTree();
        run = ListingRun();
        listed = listArchive(catalog.archivePath, kind, run, catalog.TreeBuilder(&WorkProgress()));
    }
    if (listed == 0 && !OperationCancelled()) {
        catalog.password = run.password;
        catalog.listedPath = catalog.archivePath;
        catalog.format = run.format;
        catalog.damage = ArchiveDamageText(run.damage);
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

}  // namespace

// An early open's listing: it runs on its own worker, into a catalogue that it owns until an
// open of the same path takes it.
struct EarlyOpen::Listing {
    std::wstring path;
    std::unique_ptr<ItemCatalog> catalog;
    ListingEnd end;
    bool wantedPassword = false;  // the archive wants a password, which nobody was asked for
    ProgressCounters progress;    // its own, until an open takes it: then that open's
    WorkerThread worker;          // last: it ends (is joined) before what it fills goes
};

namespace {

// The listing of the early open that lives now, while nothing has taken it.
std::unique_ptr<EarlyOpen::Listing>* g_untaken = nullptr;

// What became of an open, once its listing has ended (`shown`: how its window ended).
OperationOutcome Conclude(ItemCatalog& catalog, const std::wstring& path, const ProgressCounters& progress,
                          ProgressOutcome shown, const ListingEnd& end) {
    const bool cancelledWhileListing = shown == ProgressOutcome::Cancelled || progress.cancel.load() != 0;
    if (cancelledWhileListing) {
        // A cancelled open shows nothing of what was read so far.
        catalog.ClearRows();
        catalog.ClearTree();
        catalog.currentFolder.clear();
    }
    const bool cancelled = cancelledWhileListing || progress.passwordRefused.load() != 0;
    if (catalog.RowCount() == 0) {
        const std::wstring message = OpenFailureMessage(end.failure, path);
        if (cancelled || message.empty()) return Outcome(OperationResult::Cancelled);
        return Outcome(OperationResult::Failed, message);
    }
    const std::wstring damage = ArchiveDamageText(end.damage);
    if (cancelledWhileListing || damage.empty()) return Outcome(OperationResult::Done);
    return Outcome(OperationResult::Done, DamagedListText(path, damage));
}

void DropEarly();

OperationOutcome Open(ItemCatalog& catalog, const std::wstring& path, const std::wstring& knownPassword) {
    // An early open that nobody took has no use any more.
    DropEarly();
    catalog.archivePath = path;
    catalog.yesToAll = 0;
    OperationProgress progress;
    ListingEnd end;
    const ProgressOutcome shown = RunWithProgress(L"Open File", L"Opening File ... ", progress,
                                                  [&] { end = ListAndBuild(catalog, knownPassword); });
    // No thread to spare: list on this one rather than not at all.
    if (shown == ProgressOutcome::NoThread) end = ListAndBuild(catalog, knownPassword);
    return Conclude(catalog, path, progress, shown, end);
}

// Stops a listing and waits for its worker.
void StopListing(EarlyOpen::Listing& listing) {
    listing.progress.cancel = 1;
    listing.worker.Join();
}

// An early open that nothing took is of no use once another open begins: it stops.
void DropEarly() {
    if (!g_untaken || !*g_untaken) return;
    StopListing(**g_untaken);
    g_untaken->reset();
}

}  // namespace

OperationOutcome OpenArchive(ItemCatalog& catalog, const std::wstring& path) { return Open(catalog, path, L""); }

OperationOutcome OpenArchiveInNewCatalog(const std::wstring& path, std::unique_ptr<ItemCatalog>& catalog) {
    if (!g_untaken || !*g_untaken || (*g_untaken)->path != path) {
        catalog = std::make_unique<ItemCatalog>();
        return Open(*catalog, path, L"");
    }
    std::unique_ptr<EarlyOpen::Listing> early = std::move(*g_untaken);
    catalog = std::move(early->catalog);
    // A listing still going on goes on behind the progress window, which shows once it has
    // lasted a moment and whose Cancel stops it; one already done needs no window.
    WorkerThread& worker = early->worker;
    const ProgressOutcome shown = worker.Ended() ? ProgressOutcome::Completed
                                                 : RunWithProgress(L"Open File", L"Opening File ... ",
                                                                   early->progress, [&worker] { worker.Join(); });
    worker.Join();
    // An archive that wants a password is opened again, now that there is a window to ask from.
    if (early->wantedPassword && catalog->RowCount() == 0 && early->progress.cancel.load() == 0 &&
        shown != ProgressOutcome::Cancelled)
        return Open(*catalog, path, L"");
    return Conclude(*catalog, path, early->progress,
                    shown == ProgressOutcome::NoThread ? ProgressOutcome::Completed : shown, early->end);
}

EarlyOpen::EarlyOpen(const std::wstring& path) {
    DropEarly();
    auto listing = std::make_unique<Listing>();
    listing->path = path;
    listing->catalog = std::make_unique<ItemCatalog>();
    listing->catalog->archivePath = path;
    // The user has been waiting since the process began, not since the listing did.
    listing->progress.startedTick = (GetTickCount() - MillisecondsSinceProcessStart()) | 1;  // never 0
    Listing* running = listing.get();
    const bool started = listing->worker.Start([running] {
        ProgressOnThisThread bound(running->progress);
        // Nobody is asked anything before there is a window to ask from.
        AskNobodyOnThisThread();
        running->end = ListAndBuild(*running->catalog, L"");
        running->wantedPassword = PasswordWantedOnThisThread();
    });
    if (started) listing_ = std::move(listing);
    g_untaken = &listing_;
}

EarlyOpen::~EarlyOpen() {
    if (listing_) StopListing(*listing_);
    if (g_untaken == &listing_) g_untaken = nullptr;
}

bool EarlyOpenGoesOn(const std::wstring& path) {
    return g_untaken && *g_untaken && (*g_untaken)->path == path && !(*g_untaken)->worker.Ended();
}

OperationOutcome ReloadArchive(ItemCatalog& catalog) {
    catalog.updatedListing.reset();
    const std::wstring path = catalog.archivePath;
    const std::wstring folder = catalog.currentFolder;
    catalog.ClearRows();
    catalog.ClearTree();
    catalog.RemoveTempFolder();
    OperationOutcome outcome = Open(catalog, path, catalog.password);
    if (outcome.result == OperationResult::Done) catalog.EnterFolder(folder);
    return outcome;
}

OperationOutcome ShowChangedArchive(ItemCatalog& catalog) {
    const std::shared_ptr<ItemCatalog> listed = std::move(catalog.updatedListing);
    if (!listed || listed->listedPath != catalog.archivePath) return ReloadArchive(catalog);
    const std::wstring folder = catalog.currentFolder;
    catalog.RemoveTempFolder();
    catalog.TakeListingOf(*listed);
    catalog.EnterFolder(folder);
    const std::wstring& damage = catalog.damage;
    if (damage.empty()) return Outcome(OperationResult::Done);
    return Outcome(OperationResult::Done, DamagedListText(catalog.archivePath, damage));
}
