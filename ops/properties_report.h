#pragma once
// What the Properties window shows: the engine's facts of an archive or of one of its entries as
// named lines.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/archive_kind.h"
#include "engine/archive_properties.h"

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
// handler has for it. `kind`: what its name says it is.
PropertiesReport ArchivePropertiesReport(const ArchiveFacts& facts, ArchiveKind kind);

// Every property the engine has for the entry at `entryPath`; for a folder, the files and folders
// below it and their sizes. Nothing when no item has that path or lies below it.
PropertiesReport EntryPropertiesReport(const EntryFacts& facts, const std::wstring& entryPath);

// The packed size as a percentage of the size, rounded ("38%"); empty without a size.
std::wstring CompressionRatio(uint64_t packed, uint64_t size);
