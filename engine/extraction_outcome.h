#pragma once
// What one extraction did, item by item summed up, as values; ops/extraction_report.h tells
// the user.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine_faults.h"

struct ExtractionOutcome {
    struct ItemNote {
        std::wstring item;    // the item's path inside the archive
        std::wstring detail;  // the name it was written under, or where a link points
    };
    struct ItemFailure {
        std::wstring item;          // the item's path inside the archive
        ItemFault fault;            // why it failed
        bool wholeArchive = false;  // a failure of the archive as a whole, of no one item
    };
    // Notes are kept for the first few items only; the counts are complete.
    static constexpr size_t kNotesKept = 8;

    bool opened = false;          // the archive could be opened
    OpenFailure openFailure;      // why it could not, when known
    bool cancelled = false;       // the user cancelled, or refused to give the password
    bool declined = false;        // ... by Cancel in the question about an existing file
    bool wrongPassword = false;   // encrypted items failed for their password
    ArchiveDamage damage;         // what the engine found wrong with the archive as a whole; data
                                  // after its end is no damage to items that came out whole
    HRESULT engineError = S_OK;   // the engine ended the extraction with an error of its own
    uint64_t written = 0;         // files written
    uint64_t failed = 0;          // items meant to be written that were not
    uint64_t renamed = 0;         // items written under a name of their own
    uint64_t skipped = 0;         // items not written because of an unsafe name
    uint64_t missing = 0;         // items the engine never handed over
    uint64_t kept = 0;            // existing files left as they were at the user's word
    uint64_t tested = 0;          // files found intact by a test
    uint64_t testedFolders = 0;   // folders seen by a test
    uint64_t symbolicLinks = 0;   // symbolic links written as files holding where they point
    uint64_t movedAside = 0;      // existing files renamed out of the way of their items
    uint64_t notMovedAside = 0;   // ... that could not be: both kept, the item under a name of its own
    uint64_t unmarked = 0;        // files that could not be given the archive's mark of the web
    size_t notesKept = kNotesKept;  // how many failures are noted by name
    std::vector<ItemFailure> failures;
    std::vector<ItemNote> renames;
    std::vector<ItemNote> skips;
    std::vector<ItemNote> links;  // symbolic links, with where they point
    std::vector<ItemNote> besides;  // items written beside an existing file that stayed, with their names
    std::wstring lastFile;        // disk path of the last file written
    std::wstring destination;     // the folder written to

    bool succeeded() const {
        return opened && !cancelled && !wrongPassword && !damage.harmful() && engineError == S_OK && failed == 0 &&
               skipped == 0 && missing == 0;
    }
    void noteFailure(const std::wstring& item, ItemFault fault);
    void noteArchiveFailure(ItemFault fault);
    void noteRename(const std::wstring& item, const std::wstring& writtenAs);
    void noteSkip(const std::wstring& item);
    void noteSymbolicLink(const std::wstring& item, const std::wstring& target);
};
