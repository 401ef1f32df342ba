#pragma once
// The data behind the content view: the rows it shows (a folder, the drives, or a folder of
// the open archive), the location list of its location box, sorting, and every navigation.
// The commands on the rows are ContentCommands'; the status bar's texts are made from the rows
// in ui/status_texts.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/handles.h"
#include "catalog/item_row.h"
#include "catalog/shell_type_cache.h"
#include "ui/column_choice.h"
#include "ui/opened_files.h"
#include "ui/user_messages.h"

class ItemCatalog;

// The name a row of an archive shows: an entry named ".." (never the way up) is marked as
// the unsafe name it is.
std::wstring ShownEntryName(std::wstring name, bool parentRow);

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
    // The small icon (may be empty), asked of the shell when the entry is first drawn: most
    // entries are never drawn, and each icon costs the shell a lookup of its own.
    mutable UniqueIcon icon;
    mutable bool iconAsked = false;
    std::wstring iconSource;  // the path the shell is asked about...
    int specialFolder = -1;   // ...or the special folder without one
};

// Rows are shown in these groups, in this order.
enum class RowGroup : uint8_t { Parent = 0, Folder = 1, Other = 2 };

struct CellText {
    std::wstring text;
    bool rightAligned = false;
};

class ContentModel {
public:
    // Entries of the archive that a navigation opens in their programs go to `openedFiles`, to be
    // watched for changes.
    explicit ContentModel(OpenedFiles& openedFiles);
    ~ContentModel();
    ContentModel(const ContentModel&) = delete;
    ContentModel& operator=(const ContentModel&) = delete;

    // --- locations ---
    void InitLocations();
    void ClearListing();
    void ClearAll();
    int LocationCount() const;
    const LocationEntry* LocationAt(int index) const;
    HICON LocationIcon(int index) const;
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
    // The positions of the rows with these keys now (-1 for a key no row has).
    std::vector<int> PositionsOfKeys(const std::vector<std::wstring>& keys) const;
    // The key of the row whose item is named `name` (an item just renamed or made); empty when none.
    std::wstring RowKeyOfName(const std::wstring& name) const;
    // The row on the way from here to `place`: after going up, the folder just left. -1 when none.
    int RowLeadingTo(const std::wstring& place) const;
    // True when the row may take part in Add, Extract and Delete: never the way up; in the file
    // system only items with a full path that are none of the drives and fixed places.
    bool IsCommandTarget(int position) const;

    // --- rows, columns and cells ---
    int RowCount() const { return static_cast<int>(order_.size()); }
    // A copy of the row at a position, with all its texts; an empty row outside the rows.
    ItemRow RowAt(int position) const;
    // The same, or nothing outside the rows.
    std::optional<ItemRow> RowCopy(int position) const;
    bool IsParentRow(int position) const;
    bool IsFolderRow(int position) const;
    // The name shown (valid until the rows change).
    std::wstring_view RowName(int position) const;
    std::wstring RowFullPath(int position) const;
    // The item's own name of a row (an entry's name, a file's name on disk); empty for the way up.
    std::wstring ItemNameOf(int position) const;
    std::vector<std::wstring> ColumnTitles() const;
    CellText CellAt(int position, int column) const;
    // The kind of view shown, and the columns it shows (the user's choice, from the settings).
    ViewKind Kind() const { return catalog_ ? ViewKind::Archive : showsDrives_ ? ViewKind::Drives : ViewKind::Folder; }
    const std::vector<ColumnId>& ColumnIds() const { return columns_[static_cast<int>(Kind())]; }
    // Shows these columns for this kind of view from now on and keeps them in the settings; the
    // rows stay sorted by the same column while it is shown, else by name.
    void ChooseColumns(std::vector<ColumnId> columns);
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

    // --- what the status bar counts ---
    // True for a row of the place: inside the rows and not the way up.
    bool IsItemRow(int position) const;
    // The bytes of the file at a position; nothing for folders and drives (and for no item row).
    std::optional<uint64_t> FileBytes(int position) const;
    // Changes with every listing shown (never 0): what was counted of its rows holds while it stays.
    uint64_t ListingNumber() const { return listingNumber_; }
    // The full path of each row (inside an archive: the archive's path, then the entry's).
    std::vector<std::wstring> LocationsOf(const std::vector<int>& positions) const;

