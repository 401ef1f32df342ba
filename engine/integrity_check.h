#pragma once
// Reading a whole archive back, writing nothing: every item decoded and checked.
#include <string>

#include "engine/archive_kind.h"

struct IntegrityResult {
    bool intact = false;   // every item decoded intact, and the archive shows no damage
    bool stopped = false;  // the user cancelled, or refused the password
    std::wstring problem;  // why it is not intact, in words
};

// `password` is in/out as for extraction.
IntegrityResult checkArchiveIntegrity(const std::wstring& archivePath, ArchiveKind kind, std::wstring& password);
