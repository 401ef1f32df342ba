#pragma once
// One row of a listing: an archive folder's child, a file-system entry or a drive.
#include <windows.h>

#include <cstdint>
#include <string>

struct ItemRow {
    std::wstring name;
    std::wstring fullPath;      // empty for the ".." row of an archive folder
    HICON icon = nullptr;       // small shell icon; not owned by copies of the row
    std::wstring size;          // grouped; empty for folders
    std::wstring type;          // "Folder" or the shell's type name
    std::wstring modified;      // formatted date and time
    std::wstring packedSize;    // grouped; empty for folders
    uint32_t attributes = 0;    // FILE_ATTRIBUTE_DIRECTORY (16) for folder rows
    uint64_t modifiedTime = 0;  // FILETIME ticks
    bool parentRow = false;     // the way up, shown as ".." (an archive may hold a folder of that name too)
};
