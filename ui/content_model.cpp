#include "ui/content_model.h"

#include <shellapi.h>
#include <shlobj.h>

#include "base/path_tests.h"
#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "engine/archive_kind.h"
#include "engine/archive_probe.h"
#include "ops/archive_operations.h"
#include "ops/temp_workspace.h"
#include "ui/shell_info.h"
#include "ui/wait_cursor.h"

namespace {

constexpr int kDriveCount = 26;

std::wstring FormatFileTime(const FILETIME& time) {
    FILETIME local{};
    SYSTEMTIME system{};
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &system)) return {};
    wchar_t date[256] = {};
    wchar_t clock[256] = {};
    GetDateFormatW(LOCALE_SYSTEM_DEFAULT, DATE_SHORTDATE, &system, nullptr, date, 256);
    GetTimeFormatW(LOCALE_SYSTEM_DEFAULT, TIME_NOSECONDS, &system, nullptr, clock, 256);
    return std::wstring(date) + L" " + clock;
}

// "C:\\x" or "\\\\server\\share\\x": a path that names the same item whatever the current folder.
bool IsFullPath(const std::wstring& path) {
    return (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') || path.rfind(L"\\\\", 0) == 0;
}

std::wstring SystemMessage(DWORD error) {
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, 512, nullptr);
    std::wstring message = text;
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
    return message;
}

// The parent of a folder inside the archive (UTF-8; empty for a folder at the root).
std::string ParentArchiveFolder(const std::string& folder) {
    const size_t cut = folder.rfind('\\');
    return cut == std::string::npos ? std::string() : folder.substr(0, cut);
}

std::unique_ptr<LocationEntry> MakeLocationEntry(const std::wstring& name, const std::wstring& path, int level) {
    auto entry = std::make_unique<LocationEntry>();
    entry->name = name;
    entry->path = path;
    entry->level = level;
    if (IsDirectory(path)) entry->path = WithTrailingSeparator(path);
    ShellItemInfo info = QueryShellInfo(path, FILE_ATTRIBUTE_NORMAL, false, true);
    entry->icon.reset(info.icon);
    if (!info.displayName.empty()) entry->name = info.displayName;
    return entry;
}

}  // namespace

ContentModel::ContentModel() = default;

void ContentModel::Tell(std::wstring text, MessageKind kind) { messages_.push_back({std::move(text), kind}); }

void ContentModel::Tell(const OperationOutcome& outcome) {
    for (const std::wstring& message : outcome.messages) Tell(message);
}

void ContentModel::TellCannotShow(const std::wstring& place, DWORD error) {
    std::wstring text = L"Could not open " + place;
    const std::wstring reason = SystemMessage(error);
    if (!reason.empty()) text += L"\n" + reason;
    Tell(std::move(text), MessageKind::Warning);
}

std::vector<UserMessage> ContentModel::TakeMessages() { return std::exchange(messages_, {}); }

ContentModel::~ContentModel() {
    ClearAll();
    if (!ownedCopy_.empty()) RemoveFolderTree(ownedCopy_);
}

// ---------------------------------------------------------------- locations

void ContentModel::InitLocations() {
    ClearAll();
    AddSpecialFolder(L"Desktop", CSIDL_DESKTOP, 0);
    AddSpecialFolder(L"Documents", CSIDL_PERSONAL, 1);
    AddSpecialFolder(L"Computer", CSIDL_DRIVES, 1);
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < kDriveCount; ++i) {
        if (!(drives & (1u << i))) continue;
        const std::wstring drive{static_cast<wchar_t>(L'A' + i), L':'};
        AddRootEntry(drive, drive, 2);
    }
}

void ContentModel::AddSpecialFolder(const wchar_t* label, int folderId, int level) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, folderId, nullptr, 0, path) == S_OK) {
        AddRootEntry(label, path, level);
        return;
    }
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetFolderLocation(nullptr, folderId, nullptr, 0, &list)) || !list) return;
    ShellItemInfo info = QueryShellInfo(list);
    CoTaskMemFree(list);
    auto entry = std::make_unique<LocationEntry>();
    entry->name = info.displayName.empty() ? label : info.displayName;
    entry->path = label;
    entry->level = level;
    entry->icon.reset(info.icon);
    rootEntries_.push_back(std::move(entry));
}

int ContentModel::AddRootEntry(const std::wstring& name, const std::wstring& path, int level) {
    rootEntries_.push_back(MakeLocationEntry(name, path, level));
    return static_cast<int>(pathEntries_.size() + rootEntries_.size()) - 1;
}

