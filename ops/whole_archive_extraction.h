#pragma once
// A whole archive file extracted into a folder behind the progress window, from the folder
// view and from the shell's "Extract Here" and "Extract files..." runs.
#include <string>

#include "engine/extraction_outcome.h"

struct WholeArchiveExtraction {
    int result = 1;          // as extractAll: 0 extracted, -1 no archive type, else failed
    bool cancelled = false;  // the user pressed Cancel; the extraction stopped where it was
    ExtractionOutcome outcome;  // what was written, renamed, skipped and failed, and why
};

// Extracts on a worker while the progress window "Extract Files" shows how far it got and
// offers Cancel; returns once the work has ended.
WholeArchiveExtraction ExtractWholeArchive(const std::wstring& archivePath, const std::wstring& destination);
