#pragma once
// Writing archive items to disk through the engine.
#include <string>
#include <vector>

#include "engine/archive_kind.h"
#include "engine/existing_files.h"
#include "engine/extraction_outcome.h"
#include "engine/zone_mark.h"

// How an extraction writes what it takes.
struct ExtractionOptions {
    // Files already at an item's place are replaced, or the user is asked.
    ExistingFilePolicy existingFiles = ExistingFilePolicy::Replace;
    // A folder inside the archive (backslash-separated, empty = the root): items below it are
    // written relative to it, so that the folders above the selection are not made again.
    std::wstring baseFolder;
    // Every wanted item is read and checked, nothing is written.
    bool testOnly = false;
    // Files are written straight into the destination under their own names; folder items make
    // nothing. Names that meet are told apart as "name (2).ext".
    bool noPaths = false;
    // Which written files get the archive's mark of the web (its "Zone.Identifier" stream, read
    // when the extraction starts; an archive without one gives none).
    ZoneMarking zoneMarking = ZoneMarking::All;
};

// Extracts the items of the archive below `destination`. With a non-empty `selection`, only
// the items whose path is one of the texts or lies below one of them (whole path components)
// are written. Returns 0 when every wanted item was written intact from a sound archive, 1
// otherwise (the archive could not be opened or is damaged, the engine failed, an item failed
// its checks, could not be written or was unsafe); `outcome`, when given, tells what happened.
// `password` is in/out: a password that opened an encrypted item list, or one asked while
// extracting when everything then extracted intact, is copied back (a wrong one is not, so
// that the next operation asks again).
int extractArchive(const std::wstring& archivePath, ArchiveKind kind, const std::wstring& destination,
                   std::wstring& password, const std::vector<std::wstring>* selection,
                   ExtractionOutcome* outcome = nullptr);
// The same, written as `options` say.
int extractArchive(const std::wstring& archivePath, ArchiveKind kind, const std::wstring& destination,
                   std::wstring& password, const std::vector<std::wstring>* selection,
                   const ExtractionOptions& options, ExtractionOutcome* outcome);

// Reads every item of the archive and checks it, writing nothing. `tested` of the outcome
// counts the items found intact; each failed item is noted with its cause (all of them, not
// only the first few). `password` is in/out as for extractArchive.
ExtractionOutcome testArchive(const std::wstring& archivePath, ArchiveKind kind, std::wstring& password);

// Whole-archive extraction: -1 when the file is no archive (nothing happens): it has no archive
// extension and the engine finds no format it reads in it; else the result of extractArchive
// with no password and no selection, files in the way treated as `existingFiles` says.
int extractAll(const std::wstring& archivePath, const std::wstring& destination, ExtractionOutcome* outcome = nullptr,
               ExistingFilePolicy existingFiles = ExistingFilePolicy::Replace);
// The same with the password (in/out) and the ways of writing of `options`.
int extractAll(const std::wstring& archivePath, const std::wstring& destination, std::wstring& password,
               const ExtractionOptions& options, ExtractionOutcome* outcome);

// Writes exactly one item below `destination`: the last file item whose path is exactly
// `itemPath` (as the catalogue shows the last one), and nothing beside it, nor anything below a
// folder of the same name. A hard link gets the data of the item it names, read aside. On success `lastFile` of the outcome is the file written. `password`
// is in/out as for extractArchive.
ExtractionOutcome extractFileItem(const std::wstring& archivePath, ArchiveKind kind, const std::wstring& destination,
                                  std::wstring& password, const std::wstring& itemPath,
                                  ZoneMarking zoneMarking = ZoneMarking::All);

// Creates the folder and every missing folder above it. True when the folder exists afterwards.
// Each folder it made is appended to `made` (when given), the upper ones first.
bool createFolderChain(const std::wstring& path, std::vector<std::wstring>* made = nullptr);

// Clears the attributes (read-only included) and deletes the file.
bool deleteFileForced(const std::wstring& path);