void ContentModel::BuildPathEntries(const std::wstring& path) {
    size_t start = 0;
    int level = 0;
    for (;;) {
        const size_t b = path.find(L'\\', start + 1);
        const bool last = b == std::wstring::npos || start >= path.size();
        const std::wstring component = last ? path.substr(std::min(start, path.size())) : path.substr(start, b - start);
        const std::wstring entryPath = last ? path : path.substr(0, b);
        if (!component.empty()) {
            auto entry = MakeLocationEntry(component, entryPath, level);
            entry->name = component;  // path entries never show the shell's display name
            pathEntries_.push_back(std::move(entry));
            ++level;
        }
        if (last) break;
        start = b + 1;
    }
    currentLocation = static_cast<int>(pathEntries_.size()) - 1;
}

int ContentModel::LocationCount() const { return static_cast<int>(pathEntries_.size() + rootEntries_.size()); }

const LocationEntry* ContentModel::LocationAt(int index) const {
    if (index < 0) return nullptr;
    const size_t i = static_cast<size_t>(index);
    if (i < pathEntries_.size()) return pathEntries_[i].get();
    if (i - pathEntries_.size() < rootEntries_.size()) return rootEntries_[i - pathEntries_.size()].get();
    return nullptr;
}

std::wstring ContentModel::LocationName(int index) const {
    const LocationEntry* entry = LocationAt(index);
    return entry ? entry->name : std::wstring();
}

std::wstring ContentModel::LocationPath(int index) const {
    const LocationEntry* entry = LocationAt(index);
    return entry ? entry->path : std::wstring();
}

void ContentModel::DropRows() {
    rows_.clear();
    ownedIcons_.clear();
}

void ContentModel::ClearListing() {
    DropRows();
    currentLocation -= static_cast<int>(pathEntries_.size());
    if (currentLocation < 0) currentLocation = 0;
    pathEntries_.clear();
}

void ContentModel::ClearAll() {
    ClearListing();
    rootEntries_.clear();
    CloseArchive();
}

// ---------------------------------------------------------------- listings

bool ContentModel::BrowseFolder(const std::wstring& path) {
    const std::wstring base = WithTrailingSeparator(path);
    Listing listing;
    WIN32_FIND_DATAW data{};
    UniqueFindHandle find(FindFirstFileW((base + L"*.*").c_str(), &data));
    if (!find) {
        // An empty drive root has nothing to find; anything else cannot be listed.
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES) {
            TellCannotShow(path, error);
            return false;
        }
    } else {
        do {
            const std::wstring name = data.cFileName;
            if (name == L".") continue;
            const std::wstring fullPath = name == L".." ? ParentOf(path) : base + name;
            if (fullPath.empty()) continue;
            AddFolderRow(listing, name, fullPath, &data);
        } while (FindNextFileW(find.get(), &data));
    }
    ShowListing(std::move(listing));
    currentFolder = path;
    SortRows();
    BuildPathEntries(path);
    return true;
}

void ContentModel::ShowListing(Listing listing) {
    ClearListing();
    CloseArchive();
    rows_ = std::move(listing.rows);
    ownedIcons_ = std::move(listing.icons);
    showsDrives_ = false;
}

void ContentModel::AddFolderRow(Listing& listing, const std::wstring& name, const std::wstring& fullPath,
                                const WIN32_FIND_DATAW* data) {
    ItemRow row;
    row.name = name;
    row.fullPath = fullPath;
    if (data)
        row.modifiedTime = (static_cast<uint64_t>(data->ftLastWriteTime.dwHighDateTime) << 32) |
                           data->ftLastWriteTime.dwLowDateTime;
    const bool isFolder = data && (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (name == L"..") {
        const ShellTypeCache::Entry& folder = fileTypes_.folder();
        row.icon = folder.icon;
        row.type = folder.typeName;
        row.parentRow = true;
    } else if (!data || HasOwnIcon(name)) {
        // Drives and programs carry icons of their own: one query each, the icon owned here.
        ShellItemInfo info = QueryShellInfo(fullPath, FILE_ATTRIBUTE_NORMAL, false, true);
        if (info.icon) listing.icons.emplace_back(info.icon);
        row.icon = info.icon;
        row.type = info.typeName;
        if (!info.displayName.empty()) row.name = info.displayName;
    } else {
        // Every other item shares the icon and type name of its type, and shows its own name:
        // asking the shell for each item's display name costs a search of the whole folder per
        // item, minutes for a folder of twenty thousand files.
        const ShellTypeCache::Entry& type = isFolder ? fileTypes_.folder() : fileTypes_.forFileName(name);
        row.icon = type.icon;
        row.type = type.typeName;
    }
    if (name != L".." && data) {
        row.size = FormatSize((static_cast<uint64_t>(data->nFileSizeHigh) << 32) | data->nFileSizeLow);
        row.modified = FormatFileTime(data->ftLastWriteTime);
        row.attributes = data->dwFileAttributes;
    }
    listing.rows.push_back(std::move(row));
}

void ContentModel::ListDrives() {
    Listing listing;
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < kDriveCount; ++i) {
        if (!(drives & (1u << i))) continue;
        const std::wstring drive{static_cast<wchar_t>(L'A' + i), L':'};
        AddFolderRow(listing, drive, drive, nullptr);
    }
    ShowListing(std::move(listing));
    showsDrives_ = true;
    currentLocation = ComputerIndex();
}

