// The catalogue's folder tree, the rows of the current folder and navigation.
#include "catalog/item_catalog.h"

#include <algorithm>

#include "base/folder_tree.h"
#include "base/path_tests.h"
#include "catalog/name_order.h"

ItemCatalog::~ItemCatalog() {
    ClearRows();
    ClearTree();
    RemoveTempFolder();
}

// ---------------------------------------------------------------- building

void ItemCatalog::Builder::reset() {
    taken_ = 0;
    lastFolderPath_.clear();
    lastFolder_ = ArchiveTree::kNoNode;
}

void ItemCatalog::Builder::begin(uint32_t count) {
    reset();
    if (progress) progress->total = count;
    catalog_.tree.Reserve(static_cast<size_t>(count) + 1);
}

void ItemCatalog::Builder::add(const ListedItem& item) {
    // The count before this item: the window closes by itself only once everything is done.
    if (progress) progress->completed = taken_;
    ++taken_;
    ArchiveTree& tree = catalog_.tree;
    const std::wstring_view path = item.path;
    const size_t cut = path.rfind(L'\\');
    ArchiveTree::NodeId node = ArchiveTree::kRoot;
    if (cut == std::wstring_view::npos) {
        if (!path.empty()) node = tree.AddChild(ArchiveTree::kRoot, path);
    } else {
        const std::wstring_view folderPath = path.substr(0, cut);
        if (lastFolder_ == ArchiveTree::kNoNode || folderPath != lastFolderPath_) {
            // A path that begins with a backslash begins with an empty component, not at the root.
            lastFolder_ = folderPath.empty() ? tree.AddChild(ArchiveTree::kRoot, folderPath) : tree.FindOrAdd(folderPath);
            lastFolderPath_.assign(folderPath);
        }
        node = tree.AddChild(lastFolder_, path.substr(cut + 1));
    }
    tree.SetItem(node, item);
}

// ---------------------------------------------------------------- rows

void ItemCatalog::EnterFolder(std::wstring_view folder) {
    ClearRows();
    ArchiveTree::NodeId node = tree.Find(folder);
    if (node != ArchiveTree::kNoNode && node != ArchiveTree::kRoot && !tree[node].isFolder()) node = ArchiveTree::kNoNode;
    if (node == ArchiveTree::kNoNode) {
        // The folder is gone (for example deleted before a reload): show the root instead.
        node = ArchiveTree::kRoot;
        currentFolder.clear();
    } else {
        currentFolder.assign(folder.data(), folder.size());
    }
    folderNode_ = node;
    size_t children = 0;
    for (ArchiveTree::NodeId child = tree[node].firstChild; child != ArchiveTree::kNoNode;
         child = tree[child].nextSibling)
        ++children;
    rows_.reserve(children + 1);
    rows_.push_back(ArchiveTree::kNoNode);  // the way up
    for (ArchiveTree::NodeId child = tree[node].firstChild; child != ArchiveTree::kNoNode;
         child = tree[child].nextSibling)
        rows_.push_back(child);
}

int ItemCatalog::NavigateTo(std::wstring_view displayText) {
    if (displayText.empty()) {
        EnterFolder({});
        return RowCount();
    }
    const size_t n = archivePath.size();
    // The archive path and one separator are skipped without being compared.
    const std::wstring_view folder = displayText.size() > n + 1 ? displayText.substr(n + 1) : std::wstring_view();
    const ArchiveTree::NodeId node = tree.Find(folder);
    if (node == ArchiveTree::kRoot || (node != ArchiveTree::kNoNode && tree[node].isFolder())) EnterFolder(folder);
    return RowCount();
}

std::wstring ItemCatalog::DisplayPath() const {
    if (currentFolder.empty()) return archivePath;
    return archivePath + L"\\" + currentFolder;
}

ArchiveTree::NodeId ItemCatalog::RowNode(int index) const {
    if (index < 0 || index >= RowCount()) return ArchiveTree::kNoNode;
    return rows_[static_cast<size_t>(index)];
}

int ItemCatalog::RowOfName(std::wstring_view name) const {
    if (rows_.empty()) return -1;
    const ArchiveTree::NodeId node = tree.Child(folderNode_, name);
    if (node == ArchiveTree::kNoNode) return -1;
    // Children are made in order, so the rows after the way up have rising node numbers.
    const auto found = std::lower_bound(rows_.begin() + 1, rows_.end(), node);
    return found != rows_.end() && *found == node ? static_cast<int>(found - rows_.begin()) : -1;
}

bool ItemCatalog::RowIsFolder(int index) const {
    const ArchiveTree::NodeId node = RowNode(index);
    return node != ArchiveTree::kNoNode && tree[node].isFolder();
}

std::wstring_view ItemCatalog::RowName(int index) const {
    if (RowIsParent(index)) return L"..";
    const ArchiveTree::NodeId node = RowNode(index);
    return node == ArchiveTree::kNoNode ? std::wstring_view() : tree[node].nameView();
}

std::wstring ItemCatalog::RowFullPath(int index) const {
    const ArchiveTree::NodeId node = RowNode(index);
    if (node == ArchiveTree::kNoNode) return {};
    // The components joined again give the item's own path; an implied folder gets the path of
    // its components too, so that its row is found and entered like any other.
    const std::wstring_view name = tree[node].nameView();
    if (currentFolder.empty()) return std::wstring(name);
    std::wstring path;
    path.reserve(currentFolder.size() + 1 + name.size());
    path += currentFolder;
    path += L'\\';
    path += name;
    return path;
}

