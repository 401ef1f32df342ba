#pragma once
// The opened archive: its folder tree, the rows of the folder being looked at, and the
// state of the operation running on it. One per process (GetCatalog / DestroyCatalog).
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/folder_node.h"
#include "catalog/item_row.h"
#include "catalog/shell_type_cache.h"
#include "engine/archive_listing.h"
#include "ops/progress.h"

enum class OperationState : int32_t {
    Idle = 0,
    Listing = 1,
    Adding = 2,
    Extracting = 3,
    Deleting = 4,
};

class ItemCatalog {
public:
    ItemCatalog();
    ~ItemCatalog();
    ItemCatalog(const ItemCatalog&) = delete;
    ItemCatalog& operator=(const ItemCatalog&) = delete;

    // --- the tree and the rows ---
    void BuildTree(const ListingResult& listing);
    FolderNode* FindNode(std::string_view utf8Path, bool create);
    void EnterFolder(std::string_view utf8Path);
    int NavigateTo(std::wstring_view displayText);
    std::wstring DisplayPath() const;
    int RowCount() const;
    ItemRow RowAt(int index) const;
    void ClearRows();
    void ClearTree();

    // --- the temporary folder in use ---
    void RemoveTempFolder();

    // --- operations on the archive (background operations) ---
    bool OpenArchive(const std::wstring& path);
    void ReloadArchive();
    int ExtractEntries(const std::vector<std::wstring>& names, const std::wstring& destinationFolder);
    bool ExtractForViewing(const std::wstring& entryPath, std::wstring& extractedFile);
    int ActivateEntry(const std::wstring& fullPath);
    int AddFiles(const std::vector<std::wstring>& paths);
    int AddFilesToArchive(const std::wstring& archive, const std::vector<std::wstring>& paths,
                          const std::wstring& archivePassword);
    int DeleteEntries(const std::vector<std::wstring>& names);

    // True when the last open, extraction or add ended because the user cancelled it (Cancel
    // in the progress window, a refused password prompt, a declined replace question): such an
    // end is no failure, and the caller says nothing about it. After a cancelled open the
    // catalogue has no rows and `OpenArchive` returned false.
    bool LastOperationCancelled() const { return lastOperationCancelled_; }

    // --- fields ---
    std::vector<ItemRow> rows;             // rows of the current folder, ".." first
    std::wstring archivePath;              // full path of the opened archive
    std::string currentFolder;             // UTF-8, empty = root
    std::wstring tempFolder;               // temporary folder in use, empty = none
    std::atomic<OperationState> state{OperationState::Idle};
    std::atomic<int32_t> yesToAll{0};      // the user agreed to replace existing files
    std::atomic<int32_t>& cancel;          // set by the UI when the user cancels (g_progress.cancel)
    std::vector<std::wstring> pending;     // entry names to extract or paths to add
    std::wstring destination;              // destination folder of an extraction
    std::wstring password;                 // password known so far; empty = none
    FolderNode root;                       // root of the folder tree, name empty
    ShellTypeCache shellTypes;             // one icon and type name per file type

private:
    struct ModifyResult {
        bool failed = false;   // the archiver failed, or a file could not be staged
        bool stopped = false;  // ended early by Cancel or a declined prompt
    };
    // A child row's full path (UTF-8): the item's path, or the implied folder's own path.
    std::string RowFullPath(const FolderNode& child) const;
    void BeginOperation();
    void EndOperation(bool cancelledByUser);
    void ListAndBuild();                   // the open worker's body
    bool ExtractSelection(int& result);    // the extract worker's body
    ModifyResult AddPending();             // the add worker's body

    bool lastOperationCancelled_ = false;
};

// The catalogue, created on first use.
ItemCatalog* GetCatalog();
// Clears rows and tree, removes the temporary folder and frees the catalogue.
void DestroyCatalog();
// True when a catalogue exists (never creates one).
bool CatalogExists();

// "Date time" in the system's short date and short time formats, from the engine's
// "YYYY-MM-DD" and "hh:mm:ss" texts; empty when either does not split into three pieces.
std::wstring FormatModified(std::string_view date, std::string_view time);

// Puts a "," in front of every group of three characters counted from the right.
std::wstring GroupThousands(std::wstring_view text);
