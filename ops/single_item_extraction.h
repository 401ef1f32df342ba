#pragma once
// Extracts exactly one item of an archive, chosen by its exact path: no item beside it, and
// nothing that lies below a folder of the same name. Used to open an entry for viewing, where
// anything else written next to it could be opened in its place.
#include <string>

#include "engine/archive_kind.h"
#include "engine/extraction_outcome.h"
#include "engine/zone_mark.h"

// Writes the file item whose path is exactly `itemPath` (the last such item, as the catalogue
// shows the last one) below `destination`. On success returns true with the path of the file
// written, checked to be a regular file. `password` is in/out as for extractArchive; `outcome`,
// when given, tells what happened.
bool ExtractSingleItem(const std::wstring& archivePath, ArchiveKind kind, const std::wstring& destination,
                       std::wstring& password, const std::wstring& itemPath, std::wstring& writtenFile,
                       ExtractionOutcome* outcome = nullptr, ZoneMarking zoneMarking = ZoneMarking::All);
