#pragma once
// What the engine found wrong with an opened archive as a whole. Handlers open damaged archives
// as far as they can read them (a cut RAR file lists only its first items, a zip with a broken
// record loses the entries behind it); only these properties tell that something is missing.
#include <cstdint>
#include <string>

#include "engine/engine_interfaces.h"

// The damage the handler reports for the opened archive, in words joined by "; ": its error and
// warning flags and texts, and a file longer or shorter than the archive it holds. Empty when
// the archive is sound. Asked after opening, and again after extracting (reading the items'
// data can show more). `streamSize` is the size of what the handler read (the file, the parts
// of a split archive together, the tar decoded from a gzip stream).
std::wstring archiveDamage(IInArchive* archive, uint64_t streamSize);

struct ArchiveHealth {
    std::wstring damage;   // as archiveDamage, without the data after the end
    std::wstring warning;  // data after the end of the archive: the archive's items are whole
};
// The same as archiveDamage, with data after the end of the archive told apart: what an
// extraction takes as a warning once every item came out intact.
ArchiveHealth archiveHealth(IInArchive* archive, uint64_t streamSize);
