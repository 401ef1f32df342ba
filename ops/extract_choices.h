#pragma once
// What the user chose in the Extract dialog, as plain data handed down to the extraction, and the
// rules that follow from it: where a new folder named after the archive is wanted, what it is
// called, and the list of destinations used last.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/existing_files.h"
#include "engine/zone_mark.h"

enum class PathMode {
    Full,      // every item keeps its path inside the archive
    None,      // files go straight into the destination, without folders
    Relative,  // items below the folder shown lose that folder's part of their path
};

struct ExtractChoices {
    std::wstring destination;
    // Into a new folder named after the archive, made only when more than one item lands at the
    // top (one item goes straight into the destination).
    bool newFolder = false;
    PathMode paths = PathMode::Full;
    ExistingFilePolicy existingFiles = ExistingFilePolicy::Ask;
    std::wstring password;  // tried first when not empty; never stored
    bool openDestination = false;
    ZoneMarking zoneMarking = ZoneMarking::All;
};

// How many distinct names the items land under at the top of the destination, counted up to 2
// (that is enough to decide). `items` are archive paths (backslash-separated) of what is written,
// `folders` tells which of them are folders (same order; may be shorter: the rest are files).
// Full: each path's first component; Relative: the first component below `base` (items not
// below it count by their own first component); None: every file counts, folders make nothing.
size_t LandingTopCount(const std::vector<std::wstring>& items, const std::vector<bool>& folders, PathMode paths,
                       std::wstring_view base);

// `destination` joined with the folder name of the archive file (ExtractFolderName); when that
// name is taken by anything on disk, the first free "name (2)", "name (3)", ...
std::wstring FreeFolderFor(const std::wstring& destination, const std::wstring& archiveFileName);

// The destinations remembered: `used` first, then the earlier ones without it (compared as
// Windows compares paths, a trailing backslash ignored), at most kRememberedDestinations.
inline constexpr size_t kRememberedDestinations = 10;
std::vector<std::wstring> RememberDestination(const std::vector<std::wstring>& earlier, const std::wstring& used);

// Whole-archive extraction: how many names land at the top (up to 2) when written as `paths`
// says, from a listing of the archive; `password` is in/out as for a listing. Nothing (0) when
// the archive cannot be listed.
size_t ArchiveLandingTopCount(const std::wstring& archivePath, PathMode paths, std::wstring& password);
