// The content model's locations, its listings of folders, drives and archive folders, and their rows.
#include "ui/content_model.h"

#include <shlobj.h>

#include <algorithm>

#include "base/folder_tree.h"
#include "base/path_tests.h"
#include "base/paths.h"
#include "base/system_error.h"
#include "catalog/item_catalog.h"
#include "ops/property_texts.h"
#include "ui/shell_info.h"

namespace {

constexpr int kDriveCount = 26;

std::wstring FormatFileTime(const FILETIME& time) {
    FILETIME local{};
    SYSTEMTIME system{};
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &system)) return {};
    wchar_t date[256] = {};
    wchar_t clock[256] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &system, nullptr, date, 256, nullptr);
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, &system, nullptr, clock, 256);
    return std::wstring(date) + L" " + clock;
}

// The same with the seconds, from a row's file time (none: empty).
std::wstring FormatFileTimeWithSeconds(uint64_t ticks) {
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    FILETIME local{};
    if (ticks == 0 || !FileTimeToLocalFileTime(&time, &local)) return {};
    return FormatModifiedWithSeconds((static_cast<uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime);
}

// "C:\\x" or "\\\\server\\share\\x": a path that names the same item whatever the current folder.
bool IsFullPath(const std::wstring& path) {
    return (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') || path.rfind(L"\\\\", 0) == 0;
}

// An entry for a path; its name is the shell's display name when `shellName` is set.
std::unique_ptr<LocationEntry> MakeLocationEntry(const std::wstring& name, const std::wstring& path, int level,
                                                 bool shellName) {
    auto entry = std::make_unique<LocationEntry>();
    entry->name = name;
    entry->path = path;
    entry->level = level;
    entry->iconSource = path;
    if (IsDirectory(path)) entry->path = WithTrailingSeparator(path);
    if (shellName) {
        const ShellItemInfo info = QueryShellInfo(path, FILE_ATTRIBUTE_NORMAL, false, false);
        if (!info.displayName.empty()) entry->name = info.displayName;
    }
    return entry;
}

}  // namespace

ContentModel::ContentModel(OpenedFiles& openedFiles) : openedFiles_(openedFiles) {
    for (ViewKind kind : {ViewKind::Folder, ViewKind::Archive, ViewKind::Drives})
        columns_[static_cast<int>(kind)] = LoadColumns(kind);
}

void ContentModel::TellCannotShow(const std::wstring& place, DWORD error) {
    messages_.Tell(L"Could not open " + place + L"\n" + SystemErrorText(error) + L".", MessageKind::Warning);
}

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
    const ShellItemInfo info = QueryShellInfo(list, false);
    CoTaskMemFree(list);
    auto entry = std::make_unique<LocationEntry>();
    entry->name = info.displayName.empty() ? label : info.displayName;
    entry->path = label;
    entry->level = level;
    entry->specialFolder = folderId;
    rootEntries_.push_back(std::move(entry));
}

