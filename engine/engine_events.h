#pragma once
// The hook through which the engine callbacks report progress and ask for passwords.
// It is defined with the background operations, which own the progress counters.
#include <cstdint>

enum EngineEventKind : int32_t {
    kEnginePasswordRequest = 1,  // data: wchar_t buffer of `capacity` units
    kEngineTotal = 2,            // data: const uint64_t*, may be null
    kEngineCompleted = 3,        // data: const uint64_t*, may be null
};

// Returns 0 to continue, 1 to stop (password refused, or the running operation was cancelled).
int OnEngineEvent(int32_t kind, void* data, uint32_t capacity);
