// The catalogue's folder tree, the rows of the current folder and navigation.
#include "catalog/item_catalog.h"

#include "base/folder_tree.h"
#include "base/path_tests.h"
#include "base/text.h"
#include "catalog/path_text.h"

ItemCatalog::~ItemCatalog() {
    ClearRows();
    ClearTree();
    RemoveTempFolder();
}

void ItemCatalog::BuildTree(const ListingResult& listing, ProgressCounters* progress) {
    const size_t count = listing.items.size();
    if (progress) progress->total = count;
    std::string path;
    for (size_t i = 0; i < count; ++i) {
        if (progress) {
            progress->completed = i;
            // A cancelled open stops here; the open itself then drops the half-built tree.
            if ((i & 1023) == 0 && progress->cancel.load() != 0) return;
        }
        const ArchiveItem& item = listing.items[i];
        path = WideToUtf8Lossy(item.path);
        FolderNode* node = FindNode(path, true);
        node->hasItem = true;
        node->attributes = item.attributes;
        node->modified = item.modified;
        node->modifiedDate = WideToUtf8Lossy(item.modifiedDate);
        node->modifiedTime = WideToUtf8Lossy(item.modifiedTime);
        node->size = WideToUtf8Lossy(item.size);
        node->packedSize = WideToUtf8Lossy(item.packedSize);
        node->fullPath = path;
    }
}

FolderNode* ItemCatalog::FindNode(std::string_view utf8Path, bool create) {
    if (utf8Path.empty()) return &root;
    FolderNode* node = &root;
    size_t start = 0;
    for (;;) {
        const size_t cut = utf8Path.find('\\', start);
        const size_t end = cut == std::string_view::npos ? utf8Path.size() : cut;
        const std::string_view component = utf8Path.substr(start, end - start);
        FolderNode* child = node->findChild(component);
        if (!child) {
            if (!create) return nullptr;
            child = node->addChild(component);
        }
        node = child;
        if (cut == std::string_view::npos) return node;
        start = cut + 1;
    }
}

std::string ItemCatalog::RowFullPath(const FolderNode& child) const {
    if (child.hasItem) return child.fullPath;
    // A folder that no item names gets the path of its components, so that its row can be
    // found and entered like any other.
    if (currentFolder.empty()) return child.name;
    return currentFolder + "\\" + child.name;
}

void ItemCatalog::EnterFolder(std::string_view utf8Path) {
    ClearRows();
    FolderNode* node = FindNode(utf8Path, false);
    if (node && node != &root && !node->isFolder()) node = nullptr;
    if (!node) {
        // The folder is gone (for example deleted before a reload): show the root instead.
        node = &root;
        currentFolder.clear();
    } else {
        currentFolder.assign(utf8Path.data(), utf8Path.size());
    }

    const ShellTypeCache::Entry& folderType = shellTypes.folder();
    rows.reserve(node->children.size() + 1);
    ItemRow parent;
    parent.name = L"..";
    parent.parentRow = true;
    parent.icon = folderType.icon;
    parent.type = folderType.typeName;
    rows.push_back(std::move(parent));

    // Many entries share a time stamp; remember the last one formatted.
    std::string lastDate, lastTime;
    std::wstring lastModified;
    bool haveLast = false;
    for (const auto& childPtr : node->children) {
        const FolderNode& child = *childPtr;
        ItemRow row;
        row.name = Utf8ToWideLossy(child.name);
        row.fullPath = Utf8ToWideLossy(RowFullPath(child));
        row.modifiedTime = child.modified;
        if (!haveLast || child.modifiedDate != lastDate || child.modifiedTime != lastTime) {
            lastDate = child.modifiedDate;
            lastTime = child.modifiedTime;
            lastModified = FormatModified(lastDate, lastTime);
            haveLast = true;
        }
        row.modified = lastModified;
        if (child.isFolder()) {
            row.icon = folderType.icon;
            row.type = folderType.typeName;
            row.attributes = FILE_ATTRIBUTE_DIRECTORY;
        } else {
            row.size = GroupThousands(Utf8ToWideLossy(child.size));
            row.packedSize = GroupThousands(Utf8ToWideLossy(child.packedSize));
            const ShellTypeCache::Entry& type = shellTypes.forFileName(row.name);
            row.icon = type.icon;
            row.type = type.typeName;
            row.attributes = 0;
        }
        rows.push_back(std::move(row));
    }
}

int ItemCatalog::NavigateTo(std::wstring_view displayText) {
    if (displayText.empty()) {
        EnterFolder({});
        return RowCount();
    }
    const size_t n = archivePath.size();
    // The archive path and one separator are skipped without being compared.
    const std::wstring_view folder = displayText.size() > n + 1 ? displayText.substr(n + 1) : std::wstring_view();
    auto utf8 = WideToUtf8(folder);
    if (!utf8) return RowCount();
    FolderNode* node = FindNode(*utf8, false);
    if (node && (node == &root || node->isFolder())) EnterFolder(*utf8);
    return RowCount();
}

std::wstring ItemCatalog::DisplayPath() const {
    if (currentFolder.empty()) return archivePath;
    return archivePath + L"\\" + Utf8ToWideLossy(currentFolder);
}

int ItemCatalog::RowCount() const { return static_cast<int>(rows.size()); }

ItemRow ItemCatalog::RowAt(int index) const {
    if (index < 0 || index >= RowCount()) return ItemRow{};
    return rows[static_cast<size_t>(index)];
}

void ItemCatalog::ClearRows() {
    // Row icons belong to the shared type cache, which frees them with the catalogue.
    rows.clear();
    rows.shrink_to_fit();
}

void ItemCatalog::ClearTree() { root.clearChildren(); }

void ItemCatalog::RemoveTempFolder() {
    if (tempFolder.empty()) return;
    if (IsDirectory(tempFolder)) RemoveFolderTree(tempFolder);
    tempFolder.clear();
}
