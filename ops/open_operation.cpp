// Opening and reloading the archive: list it on a worker thread, build the tree, enter a folder.
#include "base/paths.h"
#include "base/text.h"
#include "catalog/item_catalog.h"
#include "engine/archive_listing.h"
#include "ops/archive_operations.h"
#include "ops/operation_support.h"
#include "ops/progress.h"

namespace {

bool Cancelled() { return g_progress.cancel.load() != 0; }

// The open worker's body; returns what the listing found wrong with the archive.
std::wstring ListAndBuild(ItemCatalog& catalog, const std::wstring& knownPassword) {
    catalog.state = OperationState::Listing;
    catalog.ClearRows();
    catalog.ClearTree();
    catalog.format = OpenedFormat();
    ListingResult listing;
    std::wstring damage;
    listing.password = knownPassword;
    const ArchiveKind kind = archiveKindOf(catalog.archivePath);
    int listed = listArchive(catalog.archivePath, kind, listing);
    if (listed != 0 && !knownPassword.empty() && !Cancelled()) {
        // The known password did not open it (the archive changed meanwhile): ask.
        listing.password.clear();
        listed = listArchive(catalog.archivePath, kind, listing);
    }
    if (listed == 0 && !Cancelled()) {
        catalog.password = listing.password;
        catalog.format = listing.format;
        damage = listing.damage;
        catalog.damage = listing.damage;
        catalog.summary = std::move(listing.summary);
        catalog.BuildTree(listing, &g_progress);
        if (!Cancelled()) catalog.EnterFolder({});
    }
    catalog.state = OperationState::Idle;
    return damage;
}

OperationOutcome Open(ItemCatalog& catalog, const std::wstring& path, const std::wstring& knownPassword) {
    catalog.archivePath = path;
    catalog.yesToAll = 0;
    g_progress.reset();
    BeginOperation();
    std::wstring damage;
    const ProgressOutcome shown = RunWithProgress(L"Open File", L"Opening File ... ",
                                                  [&] { damage = ListAndBuild(catalog, knownPassword); });
    // No thread to spare: list on this one rather than not at all.
    if (shown == ProgressOutcome::NoThread) damage = ListAndBuild(catalog, knownPassword);
    const bool cancelledWhileListing = shown == ProgressOutcome::Cancelled || Cancelled();
    if (cancelledWhileListing) {
        // A cancelled open shows nothing of what was read so far.
        catalog.ClearRows();
        catalog.ClearTree();
        catalog.currentFolder.clear();
    }
    const bool cancelled = EndOperation(cancelledWhileListing);
    if (catalog.RowCount() == 0) return Outcome(cancelled ? OperationResult::Cancelled : OperationResult::Failed);
    if (cancelledWhileListing || damage.empty()) return Outcome(OperationResult::Done);
    return Outcome(OperationResult::Done, FileNameOf(path) + L" is damaged: " + damage +
                                              L".\nIts list may be incomplete, and extracting it will report errors.");
}

}  // namespace

OperationOutcome OpenArchive(ItemCatalog& catalog, const std::wstring& path) { return Open(catalog, path, L""); }

OperationOutcome ReloadArchive(ItemCatalog& catalog) {
    const std::wstring path = catalog.archivePath;
    const std::string folder = catalog.currentFolder;
    catalog.ClearRows();
    catalog.ClearTree();
    catalog.RemoveTempFolder();
    OperationOutcome outcome = Open(catalog, path, catalog.password);
    if (outcome.result == OperationResult::Done) catalog.EnterFolder(folder);
    return outcome;
}
