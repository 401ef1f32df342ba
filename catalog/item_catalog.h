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
#include "catalog/archive_tree.h"
#include "catalog/item_row.h"
#include "catalog/shell_type_cache.h"
#include "engine/archive_listing.h"

enum class OperationState : int32_t {
    Idle = 0,
    Listing = 1,
    Adding = 2,
    Extracting = 3,
    Deleting = 4,
    Renaming = 5,
};

// The columns of an archive row, as texts.
enum class RowField { Name, FullPath, Size, PackedSize, Type, Modified, ModifiedSeconds, Crc, Method, Encrypted };

class ItemCatalog {
public:
    ItemCatalog() = default;
    ~ItemCatalog();
    ItemCatalog(const ItemCatalog&) = delete;
    ItemCatalog& operator=(const ItemCatalog&) = delete;

    // --- the tree and the rows ---
    // Takes the items of a listing into the tree. With `progress`, reports total = items and
    // completed = items taken.
    ListingSink& TreeBuilder(ProgressCounters* progress = nullptr) {
        builder_.progress = progress;
        return builder_;
    }
    // Makes the folder current and rebuilds the rows; a folder that is not there shows the root.
    void EnterFolder(std::wstring_view folder);
    // Enters the folder that a display path names (archive path + "\" + folder); returns RowCount.
    int NavigateTo(std::wstring_view displayText);
    // The archive path, followed by "\" and the current folder when not at the root.
    std::wstring DisplayPath() const;
    void ClearRows();
    void ClearTree();
    // Takes the tree and what the listing found from `listed` (a listing of this archive made
    // elsewhere), which keeps this one's tree; the rows are empty until a folder is entered.
    void TakeListingOf(ItemCatalog& listed);

    // The rows of the current folder: row 0 is the way up (".."), the others are the folder's
    // children in tree order. Their texts are made when asked for, for the rows drawn.
    int RowCount() const { return static_cast<int>(rows_.size()); }
    // A copy of a row with all its texts; an empty row for an index out of range.
    ItemRow RowAt(int index) const;
    bool RowIsParent(int index) const { return index == 0 && !rows_.empty(); }
    bool RowIsFolder(int index) const;
    std::wstring_view RowName(int index) const;
    // The entry path of the row (empty for the way up): the item's path, or the implied folder's.
    std::wstring RowFullPath(int index) const;
    std::wstring RowText(int index, RowField field) const;
    HICON RowIcon(int index) const;
    // The row's type name, kept for the catalogue's life (empty for the way up and out of range).
    std::wstring_view RowTypeName(int index) const;
    // The row of the child with exactly this name; -1 when there is none.
    int RowOfName(std::wstring_view name) const;
    // The row's node; kNoNode for the way up and out of range.
    ArchiveTree::NodeId RowNode(int index) const;
    // Ranks of the rows' names in the order of lstrcmpiW (equal names share one), made once per folder.
    const std::vector<uint32_t>& NameRanks() const;
    // Asks the shell for the icons and type names that the rows shown first need.
    void PrefetchShownTypes() const;

    // --- the temporary folder in use ---
    // Removes the folder with everything in it and forgets it.
    void RemoveTempFolder();

    // --- fields ---
    std::wstring archivePath;              // full path of the opened archive
    std::wstring currentFolder;            // path of the current folder inside the archive, empty = root
    std::wstring tempFolder;               // temporary folder in use, empty = none
    std::atomic<OperationState> state{OperationState::Idle};
    std::atomic<int32_t> yesToAll{0};      // the user agreed to replace existing files
    std::vector<std::wstring> pending;     // entry names to extract or paths to add
    std::wstring destination;              // destination folder of an extraction
    std::wstring password;                 // password known so far; empty = none
    OpenedFormat format;                   // what the archive turned out to be when it was listed
    ArchiveSummary summary;                // how the archive is packed, as last listed
    std::wstring damage;                   // what the engine found wrong with it, as the open put it; empty = sound
    ArchiveTree tree;                      // the folder tree; its root has no name
    std::wstring listedPath;               // the archive the tree is a listing of; empty = none
    // A listing of the archive as an update of it left it, made by the update's check, until
    // the catalogue takes it instead of listing the archive again (ShowChangedArchive).
    std::shared_ptr<ItemCatalog> updatedListing;
    mutable ShellTypeCache shellTypes;     // one icon and type name per file type, asked when drawn

private:
    // Builds the tree from the listing's items, reporting progress.
    class Builder final : public ListingSink {
    public:
        explicit Builder(ItemCatalog& catalog) : catalog_(catalog) {}
        void begin(uint32_t count) override;
        void add(const ListedItem& item) override;
        void reset();
        // Each item's CRC goes into the tree: what an update of the archive is checked against.
        bool wantsCrc() const override { return true; }
        ProgressCounters* progress = nullptr;

    private:
        ItemCatalog& catalog_;
        uint64_t taken_ = 0;
        // The folder of the item before: items come folder by folder, so most find theirs here.
        std::wstring lastFolderPath_;
        ArchiveTree::NodeId lastFolder_ = ArchiveTree::kNoNode;
    };

    Builder builder_{*this};
    std::vector<ArchiveTree::NodeId> rows_;  // rows of the current folder; kNoNode for the way up
    ArchiveTree::NodeId folderNode_ = ArchiveTree::kRoot;  // the current folder's node
    mutable std::vector<uint32_t> nameRanks_;
    mutable bool nameRanksMade_ = false;
};

// The catalogue, created on first use.
ItemCatalog* GetCatalog();
// Clears rows and tree, removes the temporary folder and frees the catalogue.
void DestroyCatalog();
// Makes `catalog`, opened on its own, the catalogue of the process; the one before is destroyed.
ItemCatalog* InstallCatalog(std::unique_ptr<ItemCatalog> catalog);
// True when a catalogue exists (never creates one).
bool CatalogExists();

// "Date time" in the user's short date and short time formats of a file time, shown as it is
// (the engine's times are UTC); empty when it is no valid date.
std::wstring FormatModified(uint64_t fileTime);
// The same with the seconds (the system's long time format).
std::wstring FormatModifiedWithSeconds(uint64_t fileTime);
// A CRC as 8 upper-case hexadecimal digits, as the archiver shows it.
std::wstring CrcText(uint32_t crc);
// A count or size in the user's locale: "20,000" (or "20.000", "20 000").
std::wstring FormatGroupedNumber(uint64_t value);
// A number written with "." and digits ("12.3", "-5") in the user's locale, with that many digits
// after its decimal separator; the number itself when the system cannot write it.
std::wstring LocaleNumberText(const std::wstring& number, unsigned fractionDigits);

// Puts a "," in front of every group of three characters counted from the right.
std::wstring GroupThousands(std::wstring_view text);
