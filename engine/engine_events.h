#pragma once
// The hook through which the engine callbacks report progress and ask for passwords. The
// background operations, which own the progress counters and know how to ask the user,
// install their handler; without one the engine goes on and a password is refused.
#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/existing_files.h"

enum EngineEventKind : int32_t {
    kEnginePasswordRequest = 1,  // data: wchar_t buffer of `capacity` units
    kEngineTotal = 2,            // data: const uint64_t*, may be null
    kEngineCompleted = 3,        // data: const uint64_t*, may be null
    kEngineReplaceQuestion = 4,  // data: ReplaceQuestion*; the handler fills in `answer`
};

// A file is where an item of the extraction is to be written: may it be replaced?
struct ReplaceQuestion {
    std::wstring path;             // the existing file
    std::wstring item;             // the item's path inside the archive
    uint64_t existingSize = 0;
    FILETIME existingModified{};
    bool itemSizeKnown = false;
    uint64_t itemSize = 0;
    bool itemModifiedKnown = false;
    FILETIME itemModified{};
    ReplaceAnswer answer = ReplaceAnswer::No;  // what the user chose; "No" when nobody answers
};

// Returns 0 to continue, 1 to stop (password refused, or the running operation was cancelled).
using EngineEventHandler = int (*)(int32_t kind, void* data, uint32_t capacity);

// Installs the handler for every later event (null: the default above); returns the one before.
EngineEventHandler SetEngineEventHandler(EngineEventHandler handler);

// Passes one event to the installed handler.
int OnEngineEvent(int32_t kind, void* data, uint32_t capacity);
