#pragma once
// What the Properties window shows: the engine's properties of an archive as a whole, with
// figures over all of its items, and every property the engine has for one entry.
#include <string>
#include <vector>

#include "engine/archive_kind.h"

struct PropertyLine {
    std::wstring name;
    std::wstring value;
};

struct PropertiesReport {
    bool opened = false;
    bool cancelled = false;          // the user refused the password
    std::wstring problem;            // why the archive could not be read
    std::vector<PropertyLine> lines;
};

// The archive's format, method, solidity, blocks, sizes and ratio, its numbers of files and
// folders, whether it is encrypted, its comment, its damage, and every other property the
// handler has for it. `password` is in/out as for opening.
PropertiesReport readArchiveProperties(const std::wstring& archivePath, ArchiveKind kind, std::wstring& password);

// Every property the engine has for the entry whose path is exactly `entryPath` (the last
// such item). A folder that no item names gets its figures: the files and folders below it and
// their sizes. Nothing when no item has that path or lies below it.
PropertiesReport readEntryProperties(const std::wstring& archivePath, ArchiveKind kind, std::wstring& password,
                                     const std::wstring& entryPath);

// The packed size as a percentage of the size, rounded ("38%"); empty without a size.
std::wstring compressionRatio(uint64_t packed, uint64_t size);