int ContentModel::AddRootEntry(const std::wstring& name, const std::wstring& path, int level) {
    rootEntries_.push_back(MakeLocationEntry(name, path, level, true));
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
            // Path entries never show the shell's display name.
            pathEntries_.push_back(MakeLocationEntry(component, entryPath, level, false));
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

HICON ContentModel::LocationIcon(int index) const {
    const LocationEntry* entry = LocationAt(index);
    if (!entry) return nullptr;
    if (!entry->iconAsked) {
        entry->iconAsked = true;
        if (entry->specialFolder >= 0) {
            LPITEMIDLIST list = nullptr;
            if (SUCCEEDED(SHGetFolderLocation(nullptr, entry->specialFolder, nullptr, 0, &list)) && list) {
                entry->icon.reset(QueryShellInfo(list, true).icon);
                CoTaskMemFree(list);
            }
        } else {
            entry->icon.reset(QueryShellInfo(entry->iconSource, FILE_ATTRIBUTE_NORMAL, false, true).icon);
        }
    }
    return entry->icon.get();
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
    rowSizes_.clear();
    order_.clear();
    ++listingNumber_;
    sortGroups_.clear();
    sortKeys_.clear();
    sortKeysTitle_.clear();
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
    std::optional<Listing> listing = ListFolder(path);
    if (!listing) return false;
    ShowFolder(path, std::move(*listing));
    return true;
}

std::optional<ContentModel::Listing> ContentModel::ListFolder(const std::wstring& path, bool tellFailure) {
    const std::wstring base = WithTrailingSeparator(path);
    Listing listing;
    WIN32_FIND_DATAW data{};
    UniqueFindHandle find(FindFirstFileW((base + L"*.*").c_str(), &data));
    if (!find) {
        // An empty drive root has nothing to find; anything else cannot be listed.
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES) {
            if (tellFailure) TellCannotShow(path, error);
            return std::nullopt;
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
    return listing;
}

void ContentModel::ShowFolder(const std::wstring& path, Listing listing) {
    ShowListing(std::move(listing));
    currentFolder = path;
    SortRows();
    BuildPathEntries(path);
}

void ContentModel::ShowListing(Listing listing) {
    ClearListing();
    CloseArchive();
    rows_ = std::move(listing.rows);
    rowSizes_ = std::move(listing.sizes);
    ownedIcons_ = std::move(listing.icons);
    showsDrives_ = false;
    ShowListingOrder();
}

void ContentModel::ShowListingOrder() {
    const size_t count = catalog_ ? static_cast<size_t>(catalog_->RowCount()) : rows_.size();
    order_.resize(count);
    ++listingNumber_;
    for (size_t i = 0; i < count; ++i) order_[i] = static_cast<uint32_t>(i);
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
    uint64_t size = 0;
    if (name != L".." && data) {
        size = (static_cast<uint64_t>(data->nFileSizeHigh) << 32) | data->nFileSizeLow;
        row.size = FormatSize(size);
        row.modified = FormatFileTime(data->ftLastWriteTime);
        row.attributes = data->dwFileAttributes;
    }
    listing.rows.push_back(std::move(row));
    listing.sizes.push_back(size);
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
    // The rows stay in the catalogue, which makes their texts when they are drawn.
    showsDrives_ = false;
    ShowListingOrder();
    SortRows();
    BuildPathEntries(catalog_->DisplayPath());
}

std::wstring ContentModel::PlacePath() const {
    if (catalog_) return catalog_->DisplayPath();
    if (showsDrives_) return L"Computer";
    return WithoutTrailingSeparator(currentFolder);
}

std::wstring ContentModel::RowLocation(int position) const {
    if (catalog_) return catalog_->archivePath + L"\\" + RowFullPath(position);
    return WithoutTrailingSeparator(RowFullPath(position));
}

std::wstring ContentModel::RowKey(int position) const {
    if (ListingIndex(position) < 0) return {};
    return IsParentRow(position) ? std::wstring(L"..") : std::wstring(RowName(position)) + L"\n" + RowFullPath(position);
}

std::vector<int> ContentModel::PositionsOfKeys(const std::vector<std::wstring>& keys) const {
    std::vector<int> positions(keys.size(), -1);
    if (keys.empty()) return positions;
    std::vector<int> positionOf(order_.size(), -1);
    for (size_t p = 0; p < order_.size(); ++p)
        if (order_[p] < positionOf.size()) positionOf[order_[p]] = static_cast<int>(p);
    for (size_t k = 0; k < keys.size(); ++k) {
        const std::wstring& key = keys[k];
        if (key.empty()) continue;
        int index = -1;
        if (key == L"..") {
            for (int i = 0; i < RowCount() && index < 0; ++i)
                if (IsParentRow(i)) index = ListingIndex(i);
        } else {
            const size_t cut = key.find(L'\n');
            if (cut == std::wstring::npos) continue;
            const std::wstring_view name = std::wstring_view(key).substr(0, cut);
            const std::wstring_view full = std::wstring_view(key).substr(cut + 1);
            if (catalog_) {
                // In the archive a name names one row of the folder.
                index = catalog_->RowOfName(name);
                if (index >= 0 && catalog_->RowFullPath(index) != full) index = -1;
            } else {
                for (size_t i = 0; i < rows_.size() && index < 0; ++i)
                    if (!rows_[i].parentRow && rows_[i].name == name && rows_[i].fullPath == full) index = static_cast<int>(i);
            }
        }
        if (index >= 0 && static_cast<size_t>(index) < positionOf.size()) positions[k] = positionOf[static_cast<size_t>(index)];
    }
    return positions;
}

std::wstring ContentModel::ItemNameOf(int position) const {
    if (ListingIndex(position) < 0 || IsParentRow(position)) return {};
    // An archive's row is named by its entry; a folder's listing may show the shell's display
    // name, and the item's own name is its path's.
    if (catalog_) return std::wstring(RowName(position));
    return FileNameOf(WithoutTrailingSeparator(RowFullPath(position)));
}

std::wstring ContentModel::RowKeyOfName(const std::wstring& name) const {
    for (int position = 0; position < RowCount(); ++position)
        if (ItemNameOf(position) == name) return RowKey(position);
    return {};
}

int ContentModel::RowLeadingTo(const std::wstring& place) const {
    // The step below the place shown that leads there picks the rows worth a look: building the
    // location of every row of a large folder would take long.
    const std::wstring here = PlacePath();
    std::wstring_view step;
    if (!here.empty() && place.size() > here.size() + 1 && IsSameOrInside(place, here)) {
        const size_t from = here.back() == L'\\' ? here.size() : here.size() + 1;
        step = std::wstring_view(place).substr(from, place.find(L'\\', from) - from);
    }
    for (int i = 0; i < RowCount(); ++i) {
        if (IsParentRow(i)) continue;
        if (!step.empty()) {
            const std::wstring_view last = LastComponent(i);
            if (CompareStringOrdinal(last.data(), static_cast<int>(last.size()), step.data(),
                                     static_cast<int>(step.size()), TRUE) != CSTR_EQUAL)
                continue;
        }
        if (!RowFullPath(i).empty() && IsSameOrInside(place, RowLocation(i))) return i;
    }
    return -1;
}

std::wstring_view ContentModel::LastComponent(int position) const {
    const int index = ListingIndex(position);
    if (index < 0) return {};
    if (catalog_) return catalog_->RowName(index);
    std::wstring_view full = rows_[static_cast<size_t>(index)].fullPath;
    while (!full.empty() && full.back() == L'\\') full.remove_suffix(1);
    const size_t cut = full.rfind(L'\\');
    return cut == std::wstring_view::npos ? full : full.substr(cut + 1);
}

bool ContentModel::IsFixedPlace(const std::wstring& path) const {
    const std::wstring wanted = WithoutTrailingSeparator(path);
    for (const auto& entry : rootEntries_)
        if (lstrcmpiW(WithoutTrailingSeparator(entry->path).c_str(), wanted.c_str()) == 0) return true;
    return false;
}

bool ContentModel::IsCommandTarget(int position) const {
    if (ListingIndex(position) < 0 || IsParentRow(position)) return false;
    if (catalog_) return true;
    const std::wstring full = RowFullPath(position);
    return !showsDrives_ && IsFullPath(full) && !IsFixedPlace(full);
}

// ---------------------------------------------------------------- rows, columns, cells

int ContentModel::ListingIndex(int position) const {
    if (position < 0 || position >= RowCount()) return -1;
    const uint32_t index = order_[static_cast<size_t>(position)];
    const size_t count = catalog_ ? static_cast<size_t>(catalog_->RowCount()) : rows_.size();
    return index < count ? static_cast<int>(index) : -1;
}

ItemRow ContentModel::RowAt(int position) const {
    const int index = ListingIndex(position);
    if (index < 0) return ItemRow();
    return catalog_ ? catalog_->RowAt(index) : rows_[static_cast<size_t>(index)];
}

std::optional<ItemRow> ContentModel::RowCopy(int position) const {
    if (ListingIndex(position) < 0) return std::nullopt;
    return RowAt(position);
}

bool ContentModel::IsParentRow(int position) const {
    const int index = ListingIndex(position);
    if (index < 0) return false;
    return catalog_ ? catalog_->RowIsParent(index) : rows_[static_cast<size_t>(index)].parentRow;
}

bool ContentModel::IsFolderRow(int position) const {
    const int index = ListingIndex(position);
    if (index < 0) return false;
    return catalog_ ? catalog_->RowIsFolder(index)
                    : (rows_[static_cast<size_t>(index)].attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring_view ContentModel::RowName(int position) const {
    const int index = ListingIndex(position);
    if (index < 0) return {};
    return catalog_ ? catalog_->RowName(index) : std::wstring_view(rows_[static_cast<size_t>(index)].name);
}

std::wstring ContentModel::RowFullPath(int position) const {
    const int index = ListingIndex(position);
    if (index < 0) return {};
    return catalog_ ? catalog_->RowFullPath(index) : rows_[static_cast<size_t>(index)].fullPath;
}

std::vector<std::wstring> ContentModel::ColumnTitles() const {
    std::vector<std::wstring> titles;
    for (ColumnId column : ColumnIds()) titles.push_back(ColumnTitle(column));
    return titles;
}

void ContentModel::ChooseColumns(std::vector<ColumnId> columns) {
    const std::vector<std::wstring> before = ColumnTitles();
    const std::wstring sorted = sortColumn >= 0 && sortColumn < static_cast<int>(before.size()) ? before[sortColumn] : L"";
    columns_[static_cast<int>(Kind())] = ParseColumns(Kind(), FormatColumns(columns));
    SaveColumns(Kind(), ColumnIds());
    const std::vector<std::wstring> titles = ColumnTitles();
    const auto found = std::find(titles.begin(), titles.end(), sorted);
    if (found == titles.end()) {
        sortColumn = 0;
        sortOrder = 1;
    } else {
        sortColumn = static_cast<int>(found - titles.begin());
    }
    SortRows();
}

std::wstring ShownEntryName(std::wstring name, bool parentRow) {
    // An entry named ".." is no way up, and extraction skips it as unsafe: its row says so, and
    // the way up stays the only "..".
    if (!parentRow && name == L"..") name += L" (unsafe name, not extracted)";
    return name;
}

CellText ContentModel::CellAt(int position, int column) const {
    const std::vector<ColumnId>& columns = ColumnIds();
    if (column < 0 || column >= static_cast<int>(columns.size())) return {};
    const ColumnId id = columns[static_cast<size_t>(column)];
    const bool right = ColumnRightAligned(id);
    const int index = ListingIndex(position);
    if (catalog_) {
        // Made for the rows drawn only.
        if (id == ColumnId::Name)
            return {ShownEntryName(catalog_->RowText(index, RowField::Name), catalog_->RowIsParent(index)), right};
        if (id == ColumnId::Attributes) {
            const ArchiveTree::NodeId node = catalog_->RowNode(index);
            if (node == ArchiveTree::kNoNode) return {};
            // A folder that no item names is a folder all the same.
            const uint32_t bits = catalog_->tree[node].attributes;
            return {AttributeLetters(catalog_->RowIsFolder(index) ? bits | FILE_ATTRIBUTE_DIRECTORY : bits), right};
        }
        static const RowField kFields[kColumnIdCount] = {
            RowField::Name,            RowField::Size, RowField::PackedSize, RowField::Type,   RowField::Modified,
            RowField::ModifiedSeconds, RowField::Name, RowField::Crc,        RowField::Method, RowField::Encrypted};
        return {catalog_->RowText(index, kFields[static_cast<int>(id)]), right};
    }
    static const ItemRow kEmptyRow;
    const ItemRow& row = index >= 0 ? rows_[static_cast<size_t>(index)] : kEmptyRow;
    switch (id) {
    case ColumnId::Name: return {row.name, right};
    case ColumnId::Size: return {row.size, right};
    case ColumnId::Type: return {row.type, right};
    case ColumnId::Modified: return {row.modified, right};
    case ColumnId::ModifiedSeconds: return {FormatFileTimeWithSeconds(row.modifiedTime), right};
    case ColumnId::Attributes: return {AttributeLetters(row.attributes), right};
    default: return {};
    }
}

HICON ContentModel::RowIcon(int position) const {
    const int index = ListingIndex(position);
    if (index < 0) return nullptr;
    return catalog_ ? catalog_->RowIcon(index) : rows_[static_cast<size_t>(index)].icon;
}

// ---------------------------------------------------------------- what the status bar counts

bool ContentModel::IsItemRow(int position) const { return ListingIndex(position) >= 0 && !IsParentRow(position); }

std::optional<uint64_t> ContentModel::FileBytes(int position) const {
    const int index = ListingIndex(position);
    // Drives are no files, and folders show no size of their own.
    if (index < 0 || IsParentRow(position) || showsDrives_) return std::nullopt;
    if (catalog_) {
        const ArchiveTree::NodeId id = catalog_->RowNode(index);
        if (id == ArchiveTree::kNoNode || catalog_->tree[id].isFolder()) return std::nullopt;
        const ArchiveTree::Node& node = catalog_->tree[id];
        return node.has(ArchiveTree::kHasSize) ? node.size : 0;
    }
    const size_t i = static_cast<size_t>(index);
    if (rows_[i].attributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    return rowSizes_[i];
}

std::vector<std::wstring> ContentModel::LocationsOf(const std::vector<int>& positions) const {
    std::vector<std::wstring> locations;
    for (int position : positions) {
        if (!IsItemRow(position)) continue;
        const std::wstring fullPath = RowFullPath(position);
        if (fullPath.empty()) continue;
        // A drive's row names the drive ("C:"); its path is its root.
        locations.push_back(showsDrives_ ? WithTrailingSeparator(fullPath) : RowLocation(position));
    }
    return locations;
}
