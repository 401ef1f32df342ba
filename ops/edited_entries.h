#pragma once
// Files opened from an archive in the program the shell chose for them: the record of each,
// telling whether the file was saved since, and putting a changed file back into its archive.
#include <windows.h>

#include <cstdint>
#include <string>

#include "ops/archive_operations.h"

struct OpenedEntry {
    std::wstring archivePath;
    std::wstring entryPath;  // inside the archive
    std::wstring file;       // the extracted copy the program works on
    std::wstring folder;     // the fresh temporary folder that holds it
    std::wstring password;   // the archive's, to encrypt the entry again
    uint64_t size = 0;       // the file as last seen
    FILETIME written{};
};

// Reads the file's size and last-write time; false when it cannot be read.
bool ReadFileStamp(const std::wstring& file, uint64_t& size, FILETIME& written);

// True when the file's size or last-write time differ from what the record last saw.
bool OpenedEntryChanged(const OpenedEntry& entry);

// True when the entry can go back into its archive: a .zip or .7z, with the copy named as the entry.
bool OpenedEntryCanGoBack(const OpenedEntry& entry);

// Puts the changed copy back at the entry's path in the archive (it replaces the entry), with
// the guarantees of every add: the archive is either updated or as it was.
OperationOutcome UpdateOpenedEntry(const OpenedEntry& entry);