int ContentModel::ComputerIndex() const {
    for (size_t i = 0; i < rootEntries_.size(); ++i)
        if (rootEntries_[i]->path == L"Computer") return static_cast<int>(pathEntries_.size() + i);
    return currentLocation;
}

void ContentModel::LoadArchiveRows() {
    ClearListing();
    if (!catalog_) return;
    rows_ = catalog_->rows;  // the catalogue keeps owning their icons
    showsDrives_ = false;
    SortRows();
    BuildPathEntries(catalog_->DisplayPath());
}

void ContentModel::SortRows() {
    const std::vector<std::wstring> titles = ColumnTitles();
    const std::wstring title =
        sortColumn >= 0 && sortColumn < static_cast<int>(titles.size()) ? titles[sortColumn] : std::wstring();
    SortItemRows(rows_, title, sortOrder);
}

std::wstring ContentModel::PlacePath() const {
    if (catalog_) return catalog_->DisplayPath();
    if (showsDrives_) return L"Computer";
    return WithoutTrailingSeparator(currentFolder);
}

std::wstring ContentModel::RowLocation(const ItemRow& row) const {
    if (catalog_) return catalog_->archivePath + L"\\" + row.fullPath;
    return WithoutTrailingSeparator(row.fullPath);
}

std::wstring ContentModel::RowKey(int position) const {
    const ItemRow* row = RowPointer(position);
    if (!row) return {};
    return row->parentRow ? std::wstring(L"..") : row->name + L"\n" + row->fullPath;
}

int ContentModel::RowLeadingTo(const std::wstring& place) const {
    for (int i = 0; i < RowCount(); ++i) {
        const ItemRow& row = rows_[static_cast<size_t>(i)];
        if (!row.parentRow && !row.fullPath.empty() && IsSameOrInside(place, RowLocation(row))) return i;
    }
    return -1;
}

bool ContentModel::IsFixedPlace(const std::wstring& path) const {
    const std::wstring wanted = WithoutTrailingSeparator(path);
    for (const auto& entry : rootEntries_)
        if (lstrcmpiW(WithoutTrailingSeparator(entry->path).c_str(), wanted.c_str()) == 0) return true;
    return false;
}

bool ContentModel::IsCommandTarget(int position) const {
    const ItemRow* row = RowPointer(position);
    if (!row || row->parentRow) return false;
    if (catalog_) return true;
    return !showsDrives_ && IsFullPath(row->fullPath) && !IsFixedPlace(row->fullPath);
}

// ---------------------------------------------------------------- rows, columns, cells

ItemRow ContentModel::RowAt(int position) const {
    const ItemRow* row = RowPointer(position);
    return row ? *row : ItemRow();
}

const ItemRow* ContentModel::RowPointer(int position) const {
    if (position < 0 || position >= RowCount()) return nullptr;
    return &rows_[static_cast<size_t>(position)];
}

std::vector<std::wstring> ContentModel::ColumnTitles() const {
    if (catalog_) return {L"Name", L"Size", L"Packed", L"Type", L"Modified"};
    return {L"Name", L"Size", L"Type", L"Modified"};
}

CellText ContentModel::CellAt(int position, int column) const {
    static const ItemRow kEmptyRow;
    const ItemRow* found = RowPointer(position);
    const ItemRow& row = found ? *found : kEmptyRow;
    if (catalog_) {
        switch (column) {
        case 0: return {row.name, false};
        case 1: return {row.size, true};
        case 2: return {row.packedSize, true};
        case 3: return {row.type, false};
        case 4: return {row.modified, false};
        }
    } else {
        switch (column) {
        case 0: return {row.name, false};
        case 1: return {row.size, true};
        case 2: return {row.type, false};
        case 3: return {row.modified, false};
        }
    }
    return {};
}

HICON ContentModel::RowIcon(int position) const {
    const ItemRow* row = RowPointer(position);
    return row ? row->icon : nullptr;
}

bool ContentModel::IsSortableColumn(int column) const {
    const std::vector<std::wstring> titles = ColumnTitles();
    return column >= 0 && column < static_cast<int>(titles.size());
}

