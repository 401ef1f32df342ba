#pragma once
// The opened archive: its folder tree, the rows of the folder being looked at, and the
// state of the operation running on it. One per process (GetCatalog / DestroyCatalog). The
// operations that run on it (open, extract, add, delete) are in ops/archive_operations.h.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/progress_counters.h"
#include "catalog/folder_node.h"
#include "catalog/item_row.h"
#include "catalog/shell_type_cache.h"
#include "engine/archive_listing.h"

enum class OperationState : int32_t {
    Idle = 0,
    Listing = 1,
    Adding = 2,
    Extracting = 3,
    Deleting = 4,
};

class ItemCatalog {
public:
    ItemCatalog() = default;
    ~ItemCatalog();
    ItemCatalog(const ItemCatalog&) = delete;
    ItemCatalog& operator=(const ItemCatalog&) = delete;

    // --- the tree and the rows ---
    // Fills the tree from a listing. With `progress`, reports total = items and completed =
    // index there, and stops early once its cancel flag is set.
    void BuildTree(const ListingResult& listing, ProgressCounters* progress = nullptr);
    // The node of a backslash-separated path (empty = the root); created on the way when asked.
    FolderNode* FindNode(std::string_view utf8Path, bool create);
    // Makes the folder current and rebuilds the rows; a folder that is not there shows the root.
    void EnterFolder(std::string_view utf8Path);
    // Enters the folder that a display path names (archive path + "\" + folder); returns RowCount.
    int NavigateTo(std::wstring_view displayText);
    // A child row's full path (UTF-8): the item's path, or the implied folder's own path.
    std::string RowFullPath(const FolderNode& child) const;
    // The archive path, followed by "\" and the current folder when not at the root.
    std::wstring DisplayPath() const;
    int RowCount() const;
    // A copy of a row; an empty row for an index out of range.
    ItemRow RowAt(int index) const;
    void ClearRows();
    void ClearTree();

    // --- the temporary folder in use ---
    // Removes the folder with everything in it and forgets it.
    void RemoveTempFolder();

    // --- fields ---
    std::vector<ItemRow> rows;             // rows of the current folder, ".." first
    std::wstring archivePath;              // full path of the opened archive
    std::string currentFolder;             // UTF-8, empty = root
    std::wstring tempFolder;               // temporary folder in use, empty = none
    std::atomic<OperationState> state{OperationState::Idle};
    std::atomic<int32_t> yesToAll{0};      // the user agreed to replace existing files
    std::vector<std::wstring> pending;     // entry names to extract or paths to add
    std::wstring destination;              // destination folder of an extraction
    std::wstring password;                 // password known so far; empty = none
    OpenedFormat format;                   // what the archive turned out to be when it was listed
    ArchiveSummary summary;                // how the archive is packed, as last listed
    std::wstring damage;                   // what the engine found wrong with it; empty = sound
    FolderNode root;                       // root of the folder tree, name empty
    ShellTypeCache shellTypes;             // one icon and type name per file type
};

// The catalogue, created on first use.
ItemCatalog* GetCatalog();
// Clears rows and tree, removes the temporary folder and frees the catalogue.
void DestroyCatalog();
// Makes `catalog`, opened on its own, the catalogue of the process; the one before is destroyed.
ItemCatalog* InstallCatalog(std::unique_ptr<ItemCatalog> catalog);
// True when a catalogue exists (never creates one).
bool CatalogExists();

// "Date time" in the system's short date and short time formats, from the engine's
// "YYYY-MM-DD" and "hh:mm:ss" texts; empty when either does not split into three pieces.
std::wstring FormatModified(std::string_view date, std::string_view time);

// Puts a "," in front of every group of three characters counted from the right.
std::wstring GroupThousands(std::wstring_view text);
