#pragma once
// What the user is told of an extraction or a test of an archive.
#include <string>

#include "engine/extraction_outcome.h"

// After an extraction of the archive named `archiveName`: for a failure, "Could not extract
// <name>" and, below it, why, and how many files were written where; for a success, the items
// that had to take names of their own, the symbolic links written as files, and a warning.
// Empty when there is nothing to tell (a clean success, a cancel).
std::wstring ExtractionMessage(const ExtractionOutcome& outcome, const std::wstring& archiveName);

// What a failure is named after: its item's path, or "[archive]" for the archive as a whole.
std::wstring FailedItemName(const ExtractionOutcome::ItemFailure& failure);

// Why the archive could not be opened to be extracted or tested; empty when not known.
std::wstring OpenProblemText(const ExtractionOutcome& outcome);

// The damage the engine found in the archive as a whole, data after its end left out; empty
// for none.
std::wstring ArchiveProblemText(const ExtractionOutcome& outcome);

// What is amiss around items that are whole ("data after the end of the archive"); empty for none.
std::wstring ArchiveWarningText(const ExtractionOutcome& outcome);

// The engine's own error that ended the work; empty for none.
std::wstring EngineProblemText(const ExtractionOutcome& outcome);
