#pragma once
// How an opened archive is packed, as a whole: what its status line tells about it.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine_interfaces.h"

struct ArchiveSummary {
    std::vector<std::wstring> methods;  // the files' methods, each once, in the order first met
    bool solid = false;                 // files are packed together in shared streams
    uint64_t files = 0;                 // items that are no folders
    uint64_t encryptedFiles = 0;        // of them, those the engine reports encrypted
};

// Reads the packing of the `count` items of an opened archive and its solid flag.
ArchiveSummary archiveSummary(IInArchive* archive, uint32_t count);
