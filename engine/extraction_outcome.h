#pragma once
// What one extraction did, item by item summed up, and the text that tells the user.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct ExtractionOutcome {
    struct ItemNote {
        std::wstring item;    // the item's path inside the archive
        std::wstring detail;  // why it failed, or the name it was written under
    };
    // Notes are kept for the first few items only; the counts are complete.
    static constexpr size_t kNotesKept = 8;

    bool opened = false;          // the archive could be opened
    std::wstring openProblem;     // why it could not, when known
    bool cancelled = false;       // the user cancelled, or refused to give the password
    bool declined = false;        // ... by Cancel in the question about an existing file
    bool wrongPassword = false;   // encrypted items failed for their password
    std::wstring archiveProblem;  // damage the engine found in the archive as a whole
    std::wstring archiveWarning;  // what is amiss around items that are whole: data after the end
    std::wstring engineProblem;   // the engine ended the extraction with an error of its own
    uint64_t written = 0;         // files written
    uint64_t failed = 0;          // items meant to be written that were not
    uint64_t renamed = 0;         // items written under a name of their own
    uint64_t skipped = 0;         // items not written because of an unsafe name
    uint64_t missing = 0;         // items the engine never handed over
    uint64_t kept = 0;            // existing files left as they were at the user's word
    uint64_t tested = 0;          // files found intact by a test
    uint64_t testedFolders = 0;   // folders seen by a test
    uint64_t symbolicLinks = 0;   // symbolic links written as files holding where they point
    size_t notesKept = kNotesKept;  // how many failures are noted by name
    std::vector<ItemNote> failures;
    std::vector<ItemNote> renames;
    std::vector<ItemNote> skips;
    std::vector<ItemNote> links;  // symbolic links, with where they point
    std::wstring lastFile;        // disk path of the last file written
    std::wstring destination;     // the folder written to

    bool succeeded() const {
        return opened && !cancelled && !wrongPassword && archiveProblem.empty() && engineProblem.empty() &&
               failed == 0 && skipped == 0 && missing == 0;
    }
    void noteFailure(const std::wstring& item, const std::wstring& cause);
    void noteRename(const std::wstring& item, const std::wstring& writtenAs);
    void noteSkip(const std::wstring& item);
    void noteSymbolicLink(const std::wstring& item, const std::wstring& target);
};

// What the user is told after an extraction of the archive named `archiveName`: for a failure,
// "Could not extract <name>" and, below it, why, and how many files were written where; for a
// success, the items that had to take names of their own, the symbolic links written as files,
// and a warning. Empty when there is nothing to tell (a clean success, a cancel).
std::wstring extractionMessage(const ExtractionOutcome& outcome, const std::wstring& archiveName);

// Why an item failed, from the engine's result for it (never kOK).
std::wstring operationResultCause(int32_t result);
// Why the engine ended an extraction, from the error it returned.
std::wstring engineErrorCause(HRESULT error);
// The damage named by kpidErrorFlags / kpidWarningFlags bits, joined by "; ".
std::wstring archiveFlagsCause(uint32_t flags);
