#pragma once
// The data behind the content view: the rows it shows (a folder, the drives, or a folder of
// the open archive), the location list of its location box, sorting, and every navigation.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/handles.h"
#include "catalog/item_row.h"
#include "catalog/shell_type_cache.h"
#include "ui/status_texts.h"
#include "ui/user_messages.h"

class ItemCatalog;
struct OperationOutcome;

// What a navigation or a command did to what the view shows.
enum class ViewChange {
    None,     // nothing shown changed: refused, cancelled, or done elsewhere
    Changed,  // the rows or the place changed: the view shows them again
};

// One entry of the location list: a component of the current path, or a fixed place.
struct LocationEntry {
    std::wstring name;   // shown in the drop-down list
    std::wstring path;   // shown in the selection field and the path field
    int level = 0;       // indent: level x 8 pixels
    UniqueIcon icon;     // small icon, may be empty
};

struct CellText {
    std::wstring text;
    bool rightAligned = false;
};

class ContentModel {
public:
    ContentModel();
    ~ContentModel();
    ContentModel(const ContentModel&) = delete;
    ContentModel& operator=(const ContentModel&) = delete;

    // --- locations ---
    void InitLocations();
    void ClearListing();
    void ClearAll();
    int LocationCount() const;
    const LocationEntry* LocationAt(int index) const;
    std::wstring LocationName(int index) const;
    std::wstring LocationPath(int index) const;
    std::wstring CurrentLocationPath() const { return LocationPath(currentLocation); }
    int PathEntryCount() const { return static_cast<int>(pathEntries_.size()); }

    // --- listings ---
    // Each listing is read before anything shown changes: when a folder cannot be listed the
    // rows, the archive and the locations stay as they were, the user is told why and the
    // result is false. A listing that is shown closes the archive that was open.
    bool BrowseFolder(const std::wstring& path);
    void ListDrives();
    void LoadArchiveRows();
    void SortRows();

    // --- where the rows come from, for keeping the selection on the same items ---
    // The folder, "Computer" or the archive's display path.
    std::wstring PlacePath() const;
    // What identifies a row within its place.
    std::wstring RowKey(int position) const;
    // The row on the way from here to `place`: after going up, the folder just left. -1 when none.
    int RowLeadingTo(const std::wstring& place) const;
    // True when the row may take part in Add, Extract and Delete: never the way up; in the file
    // system only items with a full path that are none of the drives and fixed places.
    bool IsCommandTarget(int position) const;

    // --- rows, columns and cells ---
    int RowCount() const { return static_cast<int>(rows_.size()); }
    ItemRow RowAt(int position) const;
    const ItemRow* RowPointer(int position) const;
    std::vector<std::wstring> ColumnTitles() const;
    CellText CellAt(int position, int column) const;
    HICON RowIcon(int position) const;
    bool IsSortableColumn(int column) const;
    bool SetSortColumn(int column);

    // --- navigation ---
    bool SelectLocation(int index);
    // A typed path or a location entry's path: a folder is listed, an archive opened, a folder of
    // the open archive entered, "Computer" lists the drives; anything else is told about.
    bool GoToPath(int index, const std::wstring& path);
    ViewChange ActivateRow(int position);
    ViewChange ActivateArchiveRow(int position);
    ViewChange NavigateArchive(const std::wstring& displayPath);
    // Lists the archive in a catalogue of its own and shows it; false (and nothing changed) when
    // it did not open.
    // With `tellFailure` unset a failure is not told (a file that only looked like an archive).
    bool OpenArchiveFile(const std::wstring& path, bool tellFailure = true);
    // Opens the selected file of a folder listing as an archive, whatever its kind (a program
    // carrying an archive, say).
    ViewChange OpenRowAsArchive(int position);
    void CloseArchive();
    // Shows a place as the history recorded it (a folder, "Computer", an archive or a folder
    // inside one, which opens the archive again when it was left); false, and told why, when
    // it cannot be shown.
    bool ShowPlace(const std::wstring& place);
    // One level up: the parent folder, the folder that holds the archive from its root, the
    // drives from a drive's root.
    ViewChange GoUp();
    bool CanGoUp() const { return catalog_ || !showsDrives_; }
    // Lists the place again as it is now: the folder, the drives, or the archive read anew.
    ViewChange Refresh();
    bool InArchive() const { return catalog_ != nullptr; }
    bool ShowsDrives() const { return showsDrives_; }
    ItemCatalog* catalog() const { return catalog_; }

