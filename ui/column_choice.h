#pragma once
// The columns the list shows, chosen by the user per kind of view (a folder, an archive, the
// drives) and kept in the settings as the columns' keys, in order ("name,size,crc"). The name
// comes first and always stays; each kind offers the columns it has values for.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ColumnId : uint8_t {
    Name,
    Size,
    Packed,
    Type,
    Modified,
    ModifiedSeconds,
    Attributes,
    Crc,
    Method,
    Encrypted,
};
inline constexpr int kColumnIdCount = 10;  // below the 32 stored widths: each column keeps its own

enum class ViewKind : uint8_t { Folder, Archive, Drives };

// The column's title in the header and in the chooser.
const wchar_t* ColumnTitle(ColumnId column);
bool ColumnRightAligned(ColumnId column);
// The columns a kind of view offers, in the chooser's order, and those it shows at first.
std::vector<ColumnId> AvailableColumns(ViewKind kind);
std::vector<ColumnId> DefaultColumns(ViewKind kind);
// The stored text of a choice, and the choice in a stored text: unknown, repeated and unoffered
// keys are dropped and the name is put first; nothing usable gives the default columns.
std::wstring FormatColumns(const std::vector<ColumnId>& columns);
std::vector<ColumnId> ParseColumns(ViewKind kind, std::wstring_view text);
// A column shown is taken away (never the name); one not shown is added at the end.
std::vector<ColumnId> ToggleColumn(std::vector<ColumnId> columns, ColumnId column);

// The choice of a kind of view as the settings keep it ("columns_folder", "columns_archive",
// "columns_drives"), and keeping a new one there at once.
std::vector<ColumnId> LoadColumns(ViewKind kind);
void SaveColumns(ViewKind kind, const std::vector<ColumnId>& columns);
