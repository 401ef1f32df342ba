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
#include "engine/extraction_outcome.h"
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
    // Fills the tree from a listing (progress: total = items, completed = index).
    void BuildTree(const ListingResult& listing);
    // The node of a backslash-separated path (empty = the root); created on the way when asked.
    FolderNode* FindNode(std::string_view utf8Path, bool create);
    // Makes the folder current and rebuilds the rows; a folder that is not there shows the root.
    void EnterFolder(std::string_view utf8Path);
    // Enters the folder that a display path names (archive path + "\" + folder); returns RowCount.
    int NavigateTo(std::wstring_view displayText);
    // The archive path, followed by "\" and the current folder when not at the root.
    std::wstring DisplayPath() const;
    int RowCount() const;
    // A copy of a row; an empty row for an index out of range.
    ItemRow RowAt(int index) const;
    void ClearRows();
    void ClearTree();

    // --- the temporary folder in use ---
    void RemoveTempFolder();

    // --- operations on the archive; all are called on the UI thread and return only when their
    // work has ended (open, extract and add run on a worker behind the progress window) ---
    // Lists the archive and enters its root. True when there are rows afterwards. False after
    // a failure and after Cancel; LastOperationCancelled() tells the two apart. A damaged
    // archive is listed as far as it can be read, and the user is told that it is damaged.
    bool OpenArchive(const std::wstring& path);
    // Opens the same archive again and returns to the same folder (the root when it is gone).
    // The password known for it opens it without asking again.
    void ReloadArchive();
    // Extracts the named entries of the current folder below the destination. A failure shows
    // "Could not extract <archive name>" and why; items that had to take names of their own
    // are told too. Returns 0.
    int ExtractEntries(const std::vector<std::wstring>& names, const std::wstring& destinationFolder);
    // Writes exactly that entry into a fresh temporary folder; true with the file written.
    bool ExtractForViewing(const std::wstring& entryPath, std::wstring& extractedFile);
    // A row's full path: a folder row is entered (returns RowCount), a file row is extracted
    // and opened by the shell, an archive inside the archive in a new instance of the program
    // (returns 0). 0 also when no row has that path.
    int ActivateEntry(const std::wstring& fullPath);
    // Adds files and folders to the current folder of the archive (.zip and .7z only, else
    // "Operation is not supported." and -1); encrypted when a password is known. A failure
    // shows "Could not update <archive name>" with its cause; a failure or Cancel leaves the
    // archive as it was. The caller reloads afterwards.
    int AddFiles(const std::vector<std::wstring>& paths);
    // Sets archive path, root folder and password, then AddFiles (the archive may be new).
    int AddFilesToArchive(const std::wstring& archive, const std::vector<std::wstring>& paths,
                          const std::wstring& archivePassword);
    // Deletes the named entries of the current folder (.zip and .7z only), in the background
    // behind the progress window, then reloads. Exactly those entries go, or nothing changes.
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
        bool stopped = false;  // ended early by Cancel or a declined prompt
        std::wstring message;  // why the archive was not changed, for the user; empty when it was
    };
    // A child row's full path (UTF-8): the item's path, or the implied folder's own path.
    std::string RowFullPath(const FolderNode& child) const;
    void BeginOperation();
    void EndOperation(bool cancelledByUser);
    bool ExtractSelection(int& result, ExtractionOutcome& outcome);  // the extract worker's body
    ModifyResult AddPending();             // the add worker's body
    ModifyResult DeletePending(const std::vector<std::wstring>& entries);  // the delete worker's body
    // Ends an add or a delete: the message of a failure, unless the user ended it.
    void ReportModify(ProgressOutcome shown, const ModifyResult& result);
    bool Open(const std::wstring& path, const std::wstring& knownPassword);
    void ListAndBuild(const std::wstring& knownPassword);  // the open worker's body

    bool lastOperationCancelled_ = false;
    std::wstring listingDamage_;  // what the last listing found wrong with the archive
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
