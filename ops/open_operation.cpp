// Opening and reloading the archive: list it on a worker thread into the tree, enter a folder.
#include <new>

#include "base/paths.h"
#include "base/text.h"
#include "catalog/item_catalog.h"
#include "engine/archive_listing.h"
#include "ops/archive_operations.h"
#include "ops/operation_support.h"
#include "ops/progress.h"

namespace {

bool Cancelled() { return g_progress.cancel.load() != 0; }

struct ListingEnd {
    std::wstring damage;       // what the listing found wrong with the archive
    bool outOfMemory = false;  // the archive's list did not fit in memory
};

// The open worker's body.
ListingEnd ListAndBuild(ItemCatalog& catalog, const std::wstring& knownPassword) {
    catalog.state = OperationState::Listing;
    catalog.ClearRows();
    catalog.ClearTree();
    ListingEnd end;
    // The items go straight into the tree; no list of them is kept on the way.
    ListingRun run;
    run.password = knownPassword;
    const ArchiveKind kind = archiveKindOf(catalog.archivePath);
    int listed = listArchive(catalog.archivePath, kind, run, catalog.TreeBuilder(&g_progress));
    if (listed != 0 && !knownPassword.empty() && !Cancelled() && !run.outOfMemory) {
        // The known password did not open it (the archive changed meanwhile): ask.
        catalog.ClearTree();
        run.password.clear();
        listed = listArchive(catalog.archivePath, kind, run, catalog.TreeBuilder(&g_progress));
    }
    if (listed == 0 && !Cancelled()) {
        catalog.password = run.password;
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
        end.outOfMemory = run.outOfMemory;
    }
    catalog.state = OperationState::Idle;
    return end;
}

OperationOutcome Open(ItemCatalog& catalog, const std::wstring& path, const std::wstring& knownPassword) {
    catalog.archivePath = path;
    catalog.yesToAll = 0;
    g_progress.reset();
    BeginOperation();
    ListingEnd end;
    const ProgressOutcome shown = RunWithProgress(L"Open File", L"Opening File ... ",
                                                  [&] { end = ListAndBuild(catalog, knownPassword); });
    // No thread to spare: list on this one rather than not at all.
    if (shown == ProgressOutcome::NoThread) end = ListAndBuild(catalog, knownPassword);
    const bool cancelledWhileListing = shown == ProgressOutcome::Cancelled || Cancelled();
    if (cancelledWhileListing) {
        // A cancelled open shows nothing of what was read so far.
        catalog.ClearRows();
        catalog.ClearTree();
        catalog.currentFolder.clear();
    }
    const bool cancelled = EndOperation(cancelledWhileListing);
    if (catalog.RowCount() == 0) {
        if (cancelled) return Outcome(OperationResult::Cancelled);
        if (end.outOfMemory)
            return Outcome(OperationResult::Failed,
                           L"Couldn't open the file.\nIt holds more entries than fit in the memory of this program.");
        return Outcome(OperationResult::Failed);
    }
    if (cancelledWhileListing || end.damage.empty()) return Outcome(OperationResult::Done);
    return Outcome(OperationResult::Done, FileNameOf(path) + L" is damaged: " + end.damage +
                                              L".\nIts list may be incomplete, and extracting it will report errors.");
}

}  // namespace

OperationOutcome OpenArchive(ItemCatalog& catalog, const std::wstring& path) { return Open(catalog, path, L""); }

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
