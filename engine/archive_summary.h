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

// Gathers the summary item by item, in the same pass that lists the items, so that a long
// archive is read once and a Cancel stops the whole of it.
class ArchiveSummaryReader {
public:
    explicit ArchiveSummaryReader(IInArchive* archive);
    // Counts the item; a file's encryption and method are read from the engine.
    void addItem(uint32_t index, bool isFolder);
    ArchiveSummary take() { return std::move(summary_); }

private:
    IInArchive* archive_;
    ArchiveSummary summary_;
};
