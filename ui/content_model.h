#pragma once
// The data behind the content view: the rows it shows (a folder, the drives, or a folder of
// the open archive), the location list of its location box, sorting, and every navigation.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/handles.h"
#include "catalog/item_row.h"
#include "catalog/shell_type_cache.h"

class ItemCatalog;

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
    int BrowseFolder(const std::wstring& path);
    int ListDrives();
    int LoadArchiveRows();
    void SortRows();

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
    bool GoToPath(int index, const std::wstring& path);
    int ActivateRow(int position);
    int ActivateArchiveRow(int position);
    int NavigateArchive(const std::wstring& displayPath);
    int OpenArchiveFile(const std::wstring& path);
    void CloseArchive();
    bool InArchive() const { return catalog_ != nullptr; }
    ItemCatalog* catalog() const { return catalog_; }

    // --- start and end ---
    void StartAt(const std::wstring& lastPath);
    // The folder to remember as last path, or nothing when the stored one stays.
    std::optional<std::wstring> LastPathToStore() const;

    // --- commands ---
    int AddRows(const std::vector<int>& positions);
    int ExtractRows(const std::vector<int>& positions);
    int DeleteRows(const std::vector<int>& positions);
    int AddDroppedFiles(const std::vector<std::wstring>& paths);

    int currentLocation = -1;
    std::wstring currentFolder;
    int sortColumn = 0;
    int sortOrder = 1;  // 1 ascending, 2 descending

private:
    void AddSpecialFolder(const wchar_t* label, int folderId, int level);
    int AddRootEntry(const std::wstring& name, const std::wstring& path, int level);
    void BuildPathEntries(const std::wstring& path);
    void AddFolderRow(const std::wstring& name, const std::wstring& fullPath, const WIN32_FIND_DATAW* data);
    void DropRows();

    std::vector<std::unique_ptr<LocationEntry>> rootEntries_;
    std::vector<std::unique_ptr<LocationEntry>> pathEntries_;
    std::vector<ItemRow> rows_;
    // Icons of rows the model built itself (folder and drive listings); catalogue rows borrow theirs.
    std::vector<UniqueIcon> ownedIcons_;
    ShellTypeCache fileTypes_;
    ItemCatalog* catalog_ = nullptr;
};

// --- pure helpers, tested directly ---

// The text before the last backslash (a trailing one ignored); empty when there is none.
std::wstring ParentPath(const std::wstring& path);
// Longer text is greater; equal lengths compare without regard to case.
int CompareSizeText(const std::wstring& a, const std::wstring& b);
int CompareTimes(uint64_t a, uint64_t b);
// "" for 0, else the decimal value grouped by thousands.
std::wstring FormatSize(uint64_t value);
// Stable order: ".." first, then folders, then the others, each group by the key of
// `columnTitle` ("Name", "Size", "Packed", "Modified"; any other title keeps the listing order).
void SortItemRows(std::vector<ItemRow>& rows, const std::wstring& columnTitle, int sortOrder);
