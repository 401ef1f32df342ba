#pragma once
// "Delete files after compression": a file just added goes only when the archive is shown to
// hold its bytes: the archive's entry of its name is decoded and its digest compared with the
// file's, read while nobody else may write or delete it, and the file is deleted through that
// same handle. Names, sizes and times prove nothing: a file that changed meanwhile, another file
// of the same name from a second folder, or one the archiver did not take (freshen, update
// mode) has other bytes, and stays.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/checksums.h"

// Why a file stayed on disk.
enum class KeptReason {
    NotHeld,   // the archive holds no entry of its name with its bytes
    ReadOnly,  // read-only files are the user's to delete
    Link,      // a link: what it points to is not ours to delete
    InUse,     // it could not be opened alone (another program holds it), or not deleted
};

struct KeptSource {
    std::wstring path;
    KeptReason reason = KeptReason::NotHeld;
};

struct SourceRemoval {
    uint64_t removed = 0;           // files deleted
    uint64_t keptCount = 0;         // files left
    std::vector<KeptSource> kept;   // the first few of them
};

// The digests of the archive's file entries, by entry path in Windows' case-blind form; an
// entry may stand more than once. `anyEntry` stands for the one item of a single-file format
// (gzip, bzip2, xz), whatever its name.
struct HeldDigests {
    std::unordered_map<std::wstring, std::vector<std::wstring>> byEntry;
    std::vector<std::wstring> anyEntry;
};

// The entries that read back intact, from the checksums of the archive's entries.
HeldDigests HeldDigestsOf(const std::vector<ChecksumResult>& entries, bool singleFile);

// `paths` were added at the archive's root (a folder with everything below it); `digests` are
// the function's digests of what the archive holds. Folders that end up empty go too.
SourceRemoval RemoveAddedSources(const std::vector<std::wstring>& paths, const HeldDigests& digests,
                                 FileDigests& hasher);

// What the user is told of files that stayed; empty when none did.
std::wstring KeptSourcesNote(const SourceRemoval& removal);
