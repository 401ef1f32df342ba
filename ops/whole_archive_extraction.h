#pragma once
// A whole archive file extracted into a folder behind the progress window, from the folder
// view and from the shell's "Extract Here" and "Extract files..." runs.
#include <windows.h>

#include <string>

#include "engine/existing_files.h"
#include "engine/extraction.h"
#include "engine/extraction_outcome.h"
#include "ops/archive_operations.h"
#include "ops/extract_choices.h"

enum class WholeArchiveResult {
    Extracted,
    NotAnArchive,  // the file's name has no archive extension
    NoFolder,      // the folder to extract into could not be made: nothing ran
    Failed,        // see the outcome (and `cancelled`)
};

struct WholeArchiveExtraction {
    WholeArchiveResult result = WholeArchiveResult::Failed;
    bool cancelled = false;  // the user pressed Cancel; the extraction stopped where it was
    ExtractionOutcome outcome;  // what was written, renamed, skipped and failed, and why
    std::wstring folder;     // NoFolder: the folder
    DWORD folderError = 0;   // ... and the system's error in making it
};

// An extraction that did not run: the file is no archive, or the folder `folder` to extract into
// could not be made (`error`).
WholeArchiveExtraction NotAnArchiveFile();
WholeArchiveExtraction FolderNotMade(const std::wstring& folder, DWORD error);

// Extracts on a worker while the progress window "Extract Files" shows how far it got and
// offers Cancel; returns once the work has ended. Files already in the destination are
// replaced, or asked about.
WholeArchiveExtraction ExtractWholeArchive(const std::wstring& archivePath, const std::wstring& destination,
                                           ExistingFilePolicy existingFiles = ExistingFilePolicy::Ask,
                                           ZoneMarking zoneMarking = ZoneMarking::All);
// The same, written as `options` say; `password`, when not empty, is tried first (a wrong one is
// asked again).
WholeArchiveExtraction ExtractWholeArchive(const std::wstring& archivePath, const std::wstring& destination,
                                           const ExtractionOptions& options, const std::wstring& password);

// What the user is told of it, the same from the window and from the shell's verbs: Done without
// a message after a clean success, Done with a note after a success with items renamed,
// symbolic links written as files or data after the archive's end; Failed with "Could not
// extract <name>", each cause, and how many files were written where (or "<name> is not valid
// archive file.", or that the folder could not be made); Cancelled, without a message, after Cancel.
OperationOutcome WholeArchiveOutcome(const WholeArchiveExtraction& extraction, const std::wstring& archiveName);

// Extracts the whole archive as the Extract dialog's `choices` say: into their destination (made
// when missing), or into a new folder named after the archive there when more than one item lands
// at the top; paths, existing files, password and mark as chosen. A folder made for the run that
// stayed empty is taken away again. `destinationUsed` gets the folder written into.
WholeArchiveExtraction ExtractWholeArchiveAsChosen(const std::wstring& archivePath, const ExtractChoices& choices,
                                                   std::wstring& destinationUsed);
