#pragma once
// "Delete files after compression": the files just added go, but only those the archive holds
// as they are on disk (same path, size and time), so nothing is lost that the archive cannot
// give back: a file that changed meanwhile, or was not added (freshen, an older file in update
// mode), stays.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/archive_listing.h"

struct SourceRemoval {
    uint64_t removed = 0;  // files deleted
    uint64_t kept = 0;     // files left because the archive does not hold them as they are
};

// `paths` were added at the archive's root (a folder with everything below it); `items` is the
// archive's listing. With `singleFile` (gzip, bzip2, xz) the one item stands for the one file,
// whatever its name. Folders that end up empty go too.
SourceRemoval RemoveAddedSources(const std::vector<std::wstring>& paths, const std::vector<ArchiveItem>& items,
                                 bool singleFile);
