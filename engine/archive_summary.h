#pragma once
// How an opened archive is packed, as a whole: what its status line tells about it.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine_interfaces.h"
#include "engine/engine_property.h"

struct ListedItem;

struct ArchiveSummary {
    std::vector<std::wstring> methods;  // the files' methods, each once, in the order first met
    bool solid = false;                 // files are packed together in shared streams
    uint64_t files = 0;                 // items that are no folders
    uint64_t encryptedFiles = 0;        // of them, those the engine reports encrypted
};

// Gathers the summary item by item, so that the pass over a long archive can be stopped.
class ArchiveSummaryReader {
public:
    explicit ArchiveSummaryReader(IInArchive* archive);
    // Counts the item, a folder or not (as its attributes tell); a file's encryption and method
    // are read from the engine and handed on in `item` (its method valid until the next item).
    void addItem(uint32_t index, ListedItem& item);
    ArchiveSummary take() { return std::move(summary_); }

private:
    IInArchive* archive_;
    EngineProperty method_;
    ArchiveSummary summary_;
};