    // --- what the status bar and the title tell ---
    // The rows shown, the way up left out; and the rows at `positions`.
    RowTotals ShownTotals() const;
    RowTotals TotalsOf(const std::vector<int>& positions) const;
    // The open archive's name and the folder shown inside it ("x.zip\docs"); empty outside archives.
    std::wstring TitlePlace() const;
    // The full path of each row (inside an archive: the archive's path, then the entry's).
    std::vector<std::wstring> LocationsOf(const std::vector<int>& positions) const;

    // --- start and end ---
    void StartAt(const std::wstring& lastPath);
    // The folder to remember as last path, or nothing when the stored one stays.
    std::optional<std::wstring> LastPathToStore() const;

    // --- commands on rows (positions from CollectSelection: never empty, never the way up) ---
    // The full paths of the rows, in order.
    std::vector<std::wstring> PathsOf(const std::vector<int>& positions) const;
    // Where the folder picker of an extraction opens: beside the archive.
    std::wstring ExtractStartFolder(const std::vector<int>& positions) const;
    // Extracts the selected entries of the open archive, or the one selected archive file of a
    // folder listing as a whole, into `folder`.
    ViewChange ExtractRows(const std::vector<int>& positions, const std::wstring& folder);
    // Deletes the selected entries of the open archive (the user has agreed), or the selected
    // files and folders through the shell (to the recycle bin unless Shift is held).
    ViewChange DeleteRows(const std::vector<int>& positions);
    // Adds dropped files to the open archive's current folder.
    void AddDroppedFiles(const std::vector<std::wstring>& paths);

    // --- what the user is to be told ---
    // The messages of the navigations and commands since the last call, in order; the view shows them.
    std::vector<UserMessage> TakeMessages();

    int currentLocation = -1;
    std::wstring currentFolder;
    int sortColumn = 0;
    int sortOrder = 1;  // 1 ascending, 2 descending

private:
    void AddSpecialFolder(const wchar_t* label, int folderId, int level);
    int AddRootEntry(const std::wstring& name, const std::wstring& path, int level);
    void BuildPathEntries(const std::wstring& path);
    struct Listing {
        std::vector<ItemRow> rows;
        std::vector<UniqueIcon> icons;  // of the rows above
    };
    void AddFolderRow(Listing& listing, const std::wstring& name, const std::wstring& fullPath,
                      const WIN32_FIND_DATAW* data);
    // Replaces what is shown by a file-system listing, closing the archive.
    void ShowListing(Listing listing);
    int ComputerIndex() const;
    bool IsFixedPlace(const std::wstring& path) const;
    std::wstring RowLocation(const ItemRow& row) const;
    // From a folder of the archive to the one above it, or out of the archive from its root.
    ViewChange LeaveArchiveFolder();
    void DropRows();
    void Tell(std::wstring text, MessageKind kind = MessageKind::Plain);
    void Tell(const OperationOutcome& outcome);
    // Tells that a place cannot be shown, and why.
    void TellCannotShow(const std::wstring& place, DWORD error);

    std::vector<std::unique_ptr<LocationEntry>> rootEntries_;
    std::vector<std::unique_ptr<LocationEntry>> pathEntries_;
    std::vector<ItemRow> rows_;
    // Icons of rows the model built itself (folder and drive listings); catalogue rows borrow theirs.
    std::vector<UniqueIcon> ownedIcons_;
    ShellTypeCache fileTypes_;
    ItemCatalog* catalog_ = nullptr;
    bool showsDrives_ = false;
    // The temporary folder holding the archive this window was started on, when another window
    // extracted it for this one: this window owns it and removes it when it ends.
    std::wstring ownedCopy_;
    std::vector<UserMessage> messages_;
};

// --- pure helpers, tested directly ---

// Longer text is greater; equal lengths compare without regard to case.
int CompareSizeText(const std::wstring& a, const std::wstring& b);
int CompareTimes(uint64_t a, uint64_t b);
// "" for 0, else the decimal value grouped by thousands.
std::wstring FormatSize(uint64_t value);
// Stable order: the way up first, then folders, then the others, each group by the key of
// `columnTitle` ("Name", "Size", "Packed", "Type" then name, "Modified"; any other title keeps
// the listing order).
void SortItemRows(std::vector<ItemRow>& rows, const std::wstring& columnTitle, int sortOrder);