    // --- start and end ---
    void StartAt(const std::wstring& lastPath);
    // The place a start at `lastPath` shows, as a full path; true for it when that is an archive.
    static std::wstring StartPath(const std::wstring& lastPath);
    static bool StartsWithArchive(const std::wstring& startPath);
    // The folder to remember as last path, or nothing when the stored one stays.
    std::optional<std::wstring> LastPathToStore() const;

    // Reads the open archive again after it changed elsewhere (an entry put back): true when the
    // open archive is `archivePath` and was read again.
    bool ReloadIfShowing(const std::wstring& archivePath);

    // --- what the user is to be told ---
    // The messages of the navigations, and of the commands on the rows, until the view shows them.
    MessageList& messages() { return messages_; }

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
        std::vector<uint64_t> sizes;    // of the rows above, as numbers
        std::vector<UniqueIcon> icons;  // of the rows above
    };
    void AddFolderRow(Listing& listing, const std::wstring& name, const std::wstring& fullPath,
                      const WIN32_FIND_DATAW* data);
    // Replaces what is shown by a file-system listing, closing the archive.
    void ShowListing(Listing listing);
    // A folder's rows, made without showing them (none when it cannot be listed, told why with
    // `tellFailure`).
    std::optional<Listing> ListFolder(const std::wstring& path, bool tellFailure = true);
    void ShowFolder(const std::wstring& path, Listing listing);
    int ComputerIndex() const;
    bool IsFixedPlace(const std::wstring& path) const;
    std::wstring RowLocation(int position) const;
    // The last step of the row's path.
    std::wstring_view LastComponent(int position) const;
    // From a folder of the archive to the one above it, or out of the archive from its root.
    ViewChange LeaveArchiveFolder();
    void DropRows();
    // Tells that a place cannot be shown, and why.
    void TellCannotShow(const std::wstring& place, DWORD error);
    // The row shown at a position: its index in the listing order (-1 outside the rows).
    int ListingIndex(int position) const;
    void ShowListingOrder();
    void PrepareSortKeys(const std::wstring& title);

    std::vector<std::unique_ptr<LocationEntry>> rootEntries_;
    std::vector<std::unique_ptr<LocationEntry>> pathEntries_;
    // The rows of a folder or drive listing, in listing order (archive rows stay in the catalogue).
    std::vector<ItemRow> rows_;
    std::vector<uint64_t> rowSizes_;  // the sizes of `rows_`, as numbers
    // What the rows of the listing are sorted by, in listing order: their groups, and their keys
    // for the column `sortKeysTitle_` (names as ranks), made when first needed.
    std::vector<RowGroup> sortGroups_;
    std::vector<uint64_t> sortKeys_;
    std::wstring sortKeysTitle_;
    // Display position -> index of the row in listing order (in `rows_` or the catalogue's rows).
    std::vector<uint32_t> order_;
    uint64_t listingNumber_ = 1;
    // Icons of rows the model built itself (folder and drive listings); catalogue rows borrow theirs.
    std::vector<UniqueIcon> ownedIcons_;
    ShellTypeCache fileTypes_;
    ItemCatalog* catalog_ = nullptr;
    bool showsDrives_ = false;
    std::vector<ColumnId> columns_[3];  // by ViewKind
    // The temporary folder holding the archive this window was started on, when another window
    // extracted it for this one: this window owns it and removes it when it ends.
    std::wstring ownedCopy_;
    MessageList messages_;
    OpenedFiles& openedFiles_;
};

// --- pure helpers, tested directly ---

// "" for 0, else the decimal value grouped by thousands.
std::wstring FormatSize(uint64_t value);
// The display order of rows given in listing order (their positions in that order): the way up
// first, then folders, then the others; each group by `keys` ascending or descending, rows of
// equal keys in listing order. Without keys only the grouping applies.
std::vector<uint32_t> OrderRows(const std::vector<RowGroup>& groups, const std::vector<uint64_t>* keys,
                                bool descending);
// Keys that order rows by their type's name (as lstrcmpiW does), then by their name's rank.
std::vector<uint64_t> TypeThenNameKeys(size_t count, const std::function<std::wstring_view(size_t)>& typeAt,
                                       const std::vector<uint32_t>& nameRanks);
