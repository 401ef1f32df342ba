#pragma once
// What the Properties window is made of, as values: the engine's properties of an archive as a
// whole with figures over all of its items, and every property the engine has for one entry.
// ops/properties_report.h puts them into named lines.
#include <windows.h>
#include <propidl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/archive_kind.h"
#include "engine/engine_faults.h"

// A property's value as the engine gave it, kept beyond the engine's session.
struct PropertyValue {
    PROPID id = 0;
    VARTYPE type = VT_EMPTY;
    bool isNumber = false;  // an unsigned integer type (propertyIsUnsigned):
    uint64_t number = 0;    // ... its value
    bool yes = false;     // VT_BOOL
    FILETIME time{};      // VT_FILETIME
    std::wstring text;    // every other type, as propertyToText gives it
    bool empty() const { return type == VT_EMPTY; }
};

// Figures over a set of items: files, folders (named or implied), sizes, methods, encryption.
struct ItemFigures {
    uint64_t files = 0;
    uint64_t folders = 0;
    uint64_t size = 0;
    uint64_t packed = 0;
    bool packedKnown = false;
    bool encrypted = false;
    std::vector<std::wstring> methods;  // at most 8, in order
};

// The archive as a whole.
struct ArchiveFacts {
    bool opened = false;
    bool cancelled = false;       // the user refused the password
    ReadFailure failure;          // why it could not be read
    std::wstring formatName;      // what the engine opened it as
    PropertyValue type, method, solid, blocks, comment;  // the handler's own, when it has them
    std::vector<PropertyValue> others;  // whatever else the handler tells of the archive
    ItemFigures figures;
    uint64_t fileSize = 0;
    bool namesEncrypted = false;  // the item list itself needs the password
    ArchiveDamage damage;
};

// `password` is in/out as for opening.
ArchiveFacts readArchiveFacts(const std::wstring& archivePath, ArchiveKind kind, std::wstring& password);

// One entry of the archive: the item whose path is exactly `entryPath` (the last such item),
// and, for a folder, the files and folders below it.
struct EntryFacts {
    bool opened = false;
    bool cancelled = false;
    ReadFailure failure;
    bool missing = false;                   // no item has the path, nor lies below it
    bool found = false;                     // an item has exactly that path:
    std::wstring path;                      // ... its path, as the engine gives it
    std::vector<PropertyValue> properties;  // ... and every other property it has
    bool folder = false;                    // it is a folder (or only implied by the items below)
    ItemFigures below;
};

EntryFacts readEntryFacts(const std::wstring& archivePath, ArchiveKind kind, std::wstring& password,
                          const std::wstring& entryPath);