std::wstring ItemCatalog::RowText(int index, RowField field) const {
    if (index < 0 || index >= RowCount()) return {};
    if (RowIsParent(index)) {
        if (field == RowField::Name) return L"..";
        if (field == RowField::Type) return shellTypes.folder().typeName;
        return {};
    }
    const ArchiveTree::Node& node = tree[rows_[static_cast<size_t>(index)]];
    const bool folder = node.isFolder();
    switch (field) {
    case RowField::Name: return std::wstring(node.nameView());
    case RowField::FullPath: return RowFullPath(index);
    case RowField::Size:
        return !folder && node.has(ArchiveTree::kHasSize) ? FormatGroupedNumber(node.size) : std::wstring();
    case RowField::PackedSize:
        return !folder && node.has(ArchiveTree::kHasPackedSize) ? FormatGroupedNumber(node.packedSize) : std::wstring();
    case RowField::Type: return std::wstring(RowTypeName(index));
    case RowField::Modified:
        return node.has(ArchiveTree::kHasModified) ? FormatModified(node.modified) : std::wstring();
    case RowField::ModifiedSeconds:
        return node.has(ArchiveTree::kHasModified) ? FormatModifiedWithSeconds(node.modified) : std::wstring();
    case RowField::Crc: return !folder && node.has(ArchiveTree::kHasCrc) ? CrcText(node.crc) : std::wstring();
    case RowField::Method: return std::wstring(tree.MethodName(node.method));
    case RowField::Encrypted:
        return folder || !node.has(ArchiveTree::kHasItem) ? std::wstring() : node.has(ArchiveTree::kEncrypted) ? L"+" : L"-";
    }
    return {};
}

std::wstring_view ItemCatalog::RowTypeName(int index) const {
    if (index < 0 || index >= RowCount() || RowIsParent(index)) return {};
    if (RowIsFolder(index)) return shellTypes.folder().typeName;
    return shellTypes.forFileName(RowName(index)).typeName;
}

HICON ItemCatalog::RowIcon(int index) const {
    if (index < 0 || index >= RowCount()) return nullptr;
    if (RowIsParent(index) || RowIsFolder(index)) return shellTypes.folder().icon;
    return shellTypes.forFileName(RowName(index)).icon;
}

ItemRow ItemCatalog::RowAt(int index) const {
    ItemRow row;
    if (index < 0 || index >= RowCount()) return row;
    row.name = RowText(index, RowField::Name);
    row.fullPath = RowFullPath(index);
    row.icon = RowIcon(index);
    row.size = RowText(index, RowField::Size);
    row.type = RowText(index, RowField::Type);
    row.modified = RowText(index, RowField::Modified);
    row.packedSize = RowText(index, RowField::PackedSize);
    row.parentRow = RowIsParent(index);
    row.attributes = RowIsFolder(index) ? FILE_ATTRIBUTE_DIRECTORY : 0;
    const ArchiveTree::NodeId node = RowNode(index);
    row.modifiedTime = node == ArchiveTree::kNoNode ? 0 : tree[node].modified;
    return row;
}

const std::vector<uint32_t>& ItemCatalog::NameRanks() const {
    if (!nameRanksMade_) {
        nameRanks_ = RankNames(rows_.size(), [this](size_t i) { return RowName(static_cast<int>(i)); });
        nameRanksMade_ = true;
    }
    return nameRanks_;
}

void ItemCatalog::PrefetchShownTypes() const {
    // The shell's icons take long to come the first time; asked here, off the UI thread, the
    // first rows drawn find theirs waiting: the folder's, and those of the files that come
    // first in the order the rows are shown at first (by name).
    shellTypes.folder();
    const std::vector<uint32_t>& ranks = NameRanks();
    std::vector<std::pair<uint32_t, int>> files;
    for (int row = 1; row < RowCount(); ++row)
        if (!RowIsFolder(row)) files.emplace_back(ranks[static_cast<size_t>(row)], row);
    const size_t shown = std::min<size_t>(files.size(), 64);
    std::partial_sort(files.begin(), files.begin() + static_cast<std::ptrdiff_t>(shown), files.end());
    for (size_t i = 0; i < shown; ++i) shellTypes.forFileName(RowName(files[i].second));
}

void ItemCatalog::ClearRows() {
    // Row icons belong to the shared type cache, which frees them with the catalogue.
    rows_.clear();
    rows_.shrink_to_fit();
    nameRanks_.clear();
    nameRanks_.shrink_to_fit();
    nameRanksMade_ = false;
}

void ItemCatalog::ClearTree() {
    tree.Clear();
    listedPath.clear();
    builder_.reset();
}

void ItemCatalog::TakeListingOf(ItemCatalog& listed) {
    ClearRows();
    tree.Swap(listed.tree);
    listedPath.swap(listed.listedPath);
    builder_.reset();
    format = listed.format;
    summary = listed.summary;
    damage = listed.damage;
    password = listed.password;
}

void ItemCatalog::RemoveTempFolder() {
    if (tempFolder.empty()) return;
    if (IsDirectory(tempFolder)) RemoveFolderTree(tempFolder);
    tempFolder.clear();
}
