#pragma once
// What the engine found wrong with an opened archive as a whole. Handlers open damaged archives
// as far as they can read them (a cut RAR file lists only its first items, a zip with a broken
// record loses the entries behind it); only these properties tell that something is missing.
#include <cstdint>

#include "engine/engine_faults.h"
#include "engine/engine_interfaces.h"

// The damage the handler reports for the opened archive: its error and warning flags and words,
// and a file longer or shorter than the archive it holds (data after the end is told apart:
// an extraction takes it as a warning once every item came out intact). None when the archive
// is sound. Asked after opening, and again after extracting (reading the items' data can show
// more). `streamSize` is the size of what the handler read (the file, the parts of a split
// archive together, the tar decoded from a gzip stream).
ArchiveDamage archiveDamage(IInArchive* archive, uint64_t streamSize);
