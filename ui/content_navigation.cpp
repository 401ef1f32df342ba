// The content model's navigation: going to a place (a folder, "Computer", an archive or a folder
// inside one), opening rows, going up and through the history, reading the place again, and
// where a window starts and what it remembers when it ends.
#include <windows.h>
#include <shellapi.h>

#include "base/folder_tree.h"
#include "base/path_tests.h"
#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "engine/archive_probe.h"
#include "ops/archive_operations.h"
#include "ops/edited_entries.h"
#include "ops/temp_workspace.h"
#include "ui/extract_choices_store.h"
#include "ui/content_model.h"
#include "ui/wait_cursor.h"

namespace {

// The parent of a folder inside the archive (empty for a folder at the root).
std::wstring ParentArchiveFolder(const std::wstring& folder) {
    const size_t cut = folder.rfind(L'\\');
    return cut == std::wstring::npos ? std::wstring() : folder.substr(0, cut);
}

}  // namespace

// ---------------------------------------------------------------- navigation

bool ContentModel::SelectLocation(int index) {
    const std::wstring path = LocationPath(index);
    if (path.empty()) return false;
    if (catalog_ && IsSameOrInside(path, catalog_->archivePath)) return NavigateArchive(path) == ViewChange::Changed;
    return GoToPath(index, path);
}

bool ContentModel::GoToPath(int, const std::wstring& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_DIRECTORY;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        WaitCursor wait;
        return BrowseFolder(path);
    }
    // The Computer entry (or its name typed); any other text that names no folder is told about,
    // whatever place is shown.
    if (path == L"Computer") {
        ListDrives();
        return true;
    }
    if (FileIsReadable(path) && guessArchiveFile(path) != ArchiveGuess::NotArchive) return OpenArchiveFile(path);
    if (catalog_ && IsSameOrInside(path, catalog_->archivePath)) {
        // A folder inside the open archive, typed as the path field shows it.
        NavigateArchive(path);
        if (lstrcmpiW(WithoutTrailingSeparator(path).c_str(), catalog_->DisplayPath().c_str()) == 0) return true;
        TellCannotShow(path, ERROR_PATH_NOT_FOUND);
        return false;
    }
    TellCannotShow(path, error);
    return false;
}

ViewChange ContentModel::NavigateArchive(const std::wstring& displayPath) {
    if (!catalog_) return ViewChange::None;
    catalog_->NavigateTo(WithoutTrailingSeparator(displayPath));
    LoadArchiveRows();
    return ViewChange::Changed;
}

ViewChange ContentModel::ActivateRow(int position) {
    if (catalog_) return ActivateArchiveRow(position);
    if (ListingIndex(position) < 0) return ViewChange::None;
    const std::wstring path = RowFullPath(position);
    if (IsDirectory(path)) return BrowseFolder(path) ? ViewChange::Changed : ViewChange::None;
    if (FileIsReadable(path)) {
        const ArchiveGuess guess = guessArchiveFile(path);
        // A file that only looks like an archive inside goes to the shell when it does not open.
        if (guess != ArchiveGuess::NotArchive && OpenArchiveFile(path, guess == ArchiveGuess::ByName))
            return ViewChange::Changed;
        if (guess != ArchiveGuess::ByName) ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOW);
    }
    return ViewChange::None;
}

ViewChange ContentModel::OpenRowAsArchive(int position) {
    const std::wstring path = catalog_ || IsParentRow(position) ? std::wstring() : RowFullPath(position);
    if (path.empty() || !FileIsReadable(path)) {
        messages_.Tell(L"Please select one file to open as an archive.", MessageKind::Warning);
        return ViewChange::None;
    }
    return OpenArchiveFile(path) ? ViewChange::Changed : ViewChange::None;
}

ViewChange ContentModel::ActivateArchiveRow(int position) {
    if (!catalog_) return ViewChange::None;
    const std::optional<ItemRow> row = RowCopy(position);
    if (!row) return ViewChange::None;
    if (!IsParentRow(position)) {
        ActivationOutcome activated = ActivateEntry(*catalog_, row->fullPath, StoredZoneMarking());
        messages_.Tell(activated.extraction);
        if (!activated.openedFolder.empty()) {
            // Watched for changes, the folder removed when the watch is done with it.
            OpenedFile opened;
            opened.entry.archivePath = catalog_->archivePath;
            opened.entry.entryPath = row->fullPath;
            opened.entry.file = activated.openedFile;
            opened.entry.folder = activated.openedFolder;
            opened.entry.password = catalog_->password;
            opened.entry.openedDigest = activated.openedDigest;
            ReadFileStamp(opened.entry.file, opened.entry.size, opened.entry.written);
            opened.process = std::move(activated.process);
            openedFiles_.Watch(std::move(opened));
        }
        if (activated.activation != Activation::EnteredFolder) return ViewChange::None;
        LoadArchiveRows();
        return ViewChange::Changed;
    }
    return LeaveArchiveFolder();
}

ViewChange ContentModel::LeaveArchiveFolder() {
    // The way up goes by the tree, never by the text of the path: a folder of the archive may
    // be named "..".
    if (catalog_->currentFolder.empty())
        return BrowseFolder(ParentOf(catalog_->archivePath)) ? ViewChange::Changed : ViewChange::None;
    catalog_->EnterFolder(ParentArchiveFolder(catalog_->currentFolder));
    LoadArchiveRows();
    return ViewChange::Changed;
}

