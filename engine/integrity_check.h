#pragma once
// Reading a whole archive back, writing nothing: every item decoded and checked.
#include <cstdint>
#include <string>

#include "engine/archive_kind.h"
#include "engine/engine_faults.h"

struct IntegrityResult {
    bool intact = false;   // every item decoded intact, and the archive shows no damage
    bool stopped = false;  // the user cancelled, or refused the password
    // Why it is not intact, the first that holds: it did not open or the engine failed
    // (`failure`), an item did not decode (`itemResult`, the engine's result for the first such
    // item), or the archive shows damage.
    ReadFailure failure;
    int32_t itemResult = 0;
    ArchiveDamage damage;
};

// `password` is in/out as for extraction.
IntegrityResult checkArchiveIntegrity(const std::wstring& archivePath, ArchiveKind kind, std::wstring& password);
