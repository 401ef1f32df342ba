#pragma once
// The hook through which the engine callbacks report progress and ask for passwords. The
// background operations, which own the progress counters and know how to ask the user,
// install their handler; without one the engine goes on and a password is refused.
#include <cstdint>

enum EngineEventKind : int32_t {
    kEnginePasswordRequest = 1,  // data: wchar_t buffer of `capacity` units
    kEngineTotal = 2,            // data: const uint64_t*, may be null
    kEngineCompleted = 3,        // data: const uint64_t*, may be null
};

// Returns 0 to continue, 1 to stop (password refused, or the running operation was cancelled).
using EngineEventHandler = int (*)(int32_t kind, void* data, uint32_t capacity);

// Installs the handler for every later event (null: the default above).
void SetEngineEventHandler(EngineEventHandler handler);

// Passes one event to the installed handler.
int OnEngineEvent(int32_t kind, void* data, uint32_t capacity);