bool ContentModel::ShowPlace(const std::wstring& place) {
    if (place == L"Computer") {
        ListDrives();
        return true;
    }
    if (catalog_ && IsSameOrInside(place, catalog_->archivePath)) return NavigateArchive(place) == ViewChange::Changed;
    if (IsDirectory(place)) return BrowseFolder(place);
    // A place inside an archive that is no longer open: the archive is the file on the way up.
    for (std::wstring archive = place; !archive.empty(); archive = ParentOf(archive)) {
        if (!FileIsReadable(archive)) continue;
        if (guessArchiveFile(archive) == ArchiveGuess::NotArchive || !OpenArchiveFile(archive)) break;
        if (!SameFolder(archive, place)) NavigateArchive(place);
        return true;
    }
    TellCannotShow(place, ERROR_PATH_NOT_FOUND);
    return false;
}

ViewChange ContentModel::GoUp() {
    if (catalog_) return LeaveArchiveFolder();
    if (showsDrives_) return ViewChange::None;
    const std::wstring parent = ParentOf(currentFolder);
    if (parent.empty()) {
        ListDrives();  // above a drive's root
        return ViewChange::Changed;
    }
    return BrowseFolder(parent) ? ViewChange::Changed : ViewChange::None;
}

ViewChange ContentModel::Refresh() {
    if (showsDrives_) {
        ListDrives();
        return ViewChange::Changed;
    }
    if (!catalog_) return BrowseFolder(currentFolder) ? ViewChange::Changed : ViewChange::None;
    const OperationOutcome outcome = ReloadArchive(*catalog_);
    messages_.Tell(outcome);
    if (outcome.done()) {
        LoadArchiveRows();
        return ViewChange::Changed;
    }
    // Gone, changed beyond reading (told, with why), or its password refused: the folder that
    // holds it is shown.
    const std::wstring folder = FolderOf(catalog_->archivePath);
    CloseArchive();
    if (!BrowseFolder(folder)) ListDrives();
    return ViewChange::Changed;
}

bool ContentModel::OpenArchiveFile(const std::wstring& path, bool tellFailure) {
    // The archive is listed into a catalogue of its own before anything shown changes: a
    // failed or cancelled open leaves the rows, their columns and the open archive as they were.
    std::unique_ptr<ItemCatalog> opened;
    const OperationOutcome outcome = OpenArchiveInNewCatalog(path, opened);
    if (outcome.result == OperationResult::Done || tellFailure) messages_.Tell(outcome);
    if (outcome.result != OperationResult::Done) {
        // A cancelled open (or a refused password) is the user's own choice and says nothing; a
        // failure says that the file did not open, and why.
        opened.reset();
        return false;
    }
    ClearListing();
    CloseArchive();
    catalog_ = InstallCatalog(std::move(opened));
    LoadArchiveRows();
    return true;
}

bool ContentModel::ReloadIfShowing(const std::wstring& archivePath) {
    if (!catalog_ || lstrcmpiW(catalog_->archivePath.c_str(), archivePath.c_str()) != 0) return false;
    messages_.Tell(ReloadArchive(*catalog_));
    LoadArchiveRows();
    return true;
}

void ContentModel::CloseArchive() {
    if (!catalog_) return;
    DropRows();  // they borrow the catalogue's icons
    catalog_ = nullptr;
    DestroyCatalog();
}

// ---------------------------------------------------------------- start and end

std::wstring ContentModel::StartPath(const std::wstring& lastPath) {
    wchar_t full[MAX_PATH] = {};
    const DWORD length = lastPath.empty() ? 0 : GetFullPathNameW(lastPath.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(full, length) : lastPath;
}

bool ContentModel::StartsWithArchive(const std::wstring& path) {
    return FileIsReadable(path) && guessArchiveFile(path) != ArchiveGuess::NotArchive;
}

void ContentModel::StartAt(const std::wstring& lastPath) {
    const std::wstring path = StartPath(lastPath);
    if (StartsWithArchive(path)) {
        ownedCopy_ = TempFolderHolding(path, kViewingPrefix);
        // The archive could not be opened: show the folder that holds it instead of nothing. While
        // a long open goes on, that folder is listed beside it, so that a Cancel shows it at once.
        const std::wstring folder = ParentOf(path);
        std::optional<Listing> holding;
        if (EarlyOpenGoesOn(path) && !folder.empty() && IsDirectory(folder)) holding = ListFolder(folder, false);
        if (OpenArchiveFile(path)) return;
        if (holding) return ShowFolder(folder, std::move(*holding));
        if (!folder.empty() && IsDirectory(folder) && BrowseFolder(folder)) return;
        SelectLocation(0);
        return;
    }
    if (!path.empty() && IsDirectory(path) && BrowseFolder(path)) return;
    SelectLocation(0);
}

std::optional<std::wstring> ContentModel::LastPathToStore() const {
    std::wstring path = CurrentLocationPath();
    if (path.empty()) return std::nullopt;
    while (!IsDirectory(path)) {
        path = ParentOf(path);
        if (path.empty()) return std::nullopt;
    }
    // A copy this window removes when it ends is no place to come back to.
    if (!ownedCopy_.empty() && IsSameOrInside(path, ownedCopy_)) return std::nullopt;
    return path;
}