bool ContentModel::SetSortColumn(int column) {
    if (!IsSortableColumn(column)) return false;
    sortOrder = column == sortColumn ? (sortOrder == 1 ? 2 : 1) : 1;
    sortColumn = column;
    SortRows();
    return true;
}

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
    const ItemRow* row = RowPointer(position);
    if (!row) return ViewChange::None;
    const std::wstring path = row->fullPath;
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
    const ItemRow* row = catalog_ ? nullptr : RowPointer(position);
    if (!row || row->parentRow || !FileIsReadable(row->fullPath)) {
        Tell(L"Please select one file to open as an archive.", MessageKind::Warning);
        return ViewChange::None;
    }
    const std::wstring path = row->fullPath;
    return OpenArchiveFile(path) ? ViewChange::Changed : ViewChange::None;
}

ViewChange ContentModel::ActivateArchiveRow(int position) {
    if (!catalog_) return ViewChange::None;
    const ItemRow* row = RowPointer(position);
    if (!row) return ViewChange::None;
    if (!row->parentRow) {
        const ActivationOutcome activated = ActivateEntry(*catalog_, row->fullPath);
        Tell(activated.extraction);
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
    Tell(outcome);
    if (outcome.done()) {
        LoadArchiveRows();
        return ViewChange::Changed;
    }
    // Gone, changed beyond reading, or its password refused: the folder that holds it is shown.
    if (outcome.result != OperationResult::Cancelled && outcome.messages.empty()) Tell(L"Couldn't open the file.");
    const std::wstring folder = FolderOf(catalog_->archivePath);
    CloseArchive();
    if (!BrowseFolder(folder)) ListDrives();
    return ViewChange::Changed;
}

bool ContentModel::OpenArchiveFile(const std::wstring& path, bool tellFailure) {
    // The archive is listed into a catalogue of its own before anything shown changes: a
    // failed or cancelled open leaves the rows, their columns and the open archive as they were.
    auto opened = std::make_unique<ItemCatalog>();
    const OperationOutcome outcome = OpenArchive(*opened, path);
    if (outcome.result == OperationResult::Done || tellFailure) Tell(outcome);
    if (outcome.result != OperationResult::Done) {
        // A cancelled open (or a refused password) is the user's own choice, not a failure to tell about.
        opened.reset();
        if (outcome.result != OperationResult::Cancelled && tellFailure) Tell(L"Couldn't open the file.");
        return false;
    }
    ClearListing();
    CloseArchive();
    catalog_ = InstallCatalog(std::move(opened));
    LoadArchiveRows();
    return true;
}

void ContentModel::CloseArchive() {
    if (!catalog_) return;
    DropRows();  // they borrow the catalogue's icons
    catalog_ = nullptr;
    DestroyCatalog();
}

// ---------------------------------------------------------------- status and title

namespace {

uint64_t SizeOfText(const std::wstring& text) {
    uint64_t value = 0;
    for (wchar_t c : text)
        if (c >= L'0' && c <= L'9') value = value * 10 + static_cast<uint64_t>(c - L'0');
    return value;
}

}  // namespace

RowTotals ContentModel::TotalsOf(const std::vector<int>& positions) const {
    RowTotals totals;
    for (int position : positions) {
        const ItemRow* row = RowPointer(position);
        if (!row || row->parentRow) continue;
        ++totals.items;
        // Drives are no files, and folders show no size of their own.
        if (showsDrives_ || (row->attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        ++totals.files;
        totals.bytes += SizeOfText(row->size);
    }
    return totals;
}

RowTotals ContentModel::ShownTotals() const {
    std::vector<int> all(rows_.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    return TotalsOf(all);
}

std::wstring ContentModel::TitlePlace() const {
    return catalog_ ? ArchiveTitlePlace(catalog_->archivePath, catalog_->DisplayPath()) : std::wstring();
}

std::vector<std::wstring> ContentModel::LocationsOf(const std::vector<int>& positions) const {
    std::vector<std::wstring> locations;
    for (int position : positions) {
        const ItemRow* row = RowPointer(position);
        if (!row || row->parentRow || row->fullPath.empty()) continue;
        // A drive's row names the drive ("C:"); its path is its root.
        locations.push_back(showsDrives_ ? WithTrailingSeparator(row->fullPath) : RowLocation(*row));
    }
    return locations;
}

// ---------------------------------------------------------------- start and end

void ContentModel::StartAt(const std::wstring& lastPath) {
    wchar_t full[MAX_PATH] = {};
    const DWORD length = lastPath.empty() ? 0 : GetFullPathNameW(lastPath.c_str(), MAX_PATH, full, nullptr);
    const std::wstring path = length > 0 && length < MAX_PATH ? std::wstring(full, length) : lastPath;
    if (FileIsReadable(path) && guessArchiveFile(path) != ArchiveGuess::NotArchive) {
        ownedCopy_ = TempFolderHolding(path, L"Tolvar");
        if (OpenArchiveFile(path)) return;
        // The archive could not be opened: show the folder that holds it instead of nothing.
        const std::wstring folder = ParentOf(path);
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
