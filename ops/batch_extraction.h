#pragma once
// Several whole archives extracted in one run, behind one progress window, each to its own
// place, and told in one summary: which were extracted, which were not and why.
#include <string>
#include <vector>

#include "engine/existing_files.h"
#include "ops/archive_operations.h"
#include "ops/whole_archive_extraction.h"

enum class ArchivePlace {
    Here,       // into `folder` itself
    OwnFolder,  // into a folder below `folder` named after the archive (made when missing)
    Smart,      // beside the archive, or into a new folder named after it (ops/smart_extraction.h)
};

struct ArchiveToExtract {
    std::wstring archive;  // full path
    std::wstring folder;   // Here, OwnFolder: see ArchivePlace; Smart: not used
    ArchivePlace place = ArchivePlace::Here;
    ExistingFilePolicy existingFiles = ExistingFilePolicy::Ask;
};

struct ExtractedArchive {
    std::wstring archive;
    std::wstring destination;      // where it was (or was to be) written
    bool reached = false;          // false: a Cancel ended the run before its turn
    WholeArchiveExtraction extraction;
};

// Extracts the archives one after the other on one worker behind the progress window "Extract
// Files"; a Cancel (in the window, a password prompt or a replace question) ends the run. A
// folder made for an archive that wrote nothing into it is taken away again.
std::vector<ExtractedArchive> ExtractArchives(const std::vector<ArchiveToExtract>& archives);

// What the user is told. One archive: as WholeArchiveOutcome tells it. Several: Done without a
// message when every one came out clean; otherwise one message that says how many were
// extracted, where each went, each failure with its causes, and which a Cancel left out; Failed
// when any failed, Cancelled when a Cancel ended the run and none failed.
OperationOutcome ArchivesOutcome(const std::vector<ExtractedArchive>& extracted);
