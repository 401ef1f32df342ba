#include "engine/extraction_outcome.h"

#include <utility>

void ExtractionOutcome::noteFailure(const std::wstring& item, ItemFault fault) {
    ++failed;
    if (failures.size() < notesKept) failures.push_back({item, std::move(fault)});
}

void ExtractionOutcome::noteArchiveFailure(ItemFault fault) {
    ++failed;
    if (failures.size() < notesKept) failures.push_back({{}, std::move(fault), true});
}

void ExtractionOutcome::noteRename(const std::wstring& item, const std::wstring& writtenAs) {
    ++renamed;
    if (renames.size() < kNotesKept) renames.push_back({item, writtenAs});
}

void ExtractionOutcome::noteSkip(const std::wstring& item) {
    ++skipped;
    if (skips.size() < kNotesKept) skips.push_back({item, {}});
}

void ExtractionOutcome::noteSymbolicLink(const std::wstring& item, const std::wstring& target) {
    ++symbolicLinks;
    if (links.size() < kNotesKept) links.push_back({item, target});
}
