// Opening and reloading the archive: list it on a worker thread, build the tree, enter a folder.
#include "base/text.h"
#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "engine/archive_listing.h"
#include "ops/operation_support.h"
#include "ops/progress.h"

void ItemCatalog::BeginOperation() {
    cancel = 0;
    g_progress.passwordRefused = 0;
    lastOperationCancelled_ = false;
}

void ItemCatalog::EndOperation(bool cancelledByUser) {
    lastOperationCancelled_ = cancelledByUser || cancel.load() != 0 || g_progress.passwordRefused.load() != 0;
    // The flags must not outlive the operation: extractions outside the catalogue (the whole
    // archive from the file view) use the same engine hook.
    cancel = 0;
    g_progress.passwordRefused = 0;
}

bool ItemCatalog::OpenArchive(const std::wstring& path) { return Open(path, L""); }

bool ItemCatalog::Open(const std::wstring& path, const std::wstring& knownPassword) {
    archivePath = path;
    yesToAll = 0;
    g_progress.reset();
    BeginOperation();
    const ProgressOutcome outcome =
        RunWithProgress(L"Open File", L"Opening File ... ", [&] { ListAndBuild(knownPassword); });
    if (outcome == ProgressOutcome::NoThread) {
        ListAndBuild(knownPassword);  // no thread to spare: list on this one rather than not at all
    }
    const bool cancelled = outcome == ProgressOutcome::Cancelled || cancel.load() != 0;
    if (cancelled) {
        // A cancelled open shows nothing of what was read so far.
        ClearRows();
        ClearTree();
        currentFolder.clear();
    }
    if (!cancelled && !listingDamage_.empty())
        ShowOperationMessage(FileNameOf(path) + L" is damaged: " + listingDamage_ +
                             L".\nIts list may be incomplete, and extracting it will report errors.");
    EndOperation(cancelled);
    return RowCount() > 0;
}

void ItemCatalog::ListAndBuild(const std::wstring& knownPassword) {
    state = OperationState::Listing;
    ClearRows();
    ClearTree();
    ListingResult listing;
    listingDamage_.clear();
    listing.password = knownPassword;
    int listed = listArchive(archivePath, archiveKindOf(archivePath), listing);
    if (listed != 0 && !knownPassword.empty() && cancel.load() == 0) {
        // The known password did not open it (the archive changed meanwhile): ask.
        listing.password.clear();
        listed = listArchive(archivePath, archiveKindOf(archivePath), listing);
    }
    if (listed == 0 && cancel.load() == 0) {
        password = listing.password;
        listingDamage_ = listing.damage;
        BuildTree(listing);
        if (cancel.load() == 0) EnterFolder({});
    }
    state = OperationState::Idle;
}

void ItemCatalog::ReloadArchive() {
    const std::wstring path = archivePath;
    const std::string folder = currentFolder;
    ClearRows();
    ClearTree();
    RemoveTempFolder();
    if (Open(path, password)) EnterFolder(folder);
}
